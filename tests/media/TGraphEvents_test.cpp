#include "media/TGraphEvents.h"

#include <gtest/gtest.h>

#include "media/TFilterGraph.h"
#include "media/framework/EventCodes.h"

using namespace media;

namespace {

// Every graph event property logs its name and arguments.
struct LoggingGraph : TFilterGraph {
  std::vector<std::string> fired;
  LoggingGraph() {
    auto add = [this](std::string s) { fired.push_back(std::move(s)); };
    OnGraphComplete = [add](TFilterGraph&, HRESULT r, IUnknown* o) {
      add("Complete " + std::to_string(r) + (o ? " object" : " nil"));
    };
    OnGraphErrorAbort = [add](TFilterGraph&, HRESULT r) { add("ErrorAbort " + std::to_string(r)); };
    OnGraphVideoSizeChanged = [add](TFilterGraph&, int w, int h) {
      add("VideoSize " + std::to_string(w) + "x" + std::to_string(h));
    };
    OnGraphOpeningFile = [add](TFilterGraph&, bool b) { add(std::string("OpeningFile ") + (b ? "yes" : "no")); };
    OnGraphOleEvent = [add](TFilterGraph&, const std::u16string& a, const std::u16string& b) {
      add("Ole " + std::string(a.begin(), a.end()) + "/" + std::string(b.begin(), b.end()));
    };
    OnGraphEndOfSegment = [add](TFilterGraph&, REFERENCE_TIME t, LONG n) {
      add("EndOfSegment " + std::to_string(t) + " " + std::to_string(n));
    };
    OnGraphDeviceLost = [add](TFilterGraph&, IUnknown* d, bool removed) {
      add(std::string("DeviceLost ") + (d ? "device " : "nil ") + (removed ? "removed" : "back"));
    };
    OnGraphSNDDevOutError = [add](TFilterGraph&, LONG when, LONG code) {
      add("SndOut " + std::to_string(when) + " " + std::to_string(code));
    };
    OnGraphClockChanged = [add](TFilterGraph&) { add("ClockChanged"); };
    OnDSEvent = [add](TFilterGraph&, LONG code, LONG_PTR, LONG_PTR) { add("DS " + std::to_string(code)); };
  }
};

IUnknown kSomeObject;
const REFERENCE_TIME kTime = 123456789;

struct EventCase {
  const char* name;
  LONG code;
  LONG_PTR p1, p2;
  std::vector<std::string> fired;  // after "DS <code>"
};

class GraphEventTable : public ::testing::TestWithParam<EventCase> {};

TEST_P(GraphEventTable, OnDSEventThenTheEventsOwnPropertyWithItsArguments) {
  LoggingGraph graph;
  graph.DispatchGraphEvent(GetParam().code, GetParam().p1, GetParam().p2);
  std::vector<std::string> expected = {"DS " + std::to_string(GetParam().code)};
  expected.insert(expected.end(), GetParam().fired.begin(), GetParam().fired.end());
  EXPECT_EQ(graph.fired, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, GraphEventTable,
    ::testing::Values(
        EventCase{"Complete", EC_COMPLETE, 0, reinterpret_cast<LONG_PTR>(&kSomeObject), {"Complete 0 object"}},
        EventCase{"ErrorAbort", EC_ERRORABORT, E_FAIL, 0, {"ErrorAbort " + std::to_string(E_FAIL)}},
        EventCase{"VideoSizeLowIsWidth", EC_VIDEO_SIZE_CHANGED, (480 << 16) | 640, 0, {"VideoSize 640x480"}},
        EventCase{"OpeningFileOnlyForOne", EC_OPENING_FILE, 2, 0, {"OpeningFile no"}},
        EventCase{"OleStrings", EC_OLE_EVENT, reinterpret_cast<LONG_PTR>(u"a"), reinterpret_cast<LONG_PTR>(u"bc"),
                  {"Ole a/bc"}},
        EventCase{"EndOfSegmentReadsTheTime", EC_END_OF_SEGMENT, reinterpret_cast<LONG_PTR>(&kTime), 4,
                  {"EndOfSegment 123456789 4"}},
        EventCase{"DeviceLostRemovedWhenZero", EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(&kSomeObject), 0,
                  {"DeviceLost device removed"}},
        EventCase{"DeviceBack", EC_DEVICE_LOST, 0, 1, {"DeviceLost nil back"}},
        EventCase{"SoundOut", EC_SNDDEV_OUT_ERROR, 3, 7, {"SndOut 3 7"}},
        EventCase{"ClockChanged", EC_CLOCK_CHANGED, 0, 0, {"ClockChanged"}},
        EventCase{"UnassignedPropertyFiresNothing", EC_USERABORT, 0, 0, {}},
        EventCase{"CodeOutsideBothTables", 4242, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
