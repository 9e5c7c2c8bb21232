#include "app/PanelLayout.h"

#include <gtest/gtest.h>

using app::PanelLayout;

namespace {

struct LayoutCase {
  const char* name;
  int w, h;
  std::array<PanelLayout::Panel, 4> expected;
};

class PanelLayoutRule : public ::testing::TestWithParam<LayoutCase> {};

bool operator==(const PanelLayout::Panel& a, const PanelLayout::Panel& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST_P(PanelLayoutRule, GivesAnAlignedGrid) {
  const auto got = PanelLayout::Compute(GetParam().w, GetParam().h);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(got[i] == GetParam().expected[i])
        << "panel " << i + 1 << ": " << got[i].left << "," << got[i].top << " " << got[i].width << "x" << got[i].height;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PanelLayoutRule,
    ::testing::Values(
        LayoutCase{"designer_671x508", 671, 508, {{{5, 5, 328, 247}, {338, 5, 328, 247}, {5, 256, 328, 247}, {338, 256, 328, 247}}}},
        LayoutCase{"even_672x509", 672, 509, {{{5, 5, 329, 247}, {339, 5, 329, 247}, {5, 256, 329, 247}, {339, 256, 329, 247}}}},
        LayoutCase{"thirteen_wide_truncates_to_zero", 13, 13, {{{5, 5, 0, 0}, {9, 5, 0, 0}, {5, 9, 0, 0}, {9, 8, 0, 0}}}},
        LayoutCase{"zero_gives_negative_sizes", 0, 0, {{{5, 5, -7, -7}, {3, 5, -7, -7}, {5, 2, -7, -7}, {3, 2, -7, -7}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelLayoutShown, NegativeSizesShowAsEmpty) {
  EXPECT_EQ(PanelLayout::Shown({3, 5, -7, -1}), QRect(3, 5, 0, 0));
}

}  // namespace
