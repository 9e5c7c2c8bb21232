#include "media/gst/net/SendTimeRebaser.h"

#include <gtest/gtest.h>

#include <vector>

namespace media::net {
namespace {

struct RebaseCase {
  const char* name;
  std::vector<std::uint32_t> source;
  std::vector<std::uint32_t> mapped;
  friend void PrintTo(const RebaseCase& c, std::ostream* os) { *os << c.name; }
};

class SendTimeRebaserMaps : public ::testing::TestWithParam<RebaseCase> {};

TEST_P(SendTimeRebaserMaps, Sequence) {
  SendTimeRebaser rebaser;
  std::vector<std::uint32_t> mapped;
  for (std::uint32_t t : GetParam().source) mapped.push_back(rebaser.map(t));
  EXPECT_EQ(mapped, GetParam().mapped);
}

constexpr std::uint32_t kThousandHours = 3'600'000'000u;

INSTANTIATE_TEST_SUITE_P(
    Table, SendTimeRebaserMaps,
    ::testing::Values(
        RebaseCase{"EncoderOffsetStartsAtZero", {kThousandHours, kThousandHours, kThousandHours + 133}, {0, 0, 133}},
        RebaseCase{"SourceWrapIsAnOrdinaryStep", {0xFFFFFF00u, 0xFFFFFFF0u, 0x00000010u}, {0, 0xF0, 0x110}},
        RebaseCase{"SmallStepBackHolds", {1000, 2000, 1900, 2100}, {0, 1000, 1000, 1100}},
        RebaseCase{"FarStepBackIsADiscontinuity", {100000, 200000, 1000, 1500}, {0, 100000, 100000, 100500}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SendTimeRebaser, DoesNotWrapWhereTheOffsetSourceWraps) {
  // With the encoder's offset the source wraps after about 193 hours; the
  // mapped clock goes on to 240 hours.
  SendTimeRebaser rebaser;
  std::uint32_t source = kThousandHours, mapped = 0;
  const std::uint32_t step = 60'000;
  for (std::uint32_t minute = 0; minute <= 240 * 60; ++minute, source += step) {
    mapped = rebaser.map(source);
    ASSERT_EQ(mapped, minute * step) << "minute " << minute;
  }
}

TEST(SendTimeRebaser, ResetStartsAgainAtZero) {
  SendTimeRebaser rebaser;
  rebaser.map(500);
  rebaser.map(900);
  rebaser.reset();
  EXPECT_EQ(rebaser.map(77777), 0u);
  EXPECT_EQ(rebaser.map(77787), 10u);
}

}  // namespace
}  // namespace media::net
