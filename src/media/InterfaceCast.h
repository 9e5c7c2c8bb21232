#pragma once
#include <memory>
#include <stdexcept>

#include "media/framework/Unknown.h"

namespace media {

// A cast the caller relies on: the interface or EIntfCastError "Interface not
// supported" (for instance a graph asked for its capture builder while
// inactive).
class EIntfCastError : public std::runtime_error {
 public:
  EIntfCastError() : std::runtime_error("Interface not supported") {}
};

template <class I>
std::shared_ptr<I> InterfaceCast(IUnknown& object) {
  auto result = QueryObject<I>(object);
  if (!result) throw EIntfCastError();
  return result;
}

}  // namespace media
