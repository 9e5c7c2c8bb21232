#include "media/TSysDevEnum.h"

#include <QString>

#include "media/RuntimeErrors.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"

namespace media {
namespace {

constexpr std::size_t kMaxFriendlyName = 255;

std::shared_ptr<IEnumMoniker> ClassEnumerator(const GUID& category) {
  std::shared_ptr<ICreateDevEnum> devices;
  CoCreateInstance<ICreateDevEnum>(CLSID_SystemDeviceEnum, devices);
  std::shared_ptr<IEnumMoniker> monikers;
  if (!devices || devices->CreateClassEnumerator(category, monikers, 0) != S_OK) return nullptr;
  return monikers;
}

std::string Utf8(const VARIANT& value) {
  const auto* text = std::get_if<std::u16string>(&value);
  return text ? QString::fromStdU16String(*text).toStdString() : std::string();
}

TDeviceRecord ReadRecord(const MonikerPtr& moniker) {
  TDeviceRecord record;
  UnknownPtr storage;
  moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, storage);
  auto bag = Query<IPropertyBag>(storage);
  if (!bag) return record;
  VARIANT name, clsid;
  bag->Read(u"FriendlyName", name, nullptr);
  record.FriendlyName = CutUtf8(Utf8(name), kMaxFriendlyName);
  if (bag->Read(u"CLSID", clsid, nullptr) == S_OK) {
    const std::string text = Utf8(clsid);
    auto parsed = GUID::Parse(text);
    if (!parsed) throw EConvertError("'" + text + "' is not a valid GUID value");
    record.CLSID = *parsed;
  }
  return record;
}

}  // namespace

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

TSysDevEnum::TSysDevEnum(const GUID& category) { SelectCategory(category); }

void TSysDevEnum::SelectCategory(const GUID& category) {
  category_ = category;
  devices_.clear();
  auto monikers = ClassEnumerator(category);
  if (!monikers) return;
  std::vector<MonikerPtr> one;
  while (monikers->Next(1, one) == S_OK && !one.empty()) {
    if (one.front()) devices_.push_back(ReadRecord(one.front()));
    one.clear();
  }
}

TDeviceRecord TSysDevEnum::DeviceRecord(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= devices_.size())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return devices_[static_cast<std::size_t>(index)];
}

MonikerPtr TSysDevEnum::GetDeviceMoniker(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= devices_.size()) return nullptr;
  auto monikers = ClassEnumerator(category_);
  if (!monikers) return nullptr;
  std::vector<MonikerPtr> one;
  MonikerPtr moniker;
  if (monikers->Skip(static_cast<ULONG>(index)) == S_OK && monikers->Next(1, one) == S_OK && !one.empty())
    moniker = one.front();
  monikers->Reset();
  return moniker;
}

}  // namespace media
