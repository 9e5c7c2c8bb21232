#pragma once
#include <stdexcept>
#include <string>

namespace app {

// Raised when the settings file cannot be written; the message names the
// file's full path.
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The program's settings file, where AppPaths puts it (beside the executable,
// or the per-user config folder of an installed program), recomputed at every
// call so a renamed executable uses a file of its new name. Every read and
// write goes straight to the file.
class SettingsFile {
 public:
  static std::string Path();

  static std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
  static bool ReadBool(const std::string& section, const std::string& key, bool def);
  // Throw SettingsWriteError("Unable to write to <path>").
  static void WriteString(const std::string& section, const std::string& key, const std::string& value);
  static void WriteBool(const std::string& section, const std::string& key, bool value);

  // The integer reading of a boolean value: leading blanks, optional sign,
  // decimal digits or hex digits after "$", "x" or "X" ("0x" counts as "$"
  // when more follows); nothing after the digits; must fit 32 bits.
  static bool ParseInteger(const std::string& text, int& value);
};

}  // namespace app
