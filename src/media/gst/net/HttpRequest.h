#pragma once
// One HTTP request as the stream server reads it: request line and header
// fields; a body is counted by the parser but not kept.
#include <string>
#include <string_view>
#include <vector>

namespace media::net {

struct HttpField {
  std::string name;
  std::string value;  // without surrounding blanks; folded lines joined by a space
};

class HttpRequest {
 public:
  std::string method;
  std::string target;
  std::string version;  // "HTTP/1.1"
  std::vector<HttpField> fields;

  // The first field of that name, compared without case; empty when absent.
  std::string_view field(std::string_view name) const;
  // The path of the target (origin or absolute form) without its query.
  std::string_view path() const;
  // Every token of every Pragma field: fields repeat and hold comma-separated
  // tokens. Tokens are trimmed; their text is kept as sent, so that a header
  // some clients glue onto their last Pragma line stays inside its token.
  std::vector<std::string_view> pragmaTokens() const;
  // A Pragma token "name=value..." whose name matches without case and whose
  // value starts with value (lenient about what is glued after it).
  bool hasPragma(std::string_view name, std::string_view value) const;
};

bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace media::net
