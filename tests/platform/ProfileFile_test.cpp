#include "platform/ProfileFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>

#include "support/TempDir.h"

using platform::ProfileFile;

namespace {

struct ReadCase {
  const char* name;
  std::string content;
  const char* section;
  const char* key;
  std::string expected;
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesValueOrDefault) {
  TempDir dir;
  dir.Write("a.ini", GetParam().content);
  EXPECT_EQ(ProfileFile::ReadString(dir.File("a.ini"), GetParam().section, GetParam().key, "DEF"),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        ReadCase{"plain", "[comm]\npath=/x\n", "comm", "path", "/x"},
        ReadCase{"names_ignore_case", "[CoMm]\nPATH=/x\n", "comm", "path", "/x"},
        ReadCase{"blanks_around_names_and_value", "  [ comm ]  \n  path  =  /x y  \n", "comm", "path", "/x y"},
        ReadCase{"double_quotes_removed", "[comm]\npath=\" a \"\n", "comm", "path", " a "},
        ReadCase{"single_quotes_removed", "[comm]\npath='a'\n", "comm", "path", "a"},
        ReadCase{"unmatched_quote_kept", "[comm]\npath=\"a\n", "comm", "path", "\"a"},
        ReadCase{"first_section_wins", "[comm]\npath=1\n[comm]\npath=2\n", "comm", "path", "1"},
        ReadCase{"first_key_wins", "[comm]\npath=1\npath=2\n", "comm", "path", "1"},
        ReadCase{"key_of_other_section_ignored", "[other]\npath=1\n[comm]\nauto=0\n", "comm", "path", "DEF"},
        ReadCase{"present_but_empty", "[comm]\npath=\n", "comm", "path", ""},
        ReadCase{"crlf_lines", "[comm]\r\npath=/x\r\n", "comm", "path", "/x"},
        ReadCase{"no_final_newline", "[comm]\npath=/x", "comm", "path", "/x"},
        ReadCase{"missing_section", "[x]\n", "comm", "path", "DEF"},
        ReadCase{"empty_file", "", "comm", "path", "DEF"},
        ReadCase{"value_with_equals", "[comm]\npath=a=b\n", "comm", "path", "a=b"},
        ReadCase{"utf8_value", "[comm]\npath=/监控\n", "comm", "path", "/监控"},
        ReadCase{"invalid_utf8_bytes", "[comm]\npath=\xff\xfe\x80\n", "comm", "path", "\xff\xfe\x80"},
        ReadCase{"binary_garbage", std::string("\x00\x01[\x02]\x00=\xff\n", 9), "comm", "path", "DEF"},
        ReadCase{"long_value_cut_to_2047", "[comm]\npath=" + std::string(5000, 'a') + "\n", "comm", "path",
                 std::string(2047, 'a')},
        ReadCase{"megabyte_line_before_key", std::string(4 << 20, 'z') + "\n[comm]\npath=ok\n", "comm", "path",
                 "ok"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileReadFile, MissingFileOrDirectoryGivesDefault) {
  TempDir dir;
  EXPECT_EQ(ProfileFile::ReadString(dir.File("none.ini"), "comm", "path", "DEF"), "DEF");
  ::mkdir(dir.File("d.ini").c_str(), 0755);
  EXPECT_EQ(ProfileFile::ReadString(dir.File("d.ini"), "comm", "path", "DEF"), "DEF");
}

TEST(ProfileReadFile, DefaultIsCutToTheBufferToo) {
  TempDir dir;
  EXPECT_EQ(ProfileFile::ReadString(dir.File("none.ini"), "comm", "path", std::string(3000, 'd')).size(), 2047u);
}

struct WriteCase {
  const char* name;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
  TempDir dir;
  dir.Write("a.ini", GetParam().before);
  ASSERT_TRUE(ProfileFile::WriteString(dir.File("a.ini"), GetParam().section, GetParam().key, GetParam().value));
  EXPECT_EQ(dir.Read("a.ini"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileWrite,
    ::testing::Values(
        WriteCase{"replaces_in_place", "; note\n[comm]\npath=/a\nauto=1\n", "comm", "path", "/b",
                  "; note\n[comm]\npath=/b\nauto=1\n"},
        WriteCase{"replaces_first_of_case_insensitive_key", "[COMM]\nPath = 1\npath=2\n", "comm", "path", "3",
                  "[COMM]\npath=3\npath=2\n"},
        WriteCase{"appends_key_at_end_of_its_section", "[comm]\npath=/a\n\n[x]\ny=1\n", "comm", "ontop", "1",
                  "[comm]\npath=/a\nontop=1\n\n[x]\ny=1\n"},
        WriteCase{"appends_missing_section_at_end", "[x]\ny=1", "comm", "auto", "0", "[x]\ny=1\n[comm]\nauto=0\n"},
        WriteCase{"keeps_crlf_endings", "[comm]\r\npath=/a\r\n", "comm", "auto", "1",
                  "[comm]\r\npath=/a\r\nauto=1\r\n"},
        WriteCase{"keeps_garbage_lines", "\xff\xfe\n[comm]\nauto=1\n", "comm", "auto", "0",
                  "\xff\xfe\n[comm]\nauto=0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileWriteFile, FirstWriteCreatesTheFile) {
  TempDir dir;
  ASSERT_TRUE(ProfileFile::WriteString(dir.File("new.ini"), "comm", "ontop", "1"));
  EXPECT_EQ(dir.Read("new.ini"), "[comm]\nontop=1\n");
}

TEST(ProfileWriteFile, RefusedWritesFailAndLeaveNoTrace) {
  TempDir dir;
  ::mkdir(dir.File("d.ini").c_str(), 0755);
  EXPECT_FALSE(ProfileFile::WriteString(dir.File("d.ini"), "comm", "ontop", "1"));
  EXPECT_FALSE(ProfileFile::WriteString(dir.File("missing/a.ini"), "comm", "ontop", "1"));
  // No temporary file is left beside the refused target.
  int entries = 0;
  for (const auto& e : QDir(QString::fromStdString(dir.Path())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries))
    entries += e.isEmpty() ? 0 : 1;
  EXPECT_EQ(entries, 1);
}

}  // namespace
