#pragma once
#include <cstdint>
#include <string>

#include "media/TPersistent.h"
#include "media/framework/Types.h"

namespace media {

class TVideoWindow;

enum TVMRVideoMode : std::uint8_t { vmrWindowed = 0, vmrWindowless = 1, vmrRenderless = 2 };

enum TVMRPreference : std::uint8_t {
  vpForceOffscreen = 0,
  vpForceOverlays = 1,
  vpForceMixer = 2,
  vpDoNotRenderColorKeyAndBorder = 3,
  vpRestrictToInitialMonitor = 4,
  vpPreferAGPMemWhenMixing = 5,
};
// A set of TVMRPreference: element n is bit n. Without vpForceMixer it is
// the rendering-preferences word handed to the renderer; vpForceMixer itself
// is never sent, it only makes the window load the mixer.
using TVMRPreferences = std::uint8_t;
constexpr TVMRPreferences PreferenceBit(TVMRPreference preference) { return TVMRPreferences(1u << preference); }

// The mixing renderer's options of one video window, created and freed by
// it. Mode, Streams and Preferences take effect when the renderer is made:
// while the window's graph is active with the mixing renderer, setting one
// takes the window out of the graph and puts it back, which leaves a new,
// unconnected renderer (connecting it again is the caller's business);
// otherwise the value waits for the next activation. KeepAspectRatio applies
// at once to a renderer that has aspect-ratio control. User-interface thread.
class TVMROptions : public TPersistent {
 public:
  explicit TVMROptions(TVideoWindow& owner) : owner_(owner) {}

  std::string ClassName() const override { return "TVMROptions"; }

  TVMRVideoMode Mode() const { return mode_; }
  void SetMode(TVMRVideoMode mode);
  DWORD Streams() const { return streams_; }
  // A value outside 1 to 16 becomes 1.
  void SetStreams(DWORD streams);
  TVMRPreferences Preferences() const { return preferences_; }
  void SetPreferences(TVMRPreferences preferences);
  bool KeepAspectRatio() const { return keepAspectRatio_; }
  void SetKeepAspectRatio(bool keep);

 private:
  // The window stores what its renderer reports, without re-creating it.
  friend class TVideoWindow;

  TVideoWindow& owner_;
  TVMRVideoMode mode_ = vmrWindowed;
  DWORD streams_ = 4;
  TVMRPreferences preferences_ = PreferenceBit(vpForceMixer);
  bool keepAspectRatio_ = true;
};

}  // namespace media
