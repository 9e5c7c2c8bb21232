#include "media/TPersistentMemory.h"

#include <gtest/gtest.h>

#include "media/RuntimeErrors.h"
#include "media/TMediaType.h"

using namespace media;
using Bytes = std::vector<std::uint8_t>;

namespace {

TEST(TPersistentMemory, StoresLengthThenBytesAndEmptyAsFourZeros) {
  TPersistentMemory memory;
  EXPECT_EQ(memory.WriteData(), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(memory.Data(), nullptr);
  memory.Reallocate(3);
  memory.Data()[0] = 7;
  EXPECT_EQ(memory.WriteData(), (Bytes{3, 0, 0, 0, 7, 0, 0}));
  TPersistentMemory read;
  read.ReadData(memory.WriteData());
  EXPECT_TRUE(read.SameAs(memory));
}

TEST(TPersistentMemory, SameAsNeedsEqualNonEmptyBlocks) {
  TPersistentMemory a, b;
  EXPECT_FALSE(a.SameAs(b));
  a.Reallocate(2);
  b.Reallocate(2);
  EXPECT_TRUE(a.SameAs(b));
  b.Data()[1] = 1;
  EXPECT_FALSE(a.SameAs(b));
  EXPECT_TRUE(a.StoresData(&b));
  b.Assign(a);
  EXPECT_FALSE(a.StoresData(&b));
  TMediaType other;
  EXPECT_THROW(a.Assign(other), EConvertError);
}

struct BadBlock {
  const char* name;
  Bytes stored;
};

class TPersistentMemoryBadBlock : public ::testing::TestWithParam<BadBlock> {};

TEST_P(TPersistentMemoryBadBlock, IsRefusedWithoutAllocatingAndKeepsTheBlock) {
  TPersistentMemory memory;
  memory.Reallocate(1);
  memory.Data()[0] = 42;
  EXPECT_THROW(memory.ReadData(GetParam().stored), EReadError);
  ASSERT_EQ(memory.DataLength(), 1u);
  EXPECT_EQ(memory.Data()[0], 42);
}

INSTANTIATE_TEST_SUITE_P(Stored, TPersistentMemoryBadBlock,
                         ::testing::Values(BadBlock{"FourBytesClaimingHugeLength", {0xFF, 0xFF, 0xFF, 0xFF}},
                                           BadBlock{"ShorterThanTheLength", {4, 0, 0, 0, 1, 2}},
                                           BadBlock{"LongerThanTheLength", {1, 0, 0, 0, 1, 2}},
                                           BadBlock{"NoLength", {1, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
