#include "media/framework/RunningObjectTable.h"

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/ItemMoniker.h"

namespace media {

HRESULT GetRunningObjectTable(DWORD reserved, std::shared_ptr<IRunningObjectTable>& table) {
  table.reset();
  if (reserved != 0) return E_INVALIDARG;
  return CoCreateInstance<IRunningObjectTable>(CLSID_RunningObjectTable, table);
}

HRESULT CreateItemMoniker(const std::u16string& delimiter, const std::u16string& item, MonikerPtr& moniker) {
  moniker = std::make_shared<ItemMoniker>(delimiter, item);
  return S_OK;
}

}  // namespace media
