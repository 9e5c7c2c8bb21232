#pragma once
#include <stdexcept>
#include <string>

#include "media/framework/Result.h"

namespace media {

// A failing platform result raised as an error: the message is the
// platform's text for it, then " ($XXXXXXXX).".
class EDirectShowException : public std::runtime_error {
 public:
  EDirectShowException(const std::string& message, HRESULT errorCode)
      : std::runtime_error(message), ErrorCode(errorCode) {}

  const HRESULT ErrorCode;
};

// A failure of the media layer itself rather than of a platform call
// ("Allocator class not set."); ErrorCode is the result behind it, or S_OK.
class EMediaLayerException : public std::runtime_error {
 public:
  explicit EMediaLayerException(const std::string& message, HRESULT errorCode = S_OK)
      : std::runtime_error(message), ErrorCode(errorCode) {}

  const HRESULT ErrorCode;
};

// Returns a result with bit 31 clear unchanged; raises EDirectShowException
// for a failing one.
HRESULT CheckMediaResult(HRESULT result);

// The platform's text for the result, at most 255 characters; empty when it
// has none.
std::string MediaErrorText(HRESULT result);

}  // namespace media
