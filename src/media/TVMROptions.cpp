#include "media/TVMROptions.h"

#include "media/TVideoWindow.h"

namespace media {
namespace {

constexpr DWORD kMaxStreams = 16;

}  // namespace

void TVMROptions::SetMode(TVMRVideoMode mode) {
  mode_ = mode;
  owner_.RecreateRenderer();
}

void TVMROptions::SetStreams(DWORD streams) {
  streams_ = streams >= 1 && streams <= kMaxStreams ? streams : 1;
  owner_.RecreateRenderer();
}

void TVMROptions::SetPreferences(TVMRPreferences preferences) {
  preferences_ = preferences;
  owner_.RecreateRenderer();
}

void TVMROptions::SetKeepAspectRatio(bool keep) { owner_.ApplyKeepAspectRatio(keep); }

}  // namespace media
