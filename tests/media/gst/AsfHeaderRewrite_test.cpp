#include "media/gst/AsfHeaderRewrite.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "media/gst/AsfHeaderView.h"
#include "media/gst/WMProfileTable.h"
#include "media/gst/net/AsfGuids.h"
#include "media/gst/net/LittleEndian.h"

namespace {

using namespace media::gst;
using gsttest::kCodecList;
using gsttest::kHeaderExtension;
using gsttest::kPadding;
using gsttest::kStreamBitrates;
using media::net::readLE;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kVideoOnly56 = 23, kHandheld255 = 0, kFairQuality = 24;

// The header GStreamer's muxer writes for a short test stream of the given
// kinds, with `padding` bytes reserved: the muxer's own layout, not ours.
Bytes MuxedHeader(bool audio, bool video, std::uint64_t padding) {
  std::string line = "asfmux name=mux padding=" + std::to_string(padding) + " ! appsink name=out sync=false";
  if (video)
    line += " videotestsrc num-buffers=5 ! video/x-raw,width=320,height=240,framerate=15/1 ! avenc_wmv2 ! mux.";
  if (audio) line += " audiotestsrc num-buffers=5 ! audio/x-raw,rate=22050,channels=2 ! avenc_wmav2 ! mux.";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(line.c_str(), &error);
  if (error) {
    ADD_FAILURE() << error->message;
    g_error_free(error);
    return {};
  }
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  Bytes bytes;
  if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 10 * GST_SECOND)) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    bytes.resize(gst_buffer_get_size(buffer));
    gst_buffer_extract(buffer, 0, bytes.data(), bytes.size());
    gst_sample_unref(sample);
  }
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(sink);
  gst_object_unref(pipeline);
  return bytes;
}

struct ProfileRow {
  const char* name;
  std::size_t profile;
  bool audio, video;  // the streams the muxer was given
  std::uint32_t maxBitRate;
  std::vector<std::string> codecs;
  std::map<unsigned, std::uint32_t> bitrates;
  bool paddingLeft;
};
void PrintTo(const ProfileRow& row, std::ostream* out) { *out << row.name; }

class AsfHeaderRewriteProfiles : public ::testing::TestWithParam<ProfileRow> {};

TEST_P(AsfHeaderRewriteProfiles, TheReservedSpaceTakesTheObjectsAndNothingMoves) {
  const ProfileRow& row = GetParam();
  const WMProfileSettings& profile = WMProfileTable::At(row.profile);
  AsfHeaderRewrite rewrite = AsfHeaderRewrite::ForProfile(profile);
  Bytes header = MuxedHeader(row.audio, row.video, rewrite.Reserve());
  ASSERT_FALSE(header.empty());
  const Bytes muxed = header;
  ASSERT_TRUE(rewrite.Rewrite(header));

  const gsttest::AsfHeaderView before(muxed), after(header);
  ASSERT_EQ(header.size(), muxed.size());
  EXPECT_EQ(after.size, before.size) << "the data object stays where the muxer put it";
  EXPECT_TRUE(std::equal(header.end() - 50, header.end(), muxed.end() - 50));
  EXPECT_EQ(after.count, after.order.size());
  EXPECT_EQ(after.Has(kPadding), row.paddingLeft);
  ASSERT_TRUE(after.Has(kCodecList) && after.Has(kStreamBitrates));
  EXPECT_EQ(after.At(media::net::kAsfFilePropertiesObject, 100, 4), row.maxBitRate);
  EXPECT_EQ(after.Codecs(), row.codecs);
  EXPECT_EQ(after.Bitrates(), row.bitrates);
  for (const auto& [stream, rate] : row.bitrates) {
    EXPECT_EQ(after.Extended(stream, 40, 4), rate) << "data bit rate of stream " << stream;
    EXPECT_EQ(after.Extended(stream, 52, 4), rate);
    EXPECT_EQ(after.Extended(stream, 44, 4), static_cast<std::uint32_t>(profile.bufferWindowMs));
    EXPECT_EQ(after.Extended(stream, 56, 4), static_cast<std::uint32_t>(profile.bufferWindowMs));
  }
  // Everything the muxer wrote before its header extension is as it was,
  // but for the maximum bit rate.
  const std::size_t extension = after.Offset(kHeaderExtension);
  const std::size_t maxBitRate = after.Offset(media::net::kAsfFilePropertiesObject) + 100;
  Bytes expected(muxed.begin(), muxed.begin() + extension), got(header.begin(), header.begin() + extension);
  for (std::size_t field : {std::size_t{24} /* object count */, maxBitRate})
    for (std::size_t i = 0; i < 4; ++i) expected[field + i] = got[field + i] = 0;
  EXPECT_EQ(got, expected);
}

// Stream numbers follow the muxer: its video pad comes first in these
// launch lines, so video is stream 1 and audio stream 2.
INSTANTIATE_TEST_SUITE_P(
    Profiles, AsfHeaderRewriteProfiles,
    ::testing::Values(
        ProfileRow{"VideoOnly56FillsItExactly", kVideoOnly56, false, true, 52'000,
                   {"1:Windows Media Video 8:WMV2"}, {{1, 52'000}}, false},
        ProfileRow{"AudioAndVideo", kHandheld255, true, true, 237'000,
                   {"1:Windows Media Video 8:WMV2", "2:Windows Media Audio 8:353"}, {{1, 205'000}, {2, 32'000}},
                   false},
        // A stream never connected is not in the file: what it would have
        // taken stays padding.
        ProfileRow{"AudioLeftOut", kHandheld255, false, true, 205'000, {"1:Windows Media Video 8:WMV2"},
                   {{1, 205'000}}, true},
        // A quality profile has no rate beforehand: no maximum is stated.
        ProfileRow{"QualityVideo", kFairQuality, false, true, 0, {"1:Windows Media Video 8:WMV2"}, {{1, 0}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AsfHeaderRewrite, FrameTimeIsTheProfilesRateIn100NanosecondUnitsRounded) {
  for (const auto& [profile, expected] : {std::pair{kVideoOnly56, 666'667u}, std::pair{std::size_t{11}, 333'667u}}) {
    AsfHeaderRewrite rewrite = AsfHeaderRewrite::ForProfile(WMProfileTable::At(profile));
    Bytes header = MuxedHeader(false, true, rewrite.Reserve());
    ASSERT_TRUE(rewrite.Rewrite(header));
    EXPECT_EQ(gsttest::AsfHeaderView(header).Extended(1, 76, 8), expected) << "profile " << profile;
  }
}

TEST(AsfHeaderRewrite, WithoutReservedSpaceOnlyTheFieldsInPlaceAreWritten) {
  AsfHeaderRewrite rewrite = AsfHeaderRewrite::ForProfile(WMProfileTable::At(kVideoOnly56));
  Bytes header = MuxedHeader(false, true, 0);
  const Bytes muxed = header;
  ASSERT_TRUE(rewrite.Rewrite(header));
  const gsttest::AsfHeaderView after(header);
  EXPECT_EQ(header.size(), muxed.size());
  EXPECT_FALSE(after.Has(kCodecList));
  EXPECT_EQ(after.At(media::net::kAsfFilePropertiesObject, 100, 4), 52'000u);
  EXPECT_EQ(after.Extended(1, 40, 4), 52'000u);

  Bytes again = header;
  ASSERT_TRUE(rewrite.Rewrite(again));
  EXPECT_EQ(again, header) << "a second rewrite changes nothing";
}

TEST(AsfHeaderRewrite, AHeaderItCannotReadIsLeftAlone) {
  AsfHeaderRewrite rewrite = AsfHeaderRewrite::ForProfile(WMProfileTable::At(kVideoOnly56));
  const Bytes muxed = MuxedHeader(false, true, rewrite.Reserve());
  ASSERT_FALSE(muxed.empty());
  for (const auto& [what, at, value] : {std::tuple{"object past the header", std::size_t{30 + 16}, 0xFFFFu},
                                        std::tuple{"object shorter than its head", std::size_t{30 + 16}, 10u},
                                        std::tuple{"header size past the buffer", std::size_t{16}, 0xFFFFFFu}}) {
    Bytes header = muxed;
    media::net::writeLE(header.data() + at, 4, value);
    const Bytes broken = header;
    EXPECT_FALSE(rewrite.Rewrite(header)) << what;
    EXPECT_EQ(header, broken) << what;
  }
  Bytes tooShort(muxed.begin(), muxed.begin() + 20);
  EXPECT_FALSE(rewrite.Rewrite(tooShort));
}

// At the stop the muxer writes the File Properties again from its file
// size on, with no maximum bit rate; only that write is mended.
TEST(AsfHeaderRewrite, TheMuxersLateWriteGetsTheMaximumBitRateBack) {
  AsfHeaderRewrite rewrite = AsfHeaderRewrite::ForProfile(WMProfileTable::At(kVideoOnly56));
  Bytes late(64, 0);
  EXPECT_FALSE(rewrite.MendLateWrite(30 + 40, late)) << "no header rewritten yet";
  Bytes header = MuxedHeader(false, true, rewrite.Reserve());
  ASSERT_TRUE(rewrite.Rewrite(header));

  EXPECT_TRUE(rewrite.MendLateWrite(30 + 40, late));
  EXPECT_EQ(readLE(late.data() + 60, 4), 52'000u);
  Bytes elsewhere(32, 0);
  EXPECT_FALSE(rewrite.MendLateWrite(header.size() - 50 + 16, elsewhere)) << "the data object's write";
  EXPECT_EQ(elsewhere, Bytes(32, 0));
  Bytes shortWrite(8, 0);
  EXPECT_FALSE(rewrite.MendLateWrite(30 + 40, shortWrite));
}

}  // namespace
