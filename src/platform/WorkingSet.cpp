#include "platform/WorkingSet.h"

#include <malloc.h>

namespace platform {

bool WorkingSet::Trim() { return malloc_trim(0) != 0; }

}  // namespace platform
