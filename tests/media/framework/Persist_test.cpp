#include "media/framework/Persist.h"

#include <gtest/gtest.h>

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/ItemMoniker.h"
#include "media/framework/MediaPlatform.h"
#include "media/framework/MemoryStream.h"

using namespace media;

namespace {

class PersistTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize())); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(PersistTest, AnItemMonikerSavesWithItsClassAndLoadsEqual) {
  auto saved = std::make_shared<ItemMoniker>(u"!", u"FilterGraph 1 pid 2");
  MemoryStream stream;
  ASSERT_EQ(OleSaveToStream(saved, stream), S_OK);
  const auto clsid = CLSID_ItemMoniker.ToBytes();
  ASSERT_GE(stream.Bytes().size(), 16u);
  EXPECT_TRUE(std::equal(clsid.begin(), clsid.end(), stream.Bytes().begin()));

  MemoryStream copy(stream.Bytes());
  MonikerPtr loaded;
  ASSERT_EQ(OleLoadFromStream<IMoniker>(copy, loaded), S_OK);
  EXPECT_EQ(loaded->IsEqual(saved), S_OK);
  EXPECT_EQ(loaded->IsEqual(std::make_shared<ItemMoniker>(u"!", u"other")), S_FALSE);
}

TEST_F(PersistTest, ShortUnknownAndLyingStreamsLoadAsNil) {
  std::vector<std::vector<std::uint8_t>> blocks = {{}, std::vector<std::uint8_t>(15, 0), std::vector<std::uint8_t>(16, 7)};
  // The item moniker's class with a text length far beyond the bytes present.
  auto lying = CLSID_ItemMoniker.ToBytes();
  std::vector<std::uint8_t> block(lying.begin(), lying.end());
  for (int b : {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, int('a'), 0}) block.push_back(static_cast<std::uint8_t>(b));
  blocks.push_back(block);
  for (const auto& bytes : blocks) {
    MemoryStream stream(bytes);
    MonikerPtr loaded;
    EXPECT_TRUE(FAILED(OleLoadFromStream<IMoniker>(stream, loaded))) << bytes.size();
    EXPECT_EQ(loaded, nullptr);
  }
}

// Adds two recording backends for one test and takes them out afterwards.
class MediaPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(MediaPlatform::IsInitialized()); }
  void TearDown() override {
    while (MediaPlatform::IsInitialized()) CoUninitialize();
    for (const char* name : {"test-a", "test-b"}) MediaPlatform::RemoveBackend(name);
  }
  void AddBackend(const std::string& name, HRESULT result = S_OK) {
    MediaPlatform::AddBackend(
        name, [this, name, result] { return calls.push_back("start " + name), result; },
        [this, name] { calls.push_back("finish " + name); });
  }
  std::vector<std::string> calls;
};

TEST_F(MediaPlatformTest, BackendsStartInOrderFinishInReverseAndCallsAreCounted) {
  AddBackend("test-a");
  AddBackend("test-b");
  EXPECT_EQ(CoInitialize(), S_OK);
  EXPECT_EQ(CoInitialize(), S_FALSE);
  CoUninitialize();
  EXPECT_TRUE(MediaPlatform::IsInitialized());
  CoUninitialize();
  EXPECT_FALSE(MediaPlatform::IsInitialized());
  EXPECT_EQ(calls, (std::vector<std::string>{"start test-a", "start test-b", "finish test-b", "finish test-a"}));
}

TEST_F(MediaPlatformTest, AFailingBackendFinishesThoseStartedAndLeavesThePlatformDown) {
  AddBackend("test-a");
  AddBackend("test-b", E_FAIL);
  EXPECT_EQ(CoInitialize(), E_FAIL);
  EXPECT_FALSE(MediaPlatform::IsInitialized());
  EXPECT_EQ(calls, (std::vector<std::string>{"start test-a", "start test-b", "finish test-a"}));
}

}  // namespace
