#pragma once
#include "media/framework/Result.h"

namespace media::gst {

// The GStreamer backend of the media platform. Install adds it to the
// platform's start (MediaPlatform::AddBackend) once; the platform's first
// CoInitialize then initialises GStreamer and registers the backend's
// classes, and its last CoUninitialize unregisters them. Installed after the
// platform has started, it starts at once. User-interface thread.
class GstBackend {
 public:
  static void Install();

  // The backend's start and finish, also for tests that replace some of its
  // classes and want them back.
  static HRESULT Start();
  static void Finish();
  static void RegisterClasses();
};

}  // namespace media::gst
