#include "media/framework/PropertyPages.h"

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"

namespace media {

HRESULT OleCreatePropertyFrame(OAHWND owner, int x, int y, const std::u16string& caption,
                               const std::vector<UnknownPtr>& objects, const std::vector<CLSID>& pages, LCID locale,
                               DWORD reserved, const void* reservedPtr) {
  if (reserved != 0 || reservedPtr != nullptr) return E_INVALIDARG;
  std::shared_ptr<IPropertyFrame> frame;
  const HRESULT hr = CoCreateInstance<IPropertyFrame>(CLSID_PropertyFrame, frame);
  if (FAILED(hr)) return hr;
  return frame->Show(owner, x, y, caption, objects, pages, locale);
}

}  // namespace media
