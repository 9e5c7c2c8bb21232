#pragma once
#include "media/framework/Filters.h"
#include "media/framework/Types.h"

namespace media {

enum TPropertyPageKind {
  pkFilterPages = 0,       // the filter's own pages in a modal property frame
  pkCaptureDisplay = 1,    // capture driver dialogs
  pkCaptureFormat = 2,
  pkCaptureSource = 3,
  pkCompressorConfig = 4,  // compressor dialogs
  pkCompressorAbout = 5,
};

// Shows the filter's pages or driver dialog, modal, and returns the platform's
// answer. S_FALSE for a nil filter or an unknown kind; an answer other than
// S_OK from an earlier step is returned and nothing is shown. The frame of
// pkFilterPages is captioned with the filter's name in its graph.
HRESULT ShowFilterPropertyPages(OAHWND parent, const BaseFilterPtr& filter, int kind = pkFilterPages);

}  // namespace media
