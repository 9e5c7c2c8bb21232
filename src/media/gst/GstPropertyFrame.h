#pragma once
#include <functional>

#include "media/framework/PropertyPages.h"

class QDialog;

namespace media::gst {

// The property frame: a modal dialog titled with the caption, one tab per
// page (pages made through the class factory from their identifiers; an
// identifier nobody registered is left out), and OK, Cancel and Apply.
// OK and Apply apply every page; Cancel, Escape and the close button apply
// nothing, so deactivating the pages drops their changes since the last
// Apply. E_INVALIDARG, and nothing shown, when no page can be made.
// User-interface thread.
class GstPropertyFrame : public IPropertyFrame {
 public:
  HRESULT Show(OAHWND owner, int x, int y, const std::u16string& caption, const std::vector<UnknownPtr>& objects,
               const std::vector<CLSID>& pages, LCID locale) override;

  // Runs the dialog modally; tests replace it and get the complete dialog
  // (tabs, pages, buttons) to look at and close. Empty restores
  // QDialog::exec.
  using Exec = std::function<int(QDialog& dialog)>;
  static void SetExecForTesting(Exec exec);
};

}  // namespace media::gst
