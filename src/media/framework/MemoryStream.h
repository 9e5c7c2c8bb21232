#pragma once
#include <cstdint>
#include <vector>

#include "media/framework/Stream.h"

namespace media {

// An in-memory stream: a growable byte block with a position. Writing past the
// end extends it; reading stops at the end. Seeking before the start fails
// with STG_E_INVALIDFUNCTION.
class MemoryStream : public IStream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  HRESULT Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT Write(const void* buffer, ULONG count, ULONG* written) override;
  HRESULT Seek(std::int64_t move, STREAM_SEEK origin, std::uint64_t* newPosition) override;
  HRESULT GetSize(std::uint64_t& size) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::uint64_t Position() const { return position_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

}  // namespace media
