#pragma once
#include <functional>
#include <string>

#include "media/framework/Result.h"

namespace media {

// The media platform's start and end for the process (user-interface thread).
// A backend adds its hook before the first CoInitialize (the GStreamer
// backend: initialise GStreamer and register its classes); hooks run in the
// order added, their finishers in reverse.
class MediaPlatform {
 public:
  using Start = std::function<HRESULT()>;
  using Finish = std::function<void()>;

  static void AddBackend(const std::string& name, Start start, Finish finish);
  // Takes a backend out again (only while the platform is not initialised).
  static void RemoveBackend(const std::string& name);
  static bool IsInitialized();
};

// The first call starts the platform: registers the framework's own classes
// and runs every backend's start; S_OK. Later calls count and answer S_FALSE.
// When a backend fails, those started are finished again and its result is
// returned; the platform is then not initialised and must not be
// uninitialised.
HRESULT CoInitialize(void* reserved = nullptr);
// Balances one successful CoInitialize; the last one finishes the backends.
void CoUninitialize();

}  // namespace media
