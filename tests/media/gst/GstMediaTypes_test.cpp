#include "media/gst/GstMediaTypes.h"

#include <gtest/gtest.h>

#include "media/framework/Identifiers.h"
#include "media/framework/TaskMemory.h"

namespace {

using namespace media;
using namespace media::gst;

struct CapsCase {
  const char* name;
  const char* caps;
  GUID major;
  GUID subtype;
  int bits;  // biBitCount, 0 when there is no video format block
  int height;
};

void PrintTo(const CapsCase& c, std::ostream* out) { *out << c.name; }

const CapsCase kCases[] = {
    {"rgb24_is_bgr", "video/x-raw,format=BGR,width=640,height=480,framerate=30/1", MEDIATYPE_Video,
     MEDIASUBTYPE_RGB24, 24, -480},
    {"rgb32_is_bgrx", "video/x-raw,format=BGRx,width=8,height=2,framerate=25/1", MEDIATYPE_Video,
     MEDIASUBTYPE_RGB32, 32, -2},
    {"yuy2", "video/x-raw,format=YUY2,width=8,height=2,framerate=30/1", MEDIATYPE_Video, MEDIASUBTYPE_YUY2, 16, 2},
    {"i420", "video/x-raw,format=I420,width=8,height=2,framerate=30/1", MEDIATYPE_Video, MEDIASUBTYPE_I420, 12, 2},
    {"wmv2", "video/x-wmv,wmvversion=2,width=176,height=144", MEDIATYPE_Video, MEDIASUBTYPE_WMV2, 0, 0},
    {"asf", "video/x-ms-asf", MEDIATYPE_Stream, MEDIASUBTYPE_Asf, 0, 0},
};

class GstMediaTypesTest : public ::testing::TestWithParam<CapsCase> {};

TEST_P(GstMediaTypesTest, CapsGiveARecordThatGivesCapsAgain) {
  const CapsCase& c = GetParam();
  const CapsRef caps = CapsRef::Adopt(gst_caps_from_string(c.caps));
  AM_MEDIA_TYPE type;
  ASSERT_EQ(GstMediaTypes::MediaTypeFromCaps(caps.get(), type), S_OK);
  EXPECT_EQ(type.majortype, c.major);
  EXPECT_EQ(type.subtype, c.subtype);
  if (c.bits) {
    ASSERT_EQ(type.cbFormat, sizeof(VIDEOINFOHEADER));
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    EXPECT_EQ(info->bmiHeader.biBitCount, c.bits);
    EXPECT_EQ(info->bmiHeader.biHeight, c.height);
  }
  const CapsRef back = GstMediaTypes::CapsFromMediaType(type);
  ASSERT_TRUE(back);
  EXPECT_TRUE(gst_caps_is_always_compatible(caps.get(), back.get()))
      << TakeString(gst_caps_to_string(back.get()));
  CoTaskMemFree(type.pbFormat);
}

INSTANTIATE_TEST_SUITE_P(Formats, GstMediaTypesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GstMediaTypesEdgeTest, OpenRecordsAndUnknownMedia) {
  AM_MEDIA_TYPE open;
  EXPECT_TRUE(gst_caps_is_any(GstMediaTypes::CapsFromMediaType(open).get()));
  open.majortype = MEDIATYPE_Video;
  open.subtype = MEDIASUBTYPE_RGB24;
  open.formattype = FORMAT_VideoInfo;  // but no block: any size
  const CapsRef rgb = GstMediaTypes::CapsFromMediaType(open);
  EXPECT_EQ(TakeString(gst_caps_to_string(rgb.get())), "video/x-raw, format=(string)BGR");

  AM_MEDIA_TYPE unknown;
  unknown.majortype = MEDIASUBTYPE_I420;
  EXPECT_FALSE(GstMediaTypes::CapsFromMediaType(unknown));
  AM_MEDIA_TYPE out;
  const CapsRef any = CapsRef::Adopt(gst_caps_new_any());
  EXPECT_EQ(GstMediaTypes::MediaTypeFromCaps(any.get(), out), VFW_E_INVALIDMEDIATYPE);
  const CapsRef text = CapsRef::Adopt(gst_caps_from_string("text/x-raw"));
  EXPECT_EQ(GstMediaTypes::MediaTypeFromCaps(text.get(), out), VFW_E_INVALIDMEDIATYPE);
}

}  // namespace
