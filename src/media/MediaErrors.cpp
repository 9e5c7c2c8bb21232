#include "media/MediaErrors.h"

#include <cstdio>

#include "media/framework/ErrorText.h"

namespace media {

std::string MediaErrorText(HRESULT result) {
  char buffer[256] = {};
  AMGetErrorTextA(result, buffer, sizeof buffer);
  return buffer;
}

HRESULT CheckMediaResult(HRESULT result) {
  if (SUCCEEDED(result)) return result;
  char code[16];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(result));
  throw EDirectShowException(MediaErrorText(result) + " ($" + code + ").", result);
}

}  // namespace media
