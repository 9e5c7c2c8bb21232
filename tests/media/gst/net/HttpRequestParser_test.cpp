#include "media/gst/net/HttpRequestParser.h"

#include <gtest/gtest.h>

#include <string>

namespace media::net {
namespace {

using State = HttpRequestParser::State;

// The play request of a common framing client: its last Pragma line has no
// line end, so the next field is glued onto it.
const std::string kGluedPlay =
    "GET / HTTP/1.1\r\n"
    "Accept: */*\r\n"
    "User-Agent: NSPlayer/4.1.0.3856\r\n"
    "Host: 127.0.0.1:3333\r\n"
    "Pragma: no-cache,rate=1.000000,request-context=2\r\n"
    "Pragma: xPlayStrm=1\r\n"
    "Pragma: xClientGUID={c77e7400-738a-11d2-9add-0020af0a3278}\r\n"
    "Pragma: stream-switch-count=1\r\n"
    "Pragma: stream-switch-entry=ffff:1:0 \r\n"
    "Pragma: no-cache,rate=1.000000,stream-time=0Connection: Close\r\n"
    "Icy-MetaData: 1\r\n"
    "\r\n";

State parseAll(HttpRequestParser& parser, const std::string& text) {
  return parser.feed({text.data(), text.size()});
}

TEST(HttpRequestParser, ReadsALenientFramingRequest) {
  HttpRequestParser parser(8192);
  ASSERT_EQ(parseAll(parser, kGluedPlay), State::Complete);
  const HttpRequest& r = parser.request();
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.path(), "/");
  EXPECT_EQ(r.version, "HTTP/1.1");
  EXPECT_EQ(r.field("user-agent"), "NSPlayer/4.1.0.3856");
  EXPECT_EQ(r.field("icy-metadata"), "1") << "fields after the glued line are read";
  EXPECT_TRUE(r.hasPragma("xplaystrm", "1"));
  EXPECT_TRUE(r.hasPragma("stream-time", "0")) << "lenient about the glued field";
  EXPECT_FALSE(r.hasPragma("xPlayStrm", "0"));
  const auto tokens = r.pragmaTokens();
  ASSERT_EQ(tokens.size(), 10u);
  EXPECT_EQ(tokens[0], "no-cache");
  EXPECT_EQ(tokens[5], "stream-switch-count=1");
  EXPECT_EQ(tokens[6], "stream-switch-entry=ffff:1:0");
}

TEST(HttpRequestParser, ByteByByteGivesTheSameRequest) {
  HttpRequestParser parser(8192);
  for (std::size_t i = 0; i + 1 < kGluedPlay.size(); ++i)
    ASSERT_EQ(parser.feed({&kGluedPlay[i], 1}), State::Reading) << "byte " << i;
  EXPECT_EQ(parser.feed({&kGluedPlay.back(), 1}), State::Complete);
  EXPECT_EQ(parser.request().pragmaTokens().size(), 10u);
}

TEST(HttpRequestParser, BareLineEndsFoldedLinesAndAbsoluteTargets) {
  HttpRequestParser parser(8192);
  ASSERT_EQ(parseAll(parser, "GET http://cam:3333/?x=1 HTTP/1.0\nPragma: a,\n b\nno colon here\n\n"),
            State::Complete);
  EXPECT_EQ(parser.request().path(), "/");
  EXPECT_EQ(parser.request().field("Pragma"), "a, b");
  EXPECT_EQ(parser.request().fields.size(), 1u);
}

TEST(HttpRequestParser, ABodyIsReadToItsLengthAndDropped) {
  HttpRequestParser parser(8192);
  EXPECT_EQ(parseAll(parser, "POST /log HTTP/1.0\r\nContent-Length: 10\r\n\r\n12345"), State::Reading);
  EXPECT_EQ(parseAll(parser, "67890"), State::Complete);
  EXPECT_EQ(parseAll(parser, "GARBAGE AFTER"), State::Complete) << "final";
}

struct Refusal {
  const char* name;
  std::string bytes;
  State state;
  friend void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }
};

class HttpRequestParserRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(HttpRequestParserRefuses, Table) {
  HttpRequestParser parser(1024);
  EXPECT_EQ(parseAll(parser, GetParam().bytes), GetParam().state);
  if (GetParam().state != State::Reading) {
    EXPECT_EQ(parseAll(parser, "GET / HTTP/1.1\r\n\r\n"), GetParam().state) << "final";
  }
}

std::string huge(std::size_t n) { return "GET / HTTP/1.1\r\nX-Fill: " + std::string(n, 'a') + "\r\n\r\n"; }

INSTANTIATE_TEST_SUITE_P(
    Table, HttpRequestParserRefuses,
    ::testing::Values(
        Refusal{"TlsHello", std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11), State::Malformed},
        Refusal{"BinaryZeros", std::string(64, '\0'), State::Malformed},
        Refusal{"LowerCaseMethod", "get / HTTP/1.1\r\n\r\n", State::Malformed},
        Refusal{"LeadingSpace", " GET / HTTP/1.1\r\n\r\n", State::Malformed},
        Refusal{"MethodTooLong", std::string(40, 'G'), State::Malformed},
        Refusal{"NoVersion", "GET /\r\n\r\n", State::Malformed},
        Refusal{"OtherProtocol", "GET / RTSP/1.0\r\n\r\n", State::Malformed},
        Refusal{"SpaceInTarget", "GET /a b HTTP/1.1\r\n\r\n", State::Malformed},
        Refusal{"ControlByteInField", "GET / HTTP/1.1\r\nX: \x01\r\n\r\n", State::Malformed},
        Refusal{"BadContentLength", "POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n", State::Malformed},
        Refusal{"ChunkedBody", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", State::Malformed},
        Refusal{"HugeHead", huge(2000), State::TooLarge},
        Refusal{"HugeHeadWithoutEnd", "GET / HTTP/1.1\r\nX: " + std::string(5000, 'a'), State::TooLarge},
        Refusal{"HugeBody", "POST / HTTP/1.1\r\nContent-Length: 999999999999\r\n\r\n", State::TooLarge},
        Refusal{"HalfRequest", "GET / HTTP/1.1\r\nHost: x\r\n", State::Reading}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpRequestParser, AHeadJustWithinTheLimitIsRead) {
  const std::string text = huge(0);
  HttpRequestParser exact(text.size() + 1000);
  EXPECT_EQ(parseAll(exact, huge(1000)), State::Complete);
  HttpRequestParser over(text.size() + 999);
  EXPECT_EQ(parseAll(over, huge(1000)), State::TooLarge);
}

}  // namespace
}  // namespace media::net
