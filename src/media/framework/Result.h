#pragma once
// 32-bit platform result codes: bit 31 marks failure. The numeric values are the
// ones callers and stored data compare against, so they are fixed here once.
#include <cstdint>

namespace media {

using HRESULT = std::int32_t;

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr HRESULT MakeResult(std::uint32_t bits) { return static_cast<HRESULT>(bits); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeResult(0x80004003);
inline constexpr HRESULT E_ABORT = MakeResult(0x80004004);
inline constexpr HRESULT E_FAIL = MakeResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057);
inline constexpr HRESULT E_ACCESSDENIED = MakeResult(0x80070005);
inline constexpr HRESULT E_HANDLE = MakeResult(0x80070006);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeResult(0x80040154);
inline constexpr HRESULT STG_E_READFAULT = MakeResult(0x8003001E);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = MakeResult(0x80030001);

// A system error number folded into a result, as the platform does.
constexpr HRESULT HRESULT_FROM_WIN32(std::uint32_t error) {
  return error == 0 ? S_OK : MakeResult((error & 0xFFFF) | 0x80070000);
}
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::uint32_t ERROR_BUSY = 170;
inline constexpr std::uint32_t ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr std::uint32_t WSAEADDRINUSE = 10048;

// Media framework results. Every code here has a text (AMGetErrorTextA).
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = MakeResult(0x0004022D);
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = MakeResult(0x00040237);
inline constexpr HRESULT VFW_S_PARTIAL_RENDER = MakeResult(0x00040242);
inline constexpr HRESULT VFW_S_NOPREVIEWPIN = MakeResult(0x0004027E);

inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = MakeResult(0x80040200);
inline constexpr HRESULT VFW_E_INVALIDSUBTYPE = MakeResult(0x80040201);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = MakeResult(0x80040204);
inline constexpr HRESULT VFW_E_FILTER_ACTIVE = MakeResult(0x80040205);
inline constexpr HRESULT VFW_E_NO_TYPES = MakeResult(0x80040206);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = MakeResult(0x80040207);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = MakeResult(0x80040208);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = MakeResult(0x80040209);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = MakeResult(0x8004020A);
inline constexpr HRESULT VFW_E_RUNTIME_ERROR = MakeResult(0x8004020B);
inline constexpr HRESULT VFW_E_BUFFER_OVERFLOW = MakeResult(0x8004020D);
inline constexpr HRESULT VFW_E_NO_CLOCK = MakeResult(0x80040213);
inline constexpr HRESULT VFW_E_NO_INTERFACE = MakeResult(0x80040215);
inline constexpr HRESULT VFW_E_NOT_FOUND = MakeResult(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = MakeResult(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = MakeResult(0x80040218);
inline constexpr HRESULT VFW_E_CHANGING_FORMAT = MakeResult(0x80040219);
inline constexpr HRESULT VFW_E_STATE_CHANGED = MakeResult(0x80040223);
inline constexpr HRESULT VFW_E_NOT_STOPPED = MakeResult(0x80040224);
inline constexpr HRESULT VFW_E_NOT_PAUSED = MakeResult(0x80040225);
inline constexpr HRESULT VFW_E_NOT_RUNNING = MakeResult(0x80040226);
inline constexpr HRESULT VFW_E_WRONG_STATE = MakeResult(0x80040227);
inline constexpr HRESULT VFW_E_INVALID_RECT = MakeResult(0x80040229);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = MakeResult(0x8004022A);
inline constexpr HRESULT VFW_E_SAMPLE_REJECTED = MakeResult(0x8004022B);
inline constexpr HRESULT VFW_E_DUPLICATE_NAME = MakeResult(0x8004022D);
inline constexpr HRESULT VFW_E_TIMEOUT = MakeResult(0x8004022E);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = MakeResult(0x8004022F);
inline constexpr HRESULT VFW_E_ENUM_OUT_OF_RANGE = MakeResult(0x80040230);
inline constexpr HRESULT VFW_E_CIRCULAR_GRAPH = MakeResult(0x80040231);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = MakeResult(0x80040240);
inline constexpr HRESULT VFW_E_UNSUPPORTED_VIDEO = MakeResult(0x8004025D);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = MakeResult(0x8004025F);
inline constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = MakeResult(0x80040265);
inline constexpr HRESULT VFW_E_NO_CAPTURE_HARDWARE = MakeResult(0x80040275);
inline constexpr HRESULT VFW_E_DVD_GRAPHNOTREADY = MakeResult(0x80040279);

}  // namespace media
