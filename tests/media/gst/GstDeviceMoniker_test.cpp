#include "media/gst/GstDeviceMoniker.h"

#include <random>

#include "media/framework/Identifiers.h"
#include "media/framework/MemoryStream.h"
#include "media/gst/GstCaptureFilter.h"
#include "media/gst/GstClassIds.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;

class GstDeviceMonikerTest : public gsttest::BackendTest {
 protected:
  // The moniker of the synthetic camera at `position` in the camera file.
  MonikerPtr CameraAt(std::size_t position) {
    GstDeviceEnumerator enumerator;
    std::shared_ptr<IEnumMoniker> monikers;
    if (enumerator.CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers, 0) != S_OK) return nullptr;
    std::vector<MonikerPtr> all;
    monikers->Next(64, all);
    std::vector<MonikerPtr> synthetic;
    for (const auto& m : all)
      if (std::dynamic_pointer_cast<GstDeviceMoniker>(m)->Identity().value.starts_with("synthcam:"))
        synthetic.push_back(m);
    return position < synthetic.size() ? synthetic[position] : nullptr;
  }

  static std::vector<std::uint8_t> Saved(const MonikerPtr& moniker) {
    MemoryStream stream;
    EXPECT_EQ(OleSaveToStream(moniker, stream), S_OK);
    return stream.Bytes();
  }

  static MonikerPtr Loaded(std::vector<std::uint8_t> bytes) {
    MemoryStream stream(std::move(bytes));
    MonikerPtr moniker;
    OleLoadFromStream<IMoniker>(stream, moniker);
    return moniker;
  }

  static std::string CameraOf(const UnknownPtr& object) {
    const auto filter = std::dynamic_pointer_cast<GstCaptureFilter>(object);
    if (!filter) return "<none>";
    gchar* device = nullptr;
    g_object_get(filter->Source(), "device", &device, nullptr);
    return TakeString(device);
  }

  gsttest::CameraFile cameras;
};

TEST_F(GstDeviceMonikerTest, SavedBytesLoadAsAnEqualMonikerThatFindsTheSameCamera) {
  cameras.Write("Hall\nYard\n");
  const MonikerPtr yard = CameraAt(1);
  ASSERT_TRUE(yard);
  const auto bytes = Saved(yard);
  ASSERT_GT(bytes.size(), 16u);
  EXPECT_EQ(GUID::FromBytes(bytes.data()), CLSID_GstDeviceMoniker);

  const MonikerPtr loaded = Loaded(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->IsEqual(yard), S_OK);
  EXPECT_EQ(loaded->IsEqual(CameraAt(0)), S_FALSE);
  EXPECT_EQ(Saved(loaded), bytes);

  // A camera added before it moves it down the list; the moniker follows it.
  cameras.Write("Porch\nHall\nYard\n");
  UnknownPtr filter;
  EXPECT_EQ(loaded->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter), S_OK);
  UnknownPtr expected;
  CameraAt(2)->BindToObject(nullptr, nullptr, IID_IBaseFilter, expected);
  EXPECT_EQ(CameraOf(filter), CameraOf(expected));
  EXPECT_NE(CameraOf(filter), "<none>");
}

TEST_F(GstDeviceMonikerTest, BindingMakesACaptureFilterOrNothingOnceTheCameraIsGone) {
  cameras.Write("Hall\n");
  const MonikerPtr hall = CameraAt(0);
  ASSERT_TRUE(hall);
  UnknownPtr object;
  ASSERT_EQ(hall->BindToObject(nullptr, nullptr, IID_IBaseFilter, object), S_OK);
  const auto filter = Query<IBaseFilter>(object);
  ASSERT_TRUE(filter);
  PinPtr capture;
  EXPECT_EQ(filter->FindPin(u"Capture", capture), S_OK);
  EXPECT_EQ(std::dynamic_pointer_cast<GstPin>(capture)->Category(), PIN_CATEGORY_CAPTURE);
  EXPECT_EQ(hall->BindToObject(nullptr, nullptr, IID_IBaseFilter, object), S_OK) << "every bind makes a new filter";
  EXPECT_NE(Query<IBaseFilter>(object), filter);

  cameras.Write("");
  EXPECT_EQ(hall->BindToObject(nullptr, nullptr, IID_IBaseFilter, object), HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
  EXPECT_EQ(object, nullptr);
  UnknownPtr bag;
  EXPECT_EQ(hall->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag), S_OK) << "its properties stay readable";
}

// What a stored block may hold instead of a moniker's bytes. Each must load
// as nothing, without reading past the block or allocating what it claims.
struct BadBlock {
  const char* name;
  std::vector<std::uint8_t> (*make)(const std::vector<std::uint8_t>& good);
};

void PrintTo(const BadBlock& c, std::ostream* out) { *out << c.name; }

std::vector<std::uint8_t> WithLength(const std::vector<std::uint8_t>& good, std::uint32_t length) {
  std::vector<std::uint8_t> bytes(good.begin(), good.begin() + 20);  // class identifier and version
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  bytes.push_back('x');
  return bytes;
}

const BadBlock kBadBlocks[] = {
    {"random_bytes",
     [](const std::vector<std::uint8_t>&) {
       std::mt19937 random(1234);
       std::vector<std::uint8_t> bytes(64);
       for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
       return bytes;
     }},
    {"random_bytes_after_our_class",
     [](const std::vector<std::uint8_t>& good) {
       std::mt19937 random(99);
       std::vector<std::uint8_t> bytes(good.begin(), good.begin() + 16);
       for (int i = 0; i < 48; ++i) bytes.push_back(static_cast<std::uint8_t>(random()));
       return bytes;
     }},
    {"class_only", [](const std::vector<std::uint8_t>& good) { return std::vector<std::uint8_t>(good.begin(), good.begin() + 16); }},
    {"cut_in_the_middle",
     [](const std::vector<std::uint8_t>& good) { return std::vector<std::uint8_t>(good.begin(), good.end() - 6); }},
    {"huge_text_length", [](const std::vector<std::uint8_t>& good) { return WithLength(good, 0xFFFFFFF0u); }},
    {"text_longer_than_the_block", [](const std::vector<std::uint8_t>& good) { return WithLength(good, 4000); }},
    {"unknown_version",
     [](const std::vector<std::uint8_t>& good) {
       auto bytes = good;
       bytes[16] = 7;
       return bytes;
     }},
    {"text_that_is_not_utf8",
     [](const std::vector<std::uint8_t>& good) {
       auto bytes = good;
       bytes[24] = 0xFF;  // first byte of the provider name
       return bytes;
     }},
};

class GstDeviceMonikerBadBytesTest : public GstDeviceMonikerTest, public ::testing::WithParamInterface<BadBlock> {};

TEST_P(GstDeviceMonikerBadBytesTest, LoadsAsNothing) {
  cameras.Write("Hall\n");
  const MonikerPtr hall = CameraAt(0);
  ASSERT_TRUE(hall);
  EXPECT_EQ(Loaded(GetParam().make(Saved(hall))), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Blocks, GstDeviceMonikerBadBytesTest, ::testing::ValuesIn(kBadBlocks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
