#pragma once
#include <string>

#include "media/framework/Devices.h"

namespace media {

// The moniker CreateItemMoniker makes. It binds to nothing; it names an entry
// of the running object table. Stored bytes: delimiter and item, each as a
// 32-bit little-endian count of UTF-16 units followed by the units.
class ItemMoniker : public IMoniker {
 public:
  ItemMoniker() = default;
  ItemMoniker(std::u16string delimiter, std::u16string item)
      : delimiter_(std::move(delimiter)), item_(std::move(item)) {}

  const std::u16string& Delimiter() const { return delimiter_; }
  const std::u16string& Item() const { return item_; }

  HRESULT GetClassID(CLSID& clsid) override;
  HRESULT IsDirty() override { return S_FALSE; }
  HRESULT Load(IStream& stream) override;
  HRESULT Save(IStream& stream, bool clearDirty) override;
  HRESULT GetSizeMax(std::uint64_t& size) override;

  HRESULT BindToObject(const UnknownPtr&, const MonikerPtr&, const IID&, UnknownPtr& out) override;
  HRESULT BindToStorage(const UnknownPtr&, const MonikerPtr&, const IID&, UnknownPtr& out) override;
  HRESULT IsEqual(const MonikerPtr& other) override;
  HRESULT GetDisplayName(const UnknownPtr&, const MonikerPtr&, std::u16string& name) override;

 private:
  std::u16string delimiter_;
  std::u16string item_;
};

}  // namespace media
