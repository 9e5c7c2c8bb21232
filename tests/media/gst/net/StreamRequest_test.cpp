#include "media/gst/net/StreamRequest.h"

#include <gtest/gtest.h>

#include "media/gst/net/HttpRequestParser.h"

namespace media::net {
namespace {

using Kind = StreamRequestKind;

struct RequestCase {
  const char* name;
  std::string text;
  Kind kind;
  friend void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }
};

class StreamRequestClassifies : public ::testing::TestWithParam<RequestCase> {};

TEST_P(StreamRequestClassifies, Table) {
  HttpRequestParser parser(8192);
  const std::string& text = GetParam().text;
  ASSERT_EQ(parser.feed({text.data(), text.size()}), HttpRequestParser::State::Complete);
  EXPECT_EQ(StreamRequest::classify(parser.request()), GetParam().kind);
}

std::string get(const std::string& path, const std::string& fields) {
  return "GET " + path + " HTTP/1.1\r\nHost: cam\r\n" + fields + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, StreamRequestClassifies,
    ::testing::Values(
        RequestCase{"BrowserGet", get("/", "User-Agent: Mozilla/5.0\r\n"), Kind::PlainPlay},
        RequestCase{"NoUserAgent", get("/?t=1", ""), Kind::PlainPlay},
        RequestCase{"PlainClientWithPlayPragma", get("/", "User-Agent: Lavf/60\r\nPragma: xPlayStrm=1\r\n"), Kind::PlainPlay},
        RequestCase{"Describe", get("/", "User-Agent: NSPlayer/4.1.0.3856\r\nPragma: no-cache,rate=1.000000\r\n"), Kind::FramedDescribe},
        RequestCase{"Play", get("/", "User-Agent: NSPlayer/7.10\r\nPragma: a=1, xPlayStrm=1\r\n"), Kind::FramedPlay},
        RequestCase{"PlayFromServer", get("/", "User-Agent: NSServer/9\r\nPragma: xPlayStrm=1\r\n"), Kind::FramedPlay},
        RequestCase{"DescribeFromProxy", get("/", "User-Agent: WMCacheProxy/1\r\nPragma: xPlayStrm=0\r\n"), Kind::FramedDescribe},
        RequestCase{"Head", "HEAD / HTTP/1.0\r\n\r\n", Kind::Head},
        RequestCase{"PostedLog", "POST /x HTTP/1.0\r\nUser-Agent: NSPlayer/7\r\nContent-Length: 2\r\n\r\nab", Kind::Log},
        RequestCase{"OtherPath", get("/favicon.ico", ""), Kind::NotFound},
        RequestCase{"OtherMethod", "OPTIONS / HTTP/1.1\r\n\r\n", Kind::NotAllowed}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace media::net
