#include "media/TBaseFilter.h"

#include <gtest/gtest.h>

#include <random>

#include "media/fakes/FakeMediaPlatform.h"

using namespace media;

namespace {

TEST(TBaseFilter, StoringNilEmptiesTheBlock) {
  TBaseFilter stored;
  stored.Reallocate(5);
  stored.StoreMoniker(nullptr);
  EXPECT_EQ(stored.DataLength(), 0u);
  EXPECT_EQ(stored.WriteData(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(stored.LoadMoniker(), nullptr);
  EXPECT_EQ(stored.BindFilter(), nullptr);
}

TEST(TBaseFilter, AStoredMonikerSurvivesTheDataPropertyAndLoadsEqual) {
  FakeMediaPlatform platform;
  const int id = platform.devices->Add(u"Camera");
  auto moniker = std::make_shared<FakeMoniker>(platform.devices, id);
  TBaseFilter stored;
  stored.StoreMoniker(moniker);
  ASSERT_EQ(stored.DataLength(), 16u + 4u);
  const auto clsid = CLSID_FakeDeviceMoniker.ToBytes();
  EXPECT_TRUE(std::equal(clsid.begin(), clsid.end(), stored.Data()));

  TBaseFilter read;
  read.ReadData(stored.WriteData());
  EXPECT_TRUE(read.SameAs(stored));
  MonikerPtr loaded = read.LoadMoniker();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->IsEqual(moniker), S_OK);
}

TEST(TBaseFilter, BindsAFreshFilterEveryTimeAndNilWhenTheDeviceIsGone) {
  FakeMediaPlatform platform;
  const int id = platform.devices->Add(u"Camera");
  TBaseFilter stored;
  stored.StoreMoniker(std::make_shared<FakeMoniker>(platform.devices, id));
  auto first = stored.BindFilter(), second = stored.BindFilter();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  platform.devices->Remove(id);
  EXPECT_EQ(stored.BindFilter(), nullptr);
}

TEST(TBaseFilter, RandomBytesAndTruncatedMonikersLoadAsNil) {
  FakeMediaPlatform platform;
  std::mt19937 random(1234);
  for (std::uint32_t size : {1u, 15u, 16u, 17u, 20u, 64u, 4096u}) {
    TBaseFilter stored;
    stored.Reallocate(size);
    for (std::uint32_t i = 0; i < size; ++i) stored.Data()[i] = static_cast<std::uint8_t>(random());
    EXPECT_EQ(stored.LoadMoniker(), nullptr) << size;
  }
  // The moniker's class but fewer bytes than it needs.
  TBaseFilter truncated;
  const auto clsid = CLSID_FakeDeviceMoniker.ToBytes();
  truncated.Reallocate(18);
  std::copy(clsid.begin(), clsid.end(), truncated.Data());
  EXPECT_EQ(truncated.LoadMoniker(), nullptr);
}

}  // namespace
