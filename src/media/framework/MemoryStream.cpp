#include "media/framework/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace media {

HRESULT MemoryStream::Read(void* buffer, ULONG count, ULONG* read) {
  if (read) *read = 0;
  if (!buffer && count) return E_POINTER;
  const std::uint64_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const ULONG n = static_cast<ULONG>(std::min<std::uint64_t>(count, left));
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  if (read) *read = n;
  return S_OK;
}

HRESULT MemoryStream::Write(const void* buffer, ULONG count, ULONG* written) {
  if (written) *written = 0;
  if (!buffer && count) return E_POINTER;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  if (count) std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  if (written) *written = count;
  return S_OK;
}

HRESULT MemoryStream::Seek(std::int64_t move, STREAM_SEEK origin, std::uint64_t* newPosition) {
  std::int64_t base = 0;
  if (origin == STREAM_SEEK_CUR) base = static_cast<std::int64_t>(position_);
  else if (origin == STREAM_SEEK_END) base = static_cast<std::int64_t>(bytes_.size());
  else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
  if (base + move < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<std::uint64_t>(base + move);
  if (newPosition) *newPosition = position_;
  return S_OK;
}

HRESULT MemoryStream::GetSize(std::uint64_t& size) {
  size = bytes_.size();
  return S_OK;
}

}  // namespace media
