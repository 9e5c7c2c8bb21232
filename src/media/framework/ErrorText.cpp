#include "media/framework/ErrorText.h"

#include <cstring>
#include <map>

namespace media {
namespace {

const std::map<HRESULT, const char*>& Texts() {
  static const std::map<HRESULT, const char*> texts = {
      {E_NOTIMPL, "Not implemented."},
      {E_NOINTERFACE, "No such interface supported."},
      {E_POINTER, "Invalid pointer."},
      {E_ABORT, "Operation aborted."},
      {E_FAIL, "Unspecified error."},
      {E_UNEXPECTED, "Catastrophic failure."},
      {E_OUTOFMEMORY, "Not enough storage is available to complete this operation."},
      {E_INVALIDARG, "The parameter is incorrect."},
      {E_ACCESSDENIED, "Access is denied."},
      {E_HANDLE, "The handle is invalid."},
      {REGDB_E_CLASSNOTREG, "Class not registered."},
      {STG_E_READFAULT, "A disk error occurred during a read operation."},
      {STG_E_INVALIDFUNCTION, "Unable to perform requested operation."},
      {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified."},
      {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "The system cannot find the path specified."},
      {HRESULT_FROM_WIN32(ERROR_BUSY), "The requested resource is in use."},
      {HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED), "The device is not connected."},
      {HRESULT_FROM_WIN32(WSAEADDRINUSE),
       "Only one usage of each socket address (protocol/network address/port) is normally permitted."},
      {VFW_S_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name succeeded with a modified name."},
      {VFW_S_STATE_INTERMEDIATE, "The state transition has not completed."},
      {VFW_S_PARTIAL_RENDER, "Some of the streams in this movie are in an unsupported format."},
      {VFW_S_NOPREVIEWPIN,
       "Preview was rendered through the smart tee because the capture filter has no preview pin."},
      {VFW_E_INVALIDMEDIATYPE, "The specified media type is invalid."},
      {VFW_E_INVALIDSUBTYPE, "The specified media subtype is invalid."},
      {VFW_E_ALREADY_CONNECTED, "At least one of the pins involved in the operation is already connected."},
      {VFW_E_FILTER_ACTIVE, "This operation cannot be performed because the filter is active."},
      {VFW_E_NO_TYPES, "One of the specified pins supports no media types."},
      {VFW_E_NO_ACCEPTABLE_TYPES, "There is no common media type between these pins."},
      {VFW_E_INVALID_DIRECTION, "Two pins of the same direction cannot be connected together."},
      {VFW_E_NOT_CONNECTED, "The operation cannot be performed because the pins are not connected."},
      {VFW_E_NO_ALLOCATOR, "No sample buffer allocator is available."},
      {VFW_E_RUNTIME_ERROR, "A run-time error occurred."},
      {VFW_E_BUFFER_OVERFLOW, "The buffer is not big enough."},
      {VFW_E_NO_CLOCK, "Cannot lock for synchronization because no clock has been defined."},
      {VFW_E_NO_INTERFACE, "A required interface has not been implemented."},
      {VFW_E_NOT_FOUND, "An object or name was not found."},
      {VFW_E_CANNOT_CONNECT, "No combination of intermediate filters could be found to make the connection."},
      {VFW_E_CANNOT_RENDER, "No combination of filters could be found to render the stream."},
      {VFW_E_CHANGING_FORMAT, "Could not change formats dynamically."},
      {VFW_E_STATE_CHANGED, "The state changed while waiting to process the sample."},
      {VFW_E_NOT_STOPPED, "The operation could not be performed because the filter is not stopped."},
      {VFW_E_NOT_PAUSED, "The operation could not be performed because the filter is not paused."},
      {VFW_E_NOT_RUNNING, "The operation could not be performed because the filter is not running."},
      {VFW_E_WRONG_STATE, "The operation could not be performed because the filter is in the wrong state."},
      {VFW_E_INVALID_RECT, "The supplied rectangle is invalid."},
      {VFW_E_TYPE_NOT_ACCEPTED, "This pin cannot use the supplied media type."},
      {VFW_E_SAMPLE_REJECTED, "This sample cannot be rendered."},
      {VFW_E_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name failed."},
      {VFW_E_TIMEOUT, "A time-out has expired."},
      {VFW_E_INVALID_FILE_FORMAT, "The file format is invalid."},
      {VFW_E_ENUM_OUT_OF_RANGE, "The list has already been exhausted."},
      {VFW_E_CIRCULAR_GRAPH, "The filter graph is circular."},
      {VFW_E_UNKNOWN_FILE_TYPE, "The media type of this file is not recognized."},
      {VFW_E_UNSUPPORTED_VIDEO, "Cannot play back the video stream: the video format is not supported."},
      {VFW_E_NOT_IN_GRAPH, "Cannot perform the requested function on an object that is not in the filter graph."},
      {VFW_E_UNSUPPORTED_STREAM, "Cannot play back the file: the format is not supported."},
      {VFW_E_NO_CAPTURE_HARDWARE,
       "Cannot capture: no capture hardware is available, or the hardware is not supported."},
      {VFW_E_DVD_GRAPHNOTREADY, "The DVD graph is not ready."},
  };
  return texts;
}

}  // namespace

std::string ErrorTextOf(HRESULT hr) {
  auto it = Texts().find(hr);
  return it == Texts().end() ? std::string() : std::string(it->second);
}

std::size_t AMGetErrorTextA(HRESULT hr, char* buffer, std::size_t maxLen) {
  if (!buffer || maxLen == 0) return 0;
  const std::string text = ErrorTextOf(hr);
  const std::size_t n = text.size() < maxLen - 1 ? text.size() : maxLen - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}

}  // namespace media
