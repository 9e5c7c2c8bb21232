#include "tray/CurrentShiftState.h"

#include <gtest/gtest.h>

#include "platform/FakeShell.h"

using namespace tray;

namespace {

struct KeysRow {
  const char* name;
  bool shift, control, alt;
  TShiftState expected;
};
void PrintTo(const KeysRow& row, std::ostream* os) { *os << row.name; }

class ShiftStateKeys : public ::testing::TestWithParam<KeysRow> {};

TEST_P(ShiftStateKeys, HeldModifiersMakeTheSet) {
  platform::FakeShell shell;
  shell.keysDown = {{platform::VK_SHIFT, GetParam().shift},
                    {platform::VK_CONTROL, GetParam().control},
                    {platform::VK_MENU, GetParam().alt}};
  EXPECT_EQ(CurrentShiftState(), GetParam().expected);
  // Asked in the order Shift, Control, Alt.
  std::vector<int> asked;
  for (const auto& call : shell.calls) asked.push_back(call.argument);
  EXPECT_EQ(asked, (std::vector<int>{platform::VK_SHIFT, platform::VK_CONTROL, platform::VK_MENU}));
}

INSTANTIATE_TEST_SUITE_P(Table, ShiftStateKeys,
                         ::testing::Values(KeysRow{"None", false, false, false, 0},
                                           KeysRow{"Shift", true, false, false, ssShift},
                                           KeysRow{"Control", false, true, false, ssCtrl},
                                           KeysRow{"Alt", false, false, true, ssAlt},
                                           KeysRow{"All", true, true, true, ssShift | ssCtrl | ssAlt}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
