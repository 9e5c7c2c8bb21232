#include "media/framework/TaskMemory.h"

#include <cstdlib>

namespace media {

void* CoTaskMemAlloc(std::size_t size) { return size == 0 ? nullptr : std::malloc(size); }
void CoTaskMemFree(void* block) { std::free(block); }

}  // namespace media
