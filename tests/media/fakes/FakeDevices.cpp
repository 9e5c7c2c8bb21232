#include "media/fakes/FakeDevices.h"

#include <algorithm>

#include "media/fakes/FakeEnum.h"
#include "media/fakes/FakeFilter.h"
#include "media/framework/Identifiers.h"

using namespace media;

namespace {

class FakePropertyBag : public IPropertyBag {
 public:
  explicit FakePropertyBag(FakeDeviceList::Device device) : device_(std::move(device)) {}
  HRESULT Read(const std::u16string& name, VARIANT& value, const UnknownPtr&) override {
    if (name == u"FriendlyName") return value = device_.name, S_OK;
    if (name == u"CLSID" && device_.clsid) return value = *device_.clsid, S_OK;
    return E_INVALIDARG;
  }
  HRESULT Write(const std::u16string&, const VARIANT&) override { return E_NOTIMPL; }

 private:
  FakeDeviceList::Device device_;
};

}  // namespace

int FakeDeviceList::Add(const std::u16string& name, std::optional<std::u16string> clsid) {
  devices.push_back({nextId, name, std::move(clsid)});
  return nextId++;
}

void FakeDeviceList::Remove(int id) {
  devices.erase(std::remove_if(devices.begin(), devices.end(), [id](const Device& d) { return d.id == id; }),
                devices.end());
}

const FakeDeviceList::Device* FakeDeviceList::Find(int id) const {
  for (const auto& d : devices)
    if (d.id == id) return &d;
  return nullptr;
}

HRESULT FakeMoniker::GetClassID(CLSID& clsid) {
  clsid = CLSID_FakeDeviceMoniker;
  return S_OK;
}

HRESULT FakeMoniker::Load(IStream& stream) {
  std::uint8_t b[4];
  ULONG read = 0;
  if (FAILED(stream.Read(b, 4, &read)) || read != 4) return STG_E_READFAULT;
  id_ = b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24;
  return S_OK;
}

HRESULT FakeMoniker::Save(IStream& stream, bool) {
  const std::uint8_t b[4] = {std::uint8_t(id_), std::uint8_t(id_ >> 8), std::uint8_t(id_ >> 16),
                             std::uint8_t(id_ >> 24)};
  return stream.Write(b, 4, nullptr);
}

HRESULT FakeMoniker::GetSizeMax(std::uint64_t& size) {
  size = 4;
  return S_OK;
}

HRESULT FakeMoniker::BindToObject(const UnknownPtr&, const MonikerPtr&, const IID& riid, UnknownPtr& out) {
  out.reset();
  const auto* device = list_->Find(id_);
  if (riid != IID_IBaseFilter || !device) return E_FAIL;
  out = std::make_shared<FakeFilter>(std::string(device->name.begin(), device->name.end()));
  return S_OK;
}

HRESULT FakeMoniker::BindToStorage(const UnknownPtr&, const MonikerPtr&, const IID& riid, UnknownPtr& out) {
  out.reset();
  const auto* device = list_->Find(id_);
  if (riid != IID_IPropertyBag || !device) return E_FAIL;
  out = std::make_shared<FakePropertyBag>(*device);
  return S_OK;
}

HRESULT FakeMoniker::IsEqual(const MonikerPtr& other) {
  auto fake = std::dynamic_pointer_cast<FakeMoniker>(other);
  return fake && fake->id_ == id_ ? S_OK : S_FALSE;
}

HRESULT FakeMoniker::GetDisplayName(const UnknownPtr&, const MonikerPtr&, std::u16string& name) {
  name = u"fake:" + std::u16string(1, char16_t(u'0' + id_ % 10));
  return S_OK;
}

HRESULT FakeDevEnum::CreateClassEnumerator(const CLSID& category, std::shared_ptr<IEnumMoniker>& out, DWORD) {
  out.reset();
  ++list_->enumerations;
  if (category != CLSID_VideoInputDeviceCategory || list_->devices.empty()) return S_FALSE;
  std::vector<MonikerPtr> monikers;
  for (const auto& d : list_->devices) monikers.push_back(std::make_shared<FakeMoniker>(list_, d.id));
  out = std::make_shared<FakeEnum<IEnumMoniker, MonikerPtr>>(std::move(monikers));
  return S_OK;
}
