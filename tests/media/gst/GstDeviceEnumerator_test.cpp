#include "media/gst/GstDeviceEnumerator.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstClassIds.h"
#include "media/gst/GstText.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;

struct Listed {
  std::string friendlyName;
  std::string clsid;
  MonikerPtr moniker;
};

std::string Text(IPropertyBag& bag, const char16_t* name) {
  VARIANT value;
  if (bag.Read(name, value, nullptr) != S_OK) return "<none>";
  return Utf8(std::get<std::u16string>(value));
}

// The synthetic cameras the enumerator lists (a machine may have real ones
// too), in its order.
std::vector<Listed> SyntheticCameras() {
  GstDeviceEnumerator enumerator;
  std::shared_ptr<IEnumMoniker> monikers;
  std::vector<Listed> listed;
  if (enumerator.CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers, 0) != S_OK) return listed;
  std::vector<MonikerPtr> one;
  while (monikers->Next(1, one) == S_OK) {
    UnknownPtr storage;
    one.back()->BindToStorage(nullptr, nullptr, IID_IPropertyBag, storage);
    const auto bag = Query<IPropertyBag>(storage);
    if (bag && Text(*bag, u"DevicePath").starts_with("synthcam:"))
      listed.push_back({Text(*bag, u"FriendlyName"), Text(*bag, u"CLSID"), one.back()});
  }
  return listed;
}

std::vector<std::string> Names(const std::vector<Listed>& listed) {
  std::vector<std::string> names;
  for (const auto& l : listed) names.push_back(l.friendlyName);
  return names;
}

class GstDeviceEnumeratorTest : public gsttest::BackendTest {
 protected:
  gsttest::CameraFile cameras;
};

TEST_F(GstDeviceEnumeratorTest, ListsCamerasInFileOrderWithDuplicatesTheSameTwiceInARow) {
  cameras.Write("Front door\nGarden\nFront door\n");
  const auto first = SyntheticCameras(), second = SyntheticCameras();
  EXPECT_EQ(Names(first), (std::vector<std::string>{"Front door", "Garden", "Front door"}));
  ASSERT_EQ(Names(second), Names(first));
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].moniker->IsEqual(second[i].moniker), S_OK) << i;
  EXPECT_EQ(first[0].moniker->IsEqual(first[2].moniker), S_FALSE) << "two cameras of one name stay apart";
}

TEST_F(GstDeviceEnumeratorTest, PropertiesAreTheCutNameAndTheCaptureFilterClass) {
  const std::string longName = std::string(298, 'n') + "\xC3\xA9";  // 300 bytes, a two-byte letter at 299
  cameras.Write(longName + "\n");
  const auto listed = SyntheticCameras();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].friendlyName, std::string(255, 'n'));
  EXPECT_EQ(listed[0].clsid, CLSID_GstCaptureFilter.ToString());
  EXPECT_TRUE(GUID::Parse(listed[0].clsid));
}

TEST_F(GstDeviceEnumeratorTest, NoCamerasOrAnotherCategoryGiveNothing) {
  EXPECT_TRUE(SyntheticCameras().empty());
  cameras.Write("Garden\n");
  GstDeviceEnumerator enumerator;
  std::shared_ptr<IEnumMoniker> monikers;
  EXPECT_EQ(enumerator.CreateClassEnumerator(CLSID_SampleGrabber, monikers, 0), S_FALSE);
  EXPECT_EQ(monikers, nullptr);
}

}  // namespace
