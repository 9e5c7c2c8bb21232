#include "media/FilterPropertyPages.h"

#include <vector>

#include "media/framework/PropertyPages.h"

namespace media {
namespace {

HRESULT ShowPages(OAHWND parent, const BaseFilterPtr& filter) {
  std::shared_ptr<ISpecifyPropertyPages> specify;
  HRESULT hr = QueryInterface<ISpecifyPropertyPages>(filter, specify);
  if (hr != S_OK) return hr;
  std::vector<CLSID> pages;
  if ((hr = specify->GetPages(pages)) != S_OK) return hr;
  FILTER_INFO info;
  if ((hr = filter->QueryFilterInfo(info)) != S_OK) return hr;
  info.pGraph.reset();
  return OleCreatePropertyFrame(parent, 0, 0, info.achName, {filter}, pages, 0, 0, nullptr);
}

HRESULT ShowCaptureDialog(OAHWND parent, const BaseFilterPtr& filter, int dialog) {
  std::shared_ptr<IAMVfwCaptureDialogs> dialogs;
  HRESULT hr = QueryInterface<IAMVfwCaptureDialogs>(filter, dialogs);
  if (hr != S_OK) return hr;
  if ((hr = dialogs->HasDialog(dialog)) != S_OK) return hr;
  return dialogs->ShowDialog(dialog, parent);
}

HRESULT ShowCompressorDialog(OAHWND parent, const BaseFilterPtr& filter, int dialog, int query) {
  std::shared_ptr<IAMVfwCompressDialogs> dialogs;
  HRESULT hr = QueryInterface<IAMVfwCompressDialogs>(filter, dialogs);
  if (hr != S_OK) return hr;
  if ((hr = dialogs->ShowDialog(query, nullptr)) != S_OK) return hr;
  return dialogs->ShowDialog(dialog, parent);
}

}  // namespace

HRESULT ShowFilterPropertyPages(OAHWND parent, const BaseFilterPtr& filter, int kind) {
  if (!filter) return S_FALSE;
  switch (kind) {
    case pkFilterPages: return ShowPages(parent, filter);
    case pkCaptureDisplay: return ShowCaptureDialog(parent, filter, VfwCaptureDialog_Display);
    case pkCaptureFormat: return ShowCaptureDialog(parent, filter, VfwCaptureDialog_Format);
    case pkCaptureSource: return ShowCaptureDialog(parent, filter, VfwCaptureDialog_Source);
    case pkCompressorConfig:
      return ShowCompressorDialog(parent, filter, VfwCompressDialog_Config, VfwCompressDialog_QueryConfig);
    case pkCompressorAbout:
      return ShowCompressorDialog(parent, filter, VfwCompressDialog_About, VfwCompressDialog_QueryAbout);
    default: return S_FALSE;
  }
}

}  // namespace media
