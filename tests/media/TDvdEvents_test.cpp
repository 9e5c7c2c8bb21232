#include "media/TDvdEvents.h"

#include <gtest/gtest.h>

#include "media/TFilterGraph.h"
#include "media/framework/EventCodes.h"

using namespace media;

namespace {

struct LoggingDvdGraph : TFilterGraph {
  std::vector<std::string> fired;
  LoggingDvdGraph() {
    auto named = [this](const char* name) { return [this, name](TFilterGraph&) { fired.push_back(name); }; };
    OnDVDDomainFirstPlay = named("FirstPlay");
    OnDVDDomainVideoTitleSetMenu = named("VideoTitleSetMenu");
    OnDVDDomainStop = named("DomainStop");
    OnDVDErrorUnexpected = named("ErrorUnexpected");
    OnDVDErrorIncompatibleDiscAndDecoderRegions = named("ErrorDiscRegions");
    OnDVDWarningRead = named("WarningRead");
    OnDVDCurrentTime = [this](TFilterGraph&, int h, int m, int s, int f, int rate) {
      fired.push_back("Time " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) + "." +
                      std::to_string(f) + "@" + std::to_string(rate));
    };
    OnDVDPlaybackRateChange = [this](TFilterGraph&, float rate) { fired.push_back("Rate " + std::to_string(rate)); };
    OnDVDStillOn = [this](TFilterGraph&, bool noButton, int seconds) {
      fired.push_back(std::string("StillOn ") + (noButton ? "nobutton " : "buttons ") + std::to_string(seconds));
    };
    OnDVDAudioStreamChange = [this](TFilterGraph&, int, LCID, const std::string&) { fired.push_back("Audio"); };
    OnDVDKaraokeMode = [this](TFilterGraph&, bool played) { fired.push_back(played ? "Karaoke on" : "Karaoke off"); };
  }
};

// 01:23:45, frame 12, frame-rate code as given, packed one BCD digit per nibble.
constexpr LONG_PTR TimeCode(unsigned rateCode) {
  return LONG_PTR(0x1 | 0x0 << 4 | 0x3 << 8 | 0x2 << 12 | 0x5 << 16 | 0x4 << 20 | 0x2 << 24 | 0x1u << 28 |
                  rateCode << 30);
}

struct DvdCase {
  const char* name;
  LONG code;
  LONG_PTR p1, p2;
  std::vector<std::string> fired;
};

class DvdEventTable : public ::testing::TestWithParam<DvdCase> {};

TEST_P(DvdEventTable, SelectsThePropertyAndDecodesItsArguments) {
  LoggingDvdGraph graph;
  graph.DispatchGraphEvent(GetParam().code, GetParam().p1, GetParam().p2);
  EXPECT_EQ(graph.fired, GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DvdEventTable,
    ::testing::Values(DvdCase{"DomainFirst", EC_DVD_DOMAIN_CHANGE, 1, 0, {"FirstPlay"}},
                      DvdCase{"DomainThird", EC_DVD_DOMAIN_CHANGE, 3, 0, {"VideoTitleSetMenu"}},
                      DvdCase{"DomainLast", EC_DVD_DOMAIN_CHANGE, 5, 0, {"DomainStop"}},
                      DvdCase{"DomainOutOfRange", EC_DVD_DOMAIN_CHANGE, 6, 0, {}},
                      DvdCase{"DomainZero", EC_DVD_DOMAIN_CHANGE, 0, 0, {}},
                      DvdCase{"ErrorFirst", EC_DVD_ERROR, 1, 0, {"ErrorUnexpected"}},
                      DvdCase{"ErrorLast", EC_DVD_ERROR, 8, 0, {"ErrorDiscRegions"}},
                      DvdCase{"ErrorOutOfRange", EC_DVD_ERROR, 9, 0, {}},
                      DvdCase{"WarningLast", EC_DVD_WARNING, 6, 0, {"WarningRead"}},
                      DvdCase{"Time25", EC_DVD_CURRENT_TIME, TimeCode(1), 0, {"Time 1:23:45.12@25"}},
                      DvdCase{"Time30", EC_DVD_CURRENT_TIME, TimeCode(3), 0, {"Time 1:23:45.12@30"}},
                      DvdCase{"TimeOtherRate", EC_DVD_CURRENT_TIME, TimeCode(2), 0, {"Time 1:23:45.12@0"}},
                      DvdCase{"Rate", EC_DVD_PLAYBACK_RATE_CHANGE, 15000, 0, {"Rate 1.500000"}},
                      DvdCase{"StillOn", EC_DVD_STILL_ON, 1, 5, {"StillOn nobutton 5"}},
                      DvdCase{"Karaoke", EC_DVD_KARAOKE_MODE, 2, 0, {"Karaoke on"}},
                      DvdCase{"AudioWithoutDvdInfoGoesNoFurther", EC_DVD_AUDIO_STREAM_CHANGE, 1, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
