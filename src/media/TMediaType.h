#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "media/TPersistent.h"
#include "media/framework/MediaTypes.h"

namespace media {

// A media type record with its format block, owned, and stored as the "data"
// property: the 72-byte record, then cbFormat bytes of format block.
class TMediaType : public TPersistent {
 public:
  // All zero except majortype, lSampleSize 1 and bFixedSizeSamples True.
  explicit TMediaType(const GUID& majortype = GUID{});
  ~TMediaType() override;
  TMediaType(const TMediaType&) = delete;
  TMediaType& operator=(const TMediaType&) = delete;

  std::string ClassName() const override { return "TMediaType"; }
  // From another TMediaType: frees the own block and copies the other's record.
  void Assign(const TPersistent& source) override;

  void SetSubtype(const GUID& subtype) { record_.subtype = subtype; }
  void SetFormatType(const GUID& formattype) { record_.formattype = formattype; }
  // The record itself; a format block put here belongs to this object.
  AM_MEDIA_TYPE& AmMediaType() { return record_; }
  const AM_MEDIA_TYPE& AmMediaType() const { return record_; }

  // Same major type, subtype, format type and format block (sample size and
  // flags are not compared).
  bool SameAs(const TMediaType& other) const;

  std::vector<std::uint8_t> WriteData() const;
  // Whether the property is written when stored against `ancestor` (the
  // inherited copy; nil when there is none).
  bool StoresData(const TMediaType* ancestor) const { return !ancestor || !SameAs(*ancestor); }
  // Replaces the record by the stored one. Raises EReadError, leaving the
  // object unchanged, for fewer than 72 bytes or a length that disagrees with
  // the stored cbFormat.
  void ReadData(std::span<const std::uint8_t> stored);

 private:
  AM_MEDIA_TYPE record_;
};

}  // namespace media
