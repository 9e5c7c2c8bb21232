#pragma once
#include <cstddef>
#include <string>

#include "media/framework/Result.h"

namespace media {

// The readable text of a result, in the platform's usual wording with its full
// stop. Copies at most maxLen - 1 characters and a NUL into buffer and answers
// the number of characters copied; 0 (and an empty buffer) for a code without
// text. A nil buffer or maxLen 0 copies nothing.
std::size_t AMGetErrorTextA(HRESULT hr, char* buffer, std::size_t maxLen);

// The whole text, empty for a code without text.
std::string ErrorTextOf(HRESULT hr);

}  // namespace media
