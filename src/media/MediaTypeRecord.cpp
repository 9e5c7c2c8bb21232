#include "media/MediaTypeRecord.h"

#include <cstring>

#include "media/framework/TaskMemory.h"

namespace media {
namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutGuid(std::vector<std::uint8_t>& out, const GUID& g) {
  const auto bytes = g.ToBytes();
  out.insert(out.end(), bytes.begin(), bytes.end());
}

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint32_t AddressBits(const void* p) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p)); }

}  // namespace

void CopyMediaTypeRecord(AM_MEDIA_TYPE& destination, const AM_MEDIA_TYPE& source) {
  if (&destination == &source) return;
  destination = source;  // fields and one more reference to pUnk
  destination.pbFormat = nullptr;
  if (source.cbFormat == 0) return;
  destination.pbFormat = static_cast<std::uint8_t*>(CoTaskMemAlloc(source.cbFormat));
  if (!destination.pbFormat) {
    destination.cbFormat = 0;
    return;
  }
  if (source.pbFormat) std::memcpy(destination.pbFormat, source.pbFormat, source.cbFormat);
  else std::memset(destination.pbFormat, 0, source.cbFormat);
}

void FreeMediaTypeRecord(AM_MEDIA_TYPE& record) {
  if (record.cbFormat != 0 || record.pbFormat) CoTaskMemFree(record.pbFormat);
  record.cbFormat = 0;
  record.pbFormat = nullptr;
  record.pUnk.reset();
}

void WriteMediaTypeRecord(const AM_MEDIA_TYPE& r, std::vector<std::uint8_t>& out) {
  PutGuid(out, r.majortype);
  PutGuid(out, r.subtype);
  Put32(out, static_cast<std::uint32_t>(r.bFixedSizeSamples));
  Put32(out, static_cast<std::uint32_t>(r.bTemporalCompression));
  Put32(out, r.lSampleSize);
  PutGuid(out, r.formattype);
  Put32(out, AddressBits(r.pUnk.get()));
  Put32(out, r.cbFormat);
  Put32(out, AddressBits(r.pbFormat));
}

AM_MEDIA_TYPE ReadMediaTypeRecord(std::span<const std::uint8_t, kMediaTypeRecordSize> s) {
  AM_MEDIA_TYPE r;
  r.majortype = GUID::FromBytes(s.data());
  r.subtype = GUID::FromBytes(s.data() + 16);
  r.bFixedSizeSamples = static_cast<std::int32_t>(Get32(s.data() + 32));
  r.bTemporalCompression = static_cast<std::int32_t>(Get32(s.data() + 36));
  r.lSampleSize = Get32(s.data() + 40);
  r.formattype = GUID::FromBytes(s.data() + 44);
  r.cbFormat = Get32(s.data() + 64);
  return r;
}

}  // namespace media
