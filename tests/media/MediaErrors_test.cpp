#include "media/MediaErrors.h"

#include <gtest/gtest.h>

#include <string>

using namespace media;

namespace {

struct CheckCase {
  const char* name;
  HRESULT result;
  bool raises;
  std::string message;  // the whole message when it raises
};

class CheckMediaResultTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckMediaResultTest, PassesSuccessAndRaisesFailureWithTextAndCode) {
  const CheckCase& c = GetParam();
  if (!c.raises) {
    EXPECT_EQ(CheckMediaResult(c.result), c.result);
    return;
  }
  try {
    CheckMediaResult(c.result);
    FAIL() << "no exception";
  } catch (const EDirectShowException& e) {
    EXPECT_EQ(e.ErrorCode, c.result);
    EXPECT_EQ(std::string(e.what()), c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Results, CheckMediaResultTest,
    ::testing::Values(
        CheckCase{"S_OK", S_OK, false, ""}, CheckCase{"S_FALSE", S_FALSE, false, ""},
        CheckCase{"NoPreviewPin", VFW_S_NOPREVIEWPIN, false, ""},
        CheckCase{"E_FAIL", E_FAIL, true, "Unspecified error. ($80004005)."},
        CheckCase{"CannotConnect", VFW_E_CANNOT_CONNECT, true,
                  "No combination of intermediate filters could be found to make the connection. ($80040217)."},
        CheckCase{"NotStopped", VFW_E_NOT_STOPPED, true,
                  "The operation could not be performed because the filter is not stopped. ($80040224)."},
        CheckCase{"CodeWithoutText", MakeResult(0x8004FFF1), true, " ($8004FFF1)."},
        CheckCase{"HighBitOnly", MakeResult(0x80000000), true, " ($80000000)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MediaErrorText, IsEmptyForUnknownCodesAndNeverLongerThan255) {
  EXPECT_EQ(MediaErrorText(MakeResult(0x8004FFF1)), "");
  EXPECT_EQ(MediaErrorText(S_OK), "");
  for (HRESULT hr : {E_FAIL, VFW_E_NOT_IN_GRAPH, VFW_E_DUPLICATE_NAME, VFW_E_NOT_CONNECTED, VFW_S_NOPREVIEWPIN}) {
    const std::string text = MediaErrorText(hr);
    EXPECT_FALSE(text.empty()) << std::hex << hr;
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.back(), '.');
  }
}

}  // namespace
