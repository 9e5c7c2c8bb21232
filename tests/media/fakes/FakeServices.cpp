#include "media/fakes/FakeServices.h"

#include <QString>

using namespace media;

namespace {
std::string NameOf(const MonikerPtr& moniker) {
  std::u16string name;
  if (moniker) moniker->GetDisplayName(nullptr, nullptr, name);
  return QString::fromStdU16String(name).toStdString();
}
}  // namespace

HRESULT FakeRunningObjectTable::Register(DWORD, const UnknownPtr& object, const MonikerPtr& name, DWORD& cookie) {
  ++registrations;
  if (FAILED(registerFailure)) return registerFailure;
  if (!object || !name) return E_INVALIDARG;
  cookie = next_++;
  entries[cookie] = NameOf(name);
  return S_OK;
}

HRESULT FakeRunningObjectTable::Revoke(DWORD cookie) { return entries.erase(cookie) ? S_OK : E_INVALIDARG; }

HRESULT FakeRunningObjectTable::IsRunning(const MonikerPtr& name) {
  const std::string wanted = NameOf(name);
  for (const auto& [cookie, entry] : entries)
    if (entry == wanted) return S_OK;
  return S_FALSE;
}

HRESULT FakeRunningObjectTable::GetObject(const MonikerPtr&, UnknownPtr& object) {
  object.reset();
  return E_NOTIMPL;
}
