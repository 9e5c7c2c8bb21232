#include "media/TMediaType.h"

#include <cstring>

#include "media/MediaTypeRecord.h"
#include "media/RuntimeErrors.h"
#include "media/framework/TaskMemory.h"

namespace media {

TMediaType::TMediaType(const GUID& majortype) {
  record_.majortype = majortype;
  record_.lSampleSize = 1;
  record_.bFixedSizeSamples = -1;
}

TMediaType::~TMediaType() { FreeMediaTypeRecord(record_); }

void TMediaType::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TMediaType*>(&source);
  if (!other) AssignError(source);
  if (other == this) return;
  FreeMediaTypeRecord(record_);
  CopyMediaTypeRecord(record_, other->record_);
}

bool TMediaType::SameAs(const TMediaType& other) const {
  const AM_MEDIA_TYPE& a = record_;
  const AM_MEDIA_TYPE& b = other.record_;
  if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype) return false;
  if (a.cbFormat != b.cbFormat) return false;
  return a.cbFormat == 0 || (a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}

std::vector<std::uint8_t> TMediaType::WriteData() const {
  std::vector<std::uint8_t> out;
  WriteMediaTypeRecord(record_, out);
  if (record_.cbFormat != 0 && record_.pbFormat) out.insert(out.end(), record_.pbFormat, record_.pbFormat + record_.cbFormat);
  else if (record_.cbFormat != 0) out.resize(out.size() + record_.cbFormat, 0);
  return out;
}

void TMediaType::ReadData(std::span<const std::uint8_t> stored) {
  if (stored.size() < kMediaTypeRecordSize) throw EReadError("Stream read error");
  AM_MEDIA_TYPE read = ReadMediaTypeRecord(stored.first<kMediaTypeRecordSize>());
  if (stored.size() - kMediaTypeRecordSize != read.cbFormat) throw EReadError("Stream read error");
  if (read.cbFormat != 0) {
    read.pbFormat = static_cast<std::uint8_t*>(CoTaskMemAlloc(read.cbFormat));
    if (!read.pbFormat) throw EReadError("Stream read error");
    std::memcpy(read.pbFormat, stored.data() + kMediaTypeRecordSize, read.cbFormat);
  }
  FreeMediaTypeRecord(record_);
  record_ = read;
}

}  // namespace media
