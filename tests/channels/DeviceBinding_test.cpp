#include "channels/DeviceBinding.h"

#include "ChannelFixture.h"

namespace {

struct BindingCase {
  const char* name;
  std::string cameras;
  std::array<int, 4> selected;  // ItemIndex of each list
  std::array<int, 4> items;     // item count of each list
};

class DefaultSelection : public ChannelFixture, public ::testing::WithParamInterface<BindingCase> {};

TEST_P(DefaultSelection, BindsDeviceKToChannelKPlusOneForOneToFourDevices) {
  UseCameras(GetParam().cameras);
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(lists[n]->currentIndex(), GetParam().selected[n]) << "list " << n + 1;
    EXPECT_EQ(lists[n]->count(), GetParam().items[n]) << "list " << n + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DefaultSelection,
    ::testing::Values(BindingCase{"none", "", {-1, -1, -1, -1}, {0, 0, 0, 0}},
                      BindingCase{"one", "A\n", {0, -1, -1, -1}, {1, 0, 0, 0}},
                      BindingCase{"three", "A\nB\nC\n", {0, 1, 2, -1}, {3, 3, 3, 0}},
                      BindingCase{"four", "A\nB\nC\nD\n", {0, 1, 2, 3}, {4, 4, 4, 4}},
                      BindingCase{"five_bind_none", "A\nB\nC\nD\nE\n", {-1, -1, -1, -1}, {5, 5, 5, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChannelFixture, SameNamesStayInEnumerationOrder) {
  UseCameras("Twin\nTwin\n");
  EXPECT_EQ(lists[0]->itemText(0), "Twin");
  EXPECT_EQ(lists[1]->itemText(1), "Twin");
  EXPECT_EQ(lists[0]->currentIndex(), 0);
  EXPECT_EQ(lists[1]->currentIndex(), 1);
}

}  // namespace
