#include "platform/ProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace platform {
namespace {

bool failWrites = false;

struct Line {
  std::string text;        // without terminator
  std::string terminator;  // "\n", "\r\n" or "" for a last line without one
};

std::optional<std::string> ReadAll(const std::string& path) {
  // Non-blocking, so a FIFO or device at the path cannot hang the reader.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string data;
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) data.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) return std::nullopt;
  return data;
}

std::vector<Line> SplitLines(const std::string& data) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < data.size()) {
    const std::size_t nl = data.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? data.size() : nl;
    Line line{data.substr(pos, end - pos), nl == std::string::npos ? "" : "\n"};
    if (!line.text.empty() && line.text.back() == '\r' && !line.terminator.empty()) {
      line.text.pop_back();
      line.terminator = "\r\n";
    }
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

std::string Trim(const std::string& s) {
  const auto blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && blank(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string> SectionName(const std::string& text) {
  const std::string t = Trim(text);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line outside comments, or nullopt.
std::optional<std::string> KeyName(const std::string& text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::string key = Trim(text.substr(0, eq));
  if (key.empty() || key.front() == ';') return std::nullopt;
  return key;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Index range [first, last) of the lines inside the first matching section;
// first is the header line. nullopt when the section is absent.
struct SectionRange {
  std::size_t header, end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i].text);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end].text)) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionRange& range, const std::string& key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    auto name = KeyName(lines[i].text);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::string Cut(std::string text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
  return text;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const auto& l : lines) out += l.text + l.terminator;
  return out;
}

std::string NewlineOf(const std::vector<Line>& lines) {
  return !lines.empty() && lines.front().terminator == "\r\n" ? "\r\n" : "\n";
}

void SetValue(std::vector<Line>& lines, const std::string& section, const std::string& key,
              const std::string& value) {
  const std::string nl = NewlineOf(lines);
  const Line entry{key + "=" + value, nl};
  auto range = FindSection(lines, section);
  if (!range) {
    if (!lines.empty() && lines.back().terminator.empty()) lines.back().terminator = nl;
    lines.push_back({"[" + section + "]", nl});
    lines.push_back(entry);
    return;
  }
  if (auto at = FindKey(lines, *range, key)) {
    lines[*at].text = entry.text;
    return;
  }
  // After the section's last non-blank line, so blank separators stay below.
  std::size_t insert = range->end;
  while (insert > range->header + 1 && Trim(lines[insert - 1].text).empty()) --insert;
  if (lines[insert - 1].terminator.empty()) lines[insert - 1].terminator = nl;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), entry);
}

bool WriteAll(const std::string& data, int fd) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0;
}

bool ReplaceFile(const std::string& path, const std::string& data) {
  std::string tmp = path + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  const bool written = WriteAll(data, fd);
  ::fchmod(fd, 0644);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string ProfileFile::ReadString(const std::string& path, const std::string& section, const std::string& key,
                                    const std::string& defaultValue, std::size_t bufferSize) {
  const auto data = ReadAll(path);
  if (!data) return Cut(defaultValue, bufferSize);
  const auto lines = SplitLines(*data);
  const auto range = FindSection(lines, Trim(section));
  if (!range) return Cut(defaultValue, bufferSize);
  const auto at = FindKey(lines, *range, Trim(key));
  if (!at) return Cut(defaultValue, bufferSize);
  const std::string& text = lines[*at].text;
  return Cut(Unquote(Trim(text.substr(text.find('=') + 1))), bufferSize);
}

bool ProfileFile::WriteString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
  struct stat st {};
  if (failWrites || (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))) return false;
  auto data = ReadAll(path);
  auto lines = SplitLines(data.value_or(""));
  SetValue(lines, Trim(section), Trim(key), value);
  return ReplaceFile(path, Join(lines));
}

void ProfileFile::FailWritesForTesting(bool fail) { failWrites = fail; }

}  // namespace platform
