#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Profile (INI) files, read and written straight through at each call: there
// is no cache, so a written value is on disk when the write returns.
//
// Rules: section and key names compare case-insensitively (ASCII); blanks
// around names and values are ignored; a value in matching quotes comes back
// without them; the first matching section and key win. A write replaces the
// value in place and keeps every other line as it was, appends a missing key at
// the end of its section and a missing section at the end of the file; the
// first write creates the file. Writes go to a temporary file in the same
// folder that is renamed over the old one, so a crash never leaves a
// half-written file. Files are bytes: any encoding, any garbage, is tolerated.
class ProfileFile {
 public:
  // At most bufferSize - 1 bytes come back (the default too). A missing or
  // unreadable file, section or key gives the default.
  static std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                                const std::string& defaultValue, std::size_t bufferSize = 2048);
  // False when the file cannot be written (folder missing or read-only, path
  // is a directory, disk full); the old file is then untouched.
  static bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& value);

  // Fault switch for tests: every write fails while it is on.
  static void FailWritesForTesting(bool fail);
};

}  // namespace platform
