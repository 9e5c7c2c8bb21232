#pragma once
// Device enumeration: the system device enumerator, monikers and property bags.
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "media/framework/Guid.h"
#include "media/framework/Persist.h"
#include "media/framework/Types.h"

namespace media {

class IMoniker;
class IEnumMoniker;
using MonikerPtr = std::shared_ptr<IMoniker>;

// A name for an object that can be saved (IPersistStream, with the class
// identifier first through OleSaveToStream) and found again later.
class IMoniker : public IPersistStream {
 public:
  // The object the moniker names, as an object answering riid (callers then
  // Query it). bindContext and left are nil in this system.
  virtual HRESULT BindToObject(const UnknownPtr& bindContext, const MonikerPtr& left, const IID& riid,
                               UnknownPtr& out) = 0;
  // Storage of the object, e.g. IID_IPropertyBag for a device's properties.
  virtual HRESULT BindToStorage(const UnknownPtr& bindContext, const MonikerPtr& left, const IID& riid,
                                UnknownPtr& out) = 0;
  // S_OK when other names the same object, S_FALSE otherwise.
  virtual HRESULT IsEqual(const MonikerPtr& other) = 0;
  virtual HRESULT GetDisplayName(const UnknownPtr& bindContext, const MonikerPtr& left,
                                 std::u16string& name) = 0;
};

class IEnumMoniker : public virtual IUnknown {
 public:
  // S_OK when all `count` asked for were appended to out, S_FALSE when fewer.
  virtual HRESULT Next(ULONG count, std::vector<MonikerPtr>& out) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
};

class ICreateDevEnum : public virtual IUnknown {
 public:
  // S_FALSE and nil for a category without devices. Two enumerations in a
  // row list the devices in the same order.
  virtual HRESULT CreateClassEnumerator(const CLSID& category, std::shared_ptr<IEnumMoniker>& out,
                                        DWORD flags) = 0;
};

// A property value; VT_EMPTY is std::monostate.
using VARIANT = std::variant<std::monostate, std::u16string, std::int32_t>;

class IPropertyBag : public virtual IUnknown {
 public:
  // E_INVALIDARG for a property the bag does not hold. errorLog is nil here.
  virtual HRESULT Read(const std::u16string& name, VARIANT& value, const UnknownPtr& errorLog) = 0;
  virtual HRESULT Write(const std::u16string& name, const VARIANT& value) = 0;
};

}  // namespace media
