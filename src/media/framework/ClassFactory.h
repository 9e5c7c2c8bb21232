#pragma once
#include <functional>

#include "media/framework/Guid.h"
#include "media/framework/Unknown.h"

namespace media {

// The class-identifier registry that stands in for in-process object creation.
// The GStreamer backend registers its classes when the media platform is
// initialised; tests register fakes. All on the user-interface thread.
class ClassFactory {
 public:
  using Maker = std::function<UnknownPtr()>;

  static void Register(const CLSID& clsid, Maker maker);
  static void Unregister(const CLSID& clsid);
  static bool IsRegistered(const CLSID& clsid);
  // The maker registered for the class, empty when none (lets a test put a
  // fake in place and restore what was there).
  static Maker Lookup(const CLSID& clsid);
};

// REGDB_E_CLASSNOTREG for an unknown class, E_FAIL when the maker gives nil,
// E_NOINTERFACE when the object does not answer I (out stays nil then).
template <class I>
HRESULT CoCreateInstance(const CLSID& clsid, std::shared_ptr<I>& out);

HRESULT CreateObject(const CLSID& clsid, UnknownPtr& out);

template <class I>
HRESULT CoCreateInstance(const CLSID& clsid, std::shared_ptr<I>& out) {
  out.reset();
  UnknownPtr object;
  const HRESULT hr = CreateObject(clsid, object);
  if (FAILED(hr)) return hr;
  return QueryInterface<I>(object, out);
}

}  // namespace media
