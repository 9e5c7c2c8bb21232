#pragma once
// Property pages of filters, the modal frame that shows them, and the capture
// and compressor driver dialogs.
#include <memory>
#include <string>
#include <vector>

#include "media/framework/Guid.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

class ISpecifyPropertyPages : public virtual IUnknown {
 public:
  // The class identifiers of the filter's pages, in tab order.
  virtual HRESULT GetPages(std::vector<CLSID>& pages) = 0;
};

struct PROPPAGEINFO {
  std::u16string pszTitle;
  SIZE size;
};

// One page of a property frame, made through the class factory from the
// identifiers GetPages gives. The frame gives it the objects, lets it build
// its widget inside the parent, and applies or drops its changes: Apply
// keeps them, and Deactivate drops whatever was changed since the last
// Apply (a page that acts on its objects at once puts them back).
class IPropertyPage : public virtual IUnknown {
 public:
  virtual HRESULT SetObjects(const std::vector<UnknownPtr>& objects) = 0;
  virtual HRESULT GetPageInfo(PROPPAGEINFO& info) = 0;
  virtual HRESULT Activate(OAHWND parent, const RECT& rect, bool modal) = 0;
  virtual HRESULT Deactivate() = 0;
  virtual HRESULT Apply() = 0;
};

// The backend's frame (CLSID_PropertyFrame), behind OleCreatePropertyFrame.
class IPropertyFrame : public virtual IUnknown {
 public:
  virtual HRESULT Show(OAHWND owner, int x, int y, const std::u16string& caption,
                       const std::vector<UnknownPtr>& objects, const std::vector<CLSID>& pages, LCID locale) = 0;
};

// Shows a modal frame titled `caption` with one tab per page for the objects
// and returns when the user closes it. reserved must be 0 and reservedPtr
// nil. REGDB_E_CLASSNOTREG when the platform has no frame.
HRESULT OleCreatePropertyFrame(OAHWND owner, int x, int y, const std::u16string& caption,
                               const std::vector<UnknownPtr>& objects, const std::vector<CLSID>& pages, LCID locale,
                               DWORD reserved, const void* reservedPtr);

inline constexpr int VfwCaptureDialog_Source = 1;
inline constexpr int VfwCaptureDialog_Format = 2;
inline constexpr int VfwCaptureDialog_Display = 4;

class IAMVfwCaptureDialogs : public virtual IUnknown {
 public:
  // S_OK when the driver has that dialog, S_FALSE otherwise.
  virtual HRESULT HasDialog(int dialog) = 0;
  virtual HRESULT ShowDialog(int dialog, OAHWND parent) = 0;
};

inline constexpr int VfwCompressDialog_Config = 1;
inline constexpr int VfwCompressDialog_About = 2;
inline constexpr int VfwCompressDialog_QueryConfig = 4;
inline constexpr int VfwCompressDialog_QueryAbout = 8;

class IAMVfwCompressDialogs : public virtual IUnknown {
 public:
  // The Query codes only ask whether the dialog exists (S_OK) and show nothing.
  virtual HRESULT ShowDialog(int dialog, OAHWND parent) = 0;
};

}  // namespace media
