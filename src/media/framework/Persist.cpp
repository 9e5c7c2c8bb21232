#include "media/framework/Persist.h"

#include "media/framework/ClassFactory.h"

namespace media {

HRESULT OleSaveToStream(const std::shared_ptr<IPersistStream>& object, IStream& stream) {
  if (!object) return E_POINTER;
  CLSID clsid;
  HRESULT hr = object->GetClassID(clsid);
  if (FAILED(hr)) return hr;
  const auto bytes = clsid.ToBytes();
  ULONG written = 0;
  hr = stream.Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  if (written != bytes.size()) return STG_E_READFAULT;
  return object->Save(stream, true);
}

HRESULT OleLoadFromStream(IStream& stream, UnknownPtr& out) {
  out.reset();
  std::uint8_t bytes[16];
  ULONG read = 0;
  HRESULT hr = stream.Read(bytes, sizeof bytes, &read);
  if (FAILED(hr)) return hr;
  if (read != sizeof bytes) return STG_E_READFAULT;
  std::shared_ptr<IPersistStream> object;
  hr = CoCreateInstance<IPersistStream>(GUID::FromBytes(bytes), object);
  if (FAILED(hr)) return hr;
  hr = object->Load(stream);
  if (FAILED(hr)) return hr;
  out = object;
  return S_OK;
}

}  // namespace media
