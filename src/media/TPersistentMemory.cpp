#include "media/TPersistentMemory.h"

#include "media/RuntimeErrors.h"

namespace media {

void TPersistentMemory::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TPersistentMemory*>(&source);
  if (!other) AssignError(source);
  if (other == this) return;
  data_ = other->data_;
}

void TPersistentMemory::Reallocate(std::uint32_t size) {
  data_.clear();
  data_.shrink_to_fit();
  data_.resize(size, 0);
}

bool TPersistentMemory::SameAs(const TPersistentMemory& other) const {
  return !data_.empty() && data_ == other.data_;
}

std::vector<std::uint8_t> TPersistentMemory::WriteData() const {
  const std::uint32_t n = DataLength();
  std::vector<std::uint8_t> out;
  out.reserve(4 + data_.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  out.insert(out.end(), data_.begin(), data_.end());
  return out;
}

void TPersistentMemory::ReadData(std::span<const std::uint8_t> stored) {
  if (stored.size() < 4) throw EReadError("Stream read error");
  const std::uint32_t n = std::uint32_t(stored[0]) | std::uint32_t(stored[1]) << 8 |
                          std::uint32_t(stored[2]) << 16 | std::uint32_t(stored[3]) << 24;
  if (stored.size() - 4 != n) throw EReadError("Stream read error");
  Reallocate(n);
  std::copy(stored.begin() + 4, stored.end(), data_.begin());
}

}  // namespace media
