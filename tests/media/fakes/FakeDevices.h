#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/framework/Devices.h"

// The devices the fake system device enumerator lists, in order. Each has a
// stable id that its moniker stores; a device taken out of the list can no
// longer be bound.
struct FakeDeviceList {
  struct Device {
    int id;
    std::u16string name;
    std::optional<std::u16string> clsid;  // the "CLSID" property, when present
  };
  std::vector<Device> devices;
  int nextId = 1;
  int enumerations = 0;

  int Add(const std::u16string& name, std::optional<std::u16string> clsid = std::nullopt);
  void Remove(int id);
  const Device* Find(int id) const;
};

inline constexpr media::CLSID CLSID_FakeDeviceMoniker{
    0x5A1E0C3B, 0x0D4E, 0x4C1F, {0x9B, 0x7E, 0x21, 0x4C, 0x11, 0x6A, 0x3D, 0x90}};

// Names one device of the list by id. Stored bytes: the id, 4 bytes.
class FakeMoniker : public media::IMoniker {
 public:
  FakeMoniker(std::shared_ptr<FakeDeviceList> list, int id = 0) : list_(std::move(list)), id_(id) {}
  int Id() const { return id_; }

  media::HRESULT GetClassID(media::CLSID& clsid) override;
  media::HRESULT IsDirty() override { return media::S_FALSE; }
  media::HRESULT Load(media::IStream& stream) override;
  media::HRESULT Save(media::IStream& stream, bool) override;
  media::HRESULT GetSizeMax(std::uint64_t& size) override;
  media::HRESULT BindToObject(const media::UnknownPtr&, const media::MonikerPtr&, const media::IID& riid,
                              media::UnknownPtr& out) override;
  media::HRESULT BindToStorage(const media::UnknownPtr&, const media::MonikerPtr&, const media::IID& riid,
                               media::UnknownPtr& out) override;
  media::HRESULT IsEqual(const media::MonikerPtr& other) override;
  media::HRESULT GetDisplayName(const media::UnknownPtr&, const media::MonikerPtr&, std::u16string& name) override;

 private:
  std::shared_ptr<FakeDeviceList> list_;
  int id_;
};

class FakeDevEnum : public media::ICreateDevEnum {
 public:
  explicit FakeDevEnum(std::shared_ptr<FakeDeviceList> list) : list_(std::move(list)) {}
  media::HRESULT CreateClassEnumerator(const media::CLSID& category, std::shared_ptr<media::IEnumMoniker>& out,
                                       media::DWORD flags) override;

 private:
  std::shared_ptr<FakeDeviceList> list_;
};
