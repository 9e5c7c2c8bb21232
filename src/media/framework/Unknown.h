#pragma once
#include <memory>
#include <vector>

#include "media/framework/Result.h"

namespace media {

// Base of every platform object and of every media component that can stand
// in for one. References are shared pointers. An interface query is a checked
// cast of the object itself; when that fails, the query passes to the objects
// the object delegates to, in order (a component passes it to the platform
// filter it holds, a graph to its builder and then its platform graph).
class IUnknown : public std::enable_shared_from_this<IUnknown> {
 public:
  virtual ~IUnknown() = default;

  // Objects that answer the queries this object does not; empty by default.
  virtual std::vector<std::shared_ptr<IUnknown>> QueryDelegates() const { return {}; }
};

using UnknownPtr = std::shared_ptr<IUnknown>;

// Ask `object` for interface I: the checked cast first, then each delegate in
// turn. S_OK and the interface, E_NOINTERFACE and nil, or E_POINTER for nil.
template <class I>
HRESULT QueryInterface(const std::shared_ptr<IUnknown>& object, std::shared_ptr<I>& out) {
  out.reset();
  if (!object) return E_POINTER;
  if ((out = std::dynamic_pointer_cast<I>(object))) return S_OK;
  for (const auto& delegate : object->QueryDelegates()) {
    if (delegate && delegate != object && QueryInterface<I>(delegate, out) == S_OK) return S_OK;
  }
  return E_NOINTERFACE;
}

// The same, for callers that only want the pointer.
template <class I>
std::shared_ptr<I> Query(const std::shared_ptr<IUnknown>& object) {
  std::shared_ptr<I> out;
  QueryInterface<I>(object, out);
  return out;
}

template <class I, class T>
std::shared_ptr<I> Query(const std::shared_ptr<T>& object) {
  return Query<I>(std::static_pointer_cast<IUnknown>(object));
}

// The same for an object that may not be owned by a shared pointer: media
// components belong to their windows and are not reference counted. For such
// an object an answer that is the object itself does not own it; it is valid
// while the component lives, which is how components hand themselves out.
template <class I>
std::shared_ptr<I> QueryObject(IUnknown& object) {
  if (auto self = object.weak_from_this().lock()) return Query<I>(self);
  if (auto* own = dynamic_cast<I*>(&object)) return std::shared_ptr<I>(std::shared_ptr<void>(), own);
  std::shared_ptr<I> out;
  for (const auto& delegate : object.QueryDelegates()) {
    if (delegate && QueryInterface<I>(delegate, out) == S_OK) return out;
  }
  return nullptr;
}

}  // namespace media
