#include "media/framework/ClassFactory.h"

#include <map>

namespace media {
namespace {

struct GuidLess {
  bool operator()(const GUID& a, const GUID& b) const { return a.ToBytes() < b.ToBytes(); }
};

std::map<CLSID, ClassFactory::Maker, GuidLess>& Makers() {
  static std::map<CLSID, ClassFactory::Maker, GuidLess> makers;
  return makers;
}

}  // namespace

void ClassFactory::Register(const CLSID& clsid, Maker maker) { Makers()[clsid] = std::move(maker); }
void ClassFactory::Unregister(const CLSID& clsid) { Makers().erase(clsid); }
bool ClassFactory::IsRegistered(const CLSID& clsid) { return Makers().count(clsid) != 0; }

ClassFactory::Maker ClassFactory::Lookup(const CLSID& clsid) {
  auto it = Makers().find(clsid);
  return it == Makers().end() ? Maker() : it->second;
}

HRESULT CreateObject(const CLSID& clsid, UnknownPtr& out) {
  out.reset();
  auto it = Makers().find(clsid);
  if (it == Makers().end()) return REGDB_E_CLASSNOTREG;
  out = it->second();
  return out ? S_OK : E_FAIL;
}

}  // namespace media
