#include "support/MediaPlatformEnvironment.h"

[[maybe_unused]] static ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new MediaPlatformEnvironment);
