#include "media/TBaseFilter.h"

#include <cstring>

#include "media/framework/Identifiers.h"
#include "media/framework/MemoryStream.h"

namespace media {

void TBaseFilter::StoreMoniker(const MonikerPtr& moniker) {
  if (!moniker) {
    Reallocate(0);
    return;
  }
  MemoryStream stream;
  OleSaveToStream(moniker, stream);
  const auto& bytes = stream.Bytes();
  Reallocate(static_cast<std::uint32_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(Data(), bytes.data(), bytes.size());
}

MonikerPtr TBaseFilter::LoadMoniker() const {
  if (DataLength() == 0) return nullptr;
  MemoryStream stream(std::vector<std::uint8_t>(Data(), Data() + DataLength()));
  MonikerPtr moniker;
  OleLoadFromStream<IMoniker>(stream, moniker);
  return moniker;
}

BaseFilterPtr TBaseFilter::BindFilter() const {
  const MonikerPtr moniker = LoadMoniker();
  if (!moniker) return nullptr;
  UnknownPtr object;
  moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, object);
  return Query<IBaseFilter>(object);
}

}  // namespace media
