#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "media/TPersistent.h"

namespace media {

// An owned byte block stored as the "data" property: its length as 32-bit
// little-endian, then the bytes. An empty block has no storage and is stored
// as four zero bytes.
class TPersistentMemory : public TPersistent {
 public:
  std::string ClassName() const override { return "TPersistentMemory"; }
  // From another TPersistentMemory (or a kind of it): a copy of its block.
  void Assign(const TPersistent& source) override;

  const std::uint8_t* Data() const { return data_.empty() ? nullptr : data_.data(); }
  std::uint8_t* Data() { return data_.empty() ? nullptr : data_.data(); }
  std::uint32_t DataLength() const { return static_cast<std::uint32_t>(data_.size()); }
  // Drops the block; a size other than 0 gives a new block of zeros.
  void Reallocate(std::uint32_t size);

  // Equal non-empty blocks; two empty blocks are not the same.
  bool SameAs(const TPersistentMemory& other) const;

  std::vector<std::uint8_t> WriteData() const;
  bool StoresData(const TPersistentMemory* ancestor) const { return !ancestor || !SameAs(*ancestor); }
  // Raises EReadError, leaving the block unchanged, when the stored length
  // disagrees with the bytes given (fewer than 4, or a length claiming more
  // or fewer bytes than follow): nothing is allocated for such a claim.
  void ReadData(std::span<const std::uint8_t> stored);

 private:
  std::vector<std::uint8_t> data_;
};

}  // namespace media
