#pragma once
#include <cstddef>

namespace media {

// Memory blocks that cross the platform boundary (media type format blocks):
// whoever receives one frees it with CoTaskMemFree. Allocation answers nullptr
// on failure and for size 0; freeing nullptr does nothing.
void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* block);

}  // namespace media
