#include "media/gst/net/HttpRequest.h"

#include <cctype>

namespace media::net {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWithNoCase(a, b);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string_view HttpRequest::field(std::string_view name) const {
  for (const HttpField& f : fields)
    if (equalsNoCase(f.name, name)) return f.value;
  return {};
}

std::string_view HttpRequest::path() const {
  std::string_view p = target;
  if (const auto scheme = p.find("://"); scheme != std::string_view::npos && p.front() != '/') {
    const auto slash = p.find('/', scheme + 3);
    p = slash == std::string_view::npos ? std::string_view("/") : p.substr(slash);
  }
  return p.substr(0, p.find('?'));
}

std::vector<std::string_view> HttpRequest::pragmaTokens() const {
  std::vector<std::string_view> tokens;
  for (const HttpField& f : fields) {
    if (!equalsNoCase(f.name, "Pragma")) continue;
    std::string_view rest = f.value;
    while (!rest.empty()) {
      const auto comma = rest.find(',');
      const auto token = trim(rest.substr(0, comma));
      if (!token.empty()) tokens.push_back(token);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  }
  return tokens;
}

bool HttpRequest::hasPragma(std::string_view name, std::string_view value) const {
  for (std::string_view token : pragmaTokens()) {
    const auto eq = token.find('=');
    if (eq == std::string_view::npos || !equalsNoCase(trim(token.substr(0, eq)), name)) continue;
    if (startsWithNoCase(trim(token.substr(eq + 1)), value)) return true;
  }
  return false;
}

}  // namespace media::net
