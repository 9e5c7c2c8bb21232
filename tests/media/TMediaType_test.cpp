#include "media/TMediaType.h"

#include <gtest/gtest.h>

#include <cstring>

#include "media/MediaTypeRecord.h"
#include "media/RuntimeErrors.h"
#include "media/TPersistentMemory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/TaskMemory.h"

using namespace media;

namespace {

void SetFormat(TMediaType& type, std::vector<std::uint8_t> bytes) {
  AM_MEDIA_TYPE& r = type.AmMediaType();
  FreeMediaTypeRecord(r);
  r.cbFormat = static_cast<std::uint32_t>(bytes.size());
  r.pbFormat = static_cast<std::uint8_t*>(CoTaskMemAlloc(bytes.size()));
  std::memcpy(r.pbFormat, bytes.data(), bytes.size());
}

// The sample grabbers' type: video, RGB24, video-info format.
struct VideoRgb24 : TMediaType {
  VideoRgb24() : TMediaType(MEDIATYPE_Video) {
    SetSubtype(MEDIASUBTYPE_RGB24);
    SetFormatType(FORMAT_VideoInfo);
  }
};

TEST(TMediaType, NewRecordAndItsStoredFormMatchTheFixedLayout) {
  VideoRgb24 type;
  const std::vector<std::uint8_t> data = type.WriteData();
  ASSERT_EQ(data.size(), 72u);
  const auto video = MEDIATYPE_Video.ToBytes(), rgb = MEDIASUBTYPE_RGB24.ToBytes(), info = FORMAT_VideoInfo.ToBytes();
  EXPECT_TRUE(std::equal(video.begin(), video.end(), data.begin()));
  EXPECT_TRUE(std::equal(rgb.begin(), rgb.end(), data.begin() + 16));
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + 32, data.begin() + 44),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_TRUE(std::equal(info.begin(), info.end(), data.begin() + 44));
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + 60, data.end()), std::vector<std::uint8_t>(12, 0));
}

TEST(TMediaType, WrittenAndReadBackIsSameAsWithTheFormatBlockAfterTheRecord) {
  VideoRgb24 written;
  SetFormat(written, {1, 2, 3, 4, 5});
  const auto data = written.WriteData();
  EXPECT_EQ(data.size(), 72u + 5u);

  TMediaType read;
  read.ReadData(data);
  EXPECT_TRUE(read.SameAs(written));
  EXPECT_EQ(read.AmMediaType().cbFormat, 5u);
  EXPECT_NE(read.AmMediaType().pbFormat, written.AmMediaType().pbFormat);
  EXPECT_EQ(read.AmMediaType().pUnk, nullptr);
  EXPECT_EQ(read.AmMediaType().lSampleSize, 1u);
}

TEST(TMediaType, SameAsIgnoresSampleSizeButNotTypesOrFormatBytes) {
  VideoRgb24 a, b;
  b.AmMediaType().lSampleSize = 640 * 480 * 3;
  EXPECT_TRUE(a.SameAs(b));
  b.SetSubtype(MEDIASUBTYPE_RGB32);
  EXPECT_FALSE(a.SameAs(b));
  b.SetSubtype(MEDIASUBTYPE_RGB24);
  SetFormat(a, {1, 2});
  SetFormat(b, {1, 3});
  EXPECT_FALSE(a.SameAs(b));
  EXPECT_FALSE(a.StoresData(&a));
  EXPECT_TRUE(a.StoresData(&b));
  EXPECT_TRUE(a.StoresData(nullptr));
}

TEST(TMediaType, AssignCopiesTheFormatBlockAndRefusesOtherKinds) {
  VideoRgb24 source;
  TMediaType target;
  SetFormat(source, {9, 8, 7});
  auto reference = std::make_shared<IUnknown>();
  source.AmMediaType().pUnk = reference;
  target.Assign(source);
  EXPECT_TRUE(target.SameAs(source));
  EXPECT_NE(target.AmMediaType().pbFormat, source.AmMediaType().pbFormat);
  EXPECT_EQ(reference.use_count(), 3);
  target.Assign(target);
  EXPECT_TRUE(target.SameAs(source));

  TPersistentMemory memory;
  try {
    target.Assign(memory);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TPersistentMemory to a TMediaType");
  }
}

struct BadData {
  const char* name;
  std::size_t size;
  std::uint32_t claimedFormat;
};

class TMediaTypeBadData : public ::testing::TestWithParam<BadData> {};

TEST_P(TMediaTypeBadData, IsRefusedAndLeavesTheRecord) {
  VideoRgb24 original;
  std::vector<std::uint8_t> data = original.WriteData();
  for (int i = 0; i < 4; ++i) data[64 + i] = static_cast<std::uint8_t>(GetParam().claimedFormat >> (8 * i));
  data.resize(GetParam().size, 0xAB);
  VideoRgb24 target;
  target.SetSubtype(MEDIASUBTYPE_YUY2);
  EXPECT_THROW(target.ReadData(data), EReadError);
  EXPECT_EQ(target.AmMediaType().subtype, MEDIASUBTYPE_YUY2);
  EXPECT_EQ(target.AmMediaType().cbFormat, 0u);
}

INSTANTIATE_TEST_SUITE_P(Stored, TMediaTypeBadData,
                         ::testing::Values(BadData{"Empty", 0, 0}, BadData{"ShortRecord", 71, 0},
                                           BadData{"HugeFormatClaim", 72, 0xFFFFFFF0u},
                                           BadData{"FormatShorterThanClaimed", 72 + 3, 4},
                                           BadData{"TrailingBytes", 72 + 5, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MediaTypeRecord, CopyIsDeepAndFreeReleasesBlockAndReference) {
  AM_MEDIA_TYPE source;
  source.cbFormat = 4;
  source.pbFormat = static_cast<std::uint8_t*>(CoTaskMemAlloc(4));
  std::memcpy(source.pbFormat, "abcd", 4);
  auto reference = std::make_shared<IUnknown>();
  source.pUnk = reference;
  AM_MEDIA_TYPE copy;
  CopyMediaTypeRecord(copy, source);
  ASSERT_NE(copy.pbFormat, source.pbFormat);
  EXPECT_EQ(std::memcmp(copy.pbFormat, "abcd", 4), 0);
  EXPECT_EQ(reference.use_count(), 3);
  FreeMediaTypeRecord(copy);
  FreeMediaTypeRecord(source);
  EXPECT_EQ(copy.cbFormat, 0u);
  EXPECT_EQ(copy.pbFormat, nullptr);
  EXPECT_EQ(reference.use_count(), 1);
}

}  // namespace
