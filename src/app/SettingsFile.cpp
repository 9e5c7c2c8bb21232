#include "app/SettingsFile.h"

#include <cstdint>

#include "app/AppPaths.h"
#include "platform/ProfileFile.h"

namespace app {
namespace {

int DigitValue(char c, int base) {
  int d = -1;
  if (c >= '0' && c <= '9') d = c - '0';
  else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
  else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

}  // namespace

std::string SettingsFile::Path() { return AppPaths::SettingsFilePath(); }

std::string SettingsFile::ReadString(const std::string& section, const std::string& key, const std::string& def) {
  return platform::ProfileFile::ReadString(Path(), section, key, def, 2048);
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key, bool def) {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  int value = 0;
  if (!ParseInteger(text, value)) return def;
  return value != 0;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  const std::string path = Path();
  // The per-user config folder of an installed program may not exist yet; a
  // portable program's file is beside its executable, whose folder does.
  if (AppPaths::Installed()) AppPaths::EnsureFolderWithParents(path.substr(0, path.rfind('/')));
  if (!platform::ProfileFile::WriteString(path, section, key, value))
    throw SettingsWriteError("Unable to write to " + path);
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool SettingsFile::ParseInteger(const std::string& text, int& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) base = 16, ++i;
  if (i == text.size()) return false;
  // Hex digits give a 32-bit pattern ($FFFFFFFF is -1); decimal must fit int32.
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const int d = DigitValue(text[i], base);
    if (d < 0) return false;
    v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    if (v > limit) return false;
  }
  const auto bits = static_cast<std::uint32_t>(v);
  value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace app
