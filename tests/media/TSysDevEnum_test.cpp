#include "media/TSysDevEnum.h"

#include <gtest/gtest.h>

#include <QString>

#include "media/RuntimeErrors.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/framework/Identifiers.h"

using namespace media;

namespace {

int IdOf(const MonikerPtr& moniker) {
  auto fake = std::dynamic_pointer_cast<FakeMoniker>(moniker);
  return fake ? fake->Id() : 0;
}

TEST(TSysDevEnum, ListsInPlatformOrderWithDuplicatesAndClassIds) {
  FakeMediaPlatform platform;
  platform.devices->Add(u"USB Camera");
  platform.devices->Add(u"Capture Card", u"{05589F80-C356-11CE-BF01-00AA0055595A}");
  platform.devices->Add(u"USB Camera");
  TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
  ASSERT_EQ(devices.CountDevices(), 3u);
  EXPECT_EQ(devices.DeviceRecord(0).FriendlyName, "USB Camera");
  EXPECT_EQ(devices.DeviceRecord(1).FriendlyName, "Capture Card");
  EXPECT_EQ(devices.DeviceRecord(2).FriendlyName, "USB Camera");
  EXPECT_TRUE(devices.DeviceRecord(0).CLSID.IsNull());
  EXPECT_EQ(devices.DeviceRecord(1).CLSID, FORMAT_VideoInfo);
}

TEST(TSysDevEnum, AnEmptyCategoryOrMissingEnumeratorGivesNoDevices) {
  {
    FakeMediaPlatform platform;
    TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    EXPECT_EQ(devices.CountDevices(), 0u);
    EXPECT_EQ(devices.GetDeviceMoniker(0), nullptr);
  }
  TSysDevEnum unregistered(CLSID_VideoInputDeviceCategory);
  EXPECT_EQ(unregistered.CountDevices(), 0u);
}

TEST(TSysDevEnum, OutOfRangeRecordRaisesAndOutOfRangeMonikerIsNil) {
  FakeMediaPlatform platform;
  platform.devices->Add(u"Only");
  TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
  for (int index : {-1, 1, 1000}) {
    EXPECT_EQ(devices.GetDeviceMoniker(index), nullptr) << index;
    try {
      devices.DeviceRecord(index);
      FAIL() << index;
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
}

TEST(TSysDevEnum, MonikersComeByPositionFromAFreshEnumeration) {
  FakeMediaPlatform platform;
  const int a = platform.devices->Add(u"A"), b = platform.devices->Add(u"B"), c = platform.devices->Add(u"C");
  TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
  EXPECT_EQ(IdOf(devices.GetDeviceMoniker(1)), b);

  // A device unplugged after the snapshot shifts the positions behind it.
  platform.devices->Remove(a);
  EXPECT_EQ(devices.CountDevices(), 3u);
  EXPECT_EQ(IdOf(devices.GetDeviceMoniker(1)), c);
  EXPECT_EQ(devices.GetDeviceMoniker(2), nullptr);
  devices.SelectCategory(CLSID_VideoInputDeviceCategory);
  EXPECT_EQ(devices.CountDevices(), 2u);
  EXPECT_EQ(devices.DeviceRecord(0).FriendlyName, "B");
}

struct NameCase {
  const char* name;
  std::u16string deviceName;
  std::size_t expectedBytes;
};

class FriendlyNameCut : public ::testing::TestWithParam<NameCase> {};

TEST_P(FriendlyNameCut, KeepsAtMost255BytesAndWholeCharacters) {
  FakeMediaPlatform platform;
  platform.devices->Add(GetParam().deviceName);
  TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
  const std::string name = devices.DeviceRecord(0).FriendlyName;
  EXPECT_EQ(name.size(), GetParam().expectedBytes);
  EXPECT_EQ(QString::fromStdString(name).toStdString(), name);  // still valid UTF-8
}

INSTANTIATE_TEST_SUITE_P(Names, FriendlyNameCut,
                         ::testing::Values(NameCase{"Ascii300", std::u16string(300, u'x'), 255},
                                           NameCase{"Exactly255", std::u16string(255, u'y'), 255},
                                           // 100 three-byte characters: 85 whole ones fit.
                                           NameCase{"ThreeByteCharacters", std::u16string(100, u'摄'), 255},
                                           // 130 two-byte characters: 127 whole ones fit.
                                           NameCase{"TwoByteCharacters", std::u16string(130, u'é'), 254}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TSysDevEnum, AClassIdThatIsNoIdentifierRaisesWithTheDevicesBeforeIt) {
  FakeMediaPlatform platform;
  platform.devices->Add(u"Good");
  platform.devices->Add(u"Bad", u"not a guid");
  platform.devices->Add(u"After");
  std::unique_ptr<TSysDevEnum> devices;
  EXPECT_THROW(devices = std::make_unique<TSysDevEnum>(CLSID_VideoInputDeviceCategory), EConvertError);
  platform.devices->Remove(2);
  TSysDevEnum reused(CLSID_VideoInputDeviceCategory);
  platform.devices->Add(u"Bad again", u"{1234}");
  EXPECT_THROW(reused.SelectCategory(CLSID_VideoInputDeviceCategory), EConvertError);
  EXPECT_EQ(reused.CountDevices(), 2u);
}

}  // namespace
