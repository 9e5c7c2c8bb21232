#pragma once
#include <cstdint>
#include <memory>

#include "media/framework/Guid.h"
#include "media/framework/Stream.h"

namespace media {

class IPersist : public virtual IUnknown {
 public:
  virtual HRESULT GetClassID(CLSID& clsid) = 0;
};

// An object that saves its state into a stream and loads it again. Load must
// treat the bytes as untrusted: a short or malformed block fails with a
// failing result, never reads past the stream or allocates what it claims.
class IPersistStream : public IPersist {
 public:
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT Load(IStream& stream) = 0;
  virtual HRESULT Save(IStream& stream, bool clearDirty) = 0;
  virtual HRESULT GetSizeMax(std::uint64_t& size) = 0;
};

// Writes the object's 16-byte class identifier, then its own bytes (Save).
HRESULT OleSaveToStream(const std::shared_ptr<IPersistStream>& object, IStream& stream);

// Reads a class identifier, makes that class through the class factory, lets
// it Load the rest of the stream and asks it for I. Out stays nil on any
// failure (a short stream gives STG_E_READFAULT, an unknown class
// REGDB_E_CLASSNOTREG).
HRESULT OleLoadFromStream(IStream& stream, UnknownPtr& out);

template <class I>
HRESULT OleLoadFromStream(IStream& stream, std::shared_ptr<I>& out) {
  out.reset();
  UnknownPtr object;
  const HRESULT hr = OleLoadFromStream(stream, object);
  if (FAILED(hr)) return hr;
  return QueryInterface<I>(object, out);
}

}  // namespace media
