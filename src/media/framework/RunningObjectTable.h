#pragma once
// Publication of running objects (graphs) for external viewers.
#include <memory>
#include <string>

#include "media/framework/Devices.h"

namespace media {

class IRunningObjectTable : public virtual IUnknown {
 public:
  // cookie identifies the entry for Revoke; it is never 0 for a success.
  virtual HRESULT Register(DWORD flags, const UnknownPtr& object, const MonikerPtr& name, DWORD& cookie) = 0;
  // E_INVALIDARG for a cookie not registered.
  virtual HRESULT Revoke(DWORD cookie) = 0;
  // S_OK when an object is registered under that name, S_FALSE otherwise.
  virtual HRESULT IsRunning(const MonikerPtr& name) = 0;
  virtual HRESULT GetObject(const MonikerPtr& name, UnknownPtr& object) = 0;
};

// The process's table (made through CLSID_RunningObjectTable); reserved must
// be 0.
HRESULT GetRunningObjectTable(DWORD reserved, std::shared_ptr<IRunningObjectTable>& table);

// A moniker naming an item: display name = delimiter + item. Two item monikers
// are equal when delimiter and item are.
HRESULT CreateItemMoniker(const std::u16string& delimiter, const std::u16string& item, MonikerPtr& moniker);

}  // namespace media
