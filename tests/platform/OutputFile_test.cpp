#include "platform/OutputFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "support/TempDir.h"

namespace {

using platform::OutputFile;

// A taken name is never opened: the new file gets the number before the
// file name's last extension, and the earlier file keeps its bytes.
struct NameRow {
  const char* name;
  const char* taken;  // made before, besides `name`
  const char* expected;
};
void PrintTo(const NameRow& row, std::ostream* os) { *os << row.name; }

class OutputFileNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(OutputFileNames, TakeTheFirstFreeNumberedName) {
  TempDir dir;
  mkdir(dir.File("a.d").c_str(), 0755);
  dir.Write(GetParam().name, "earlier");
  if (*GetParam().taken) dir.Write(GetParam().taken, "earlier too");
  OutputFile file = OutputFile::CreateNew(dir.File(GetParam().name));
  ASSERT_TRUE(file.IsOpen()) << file.Error();
  EXPECT_EQ(file.Path(), dir.File(GetParam().expected));
  EXPECT_EQ(file.Write("new", 3), 0);
  file.Close();
  EXPECT_EQ(dir.Read(GetParam().name), "earlier");
  EXPECT_EQ(dir.Read(GetParam().expected), "new");
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutputFileNames,
    ::testing::Values(NameRow{"[26年12月10日]18时16分.asf", "", "[26年12月10日]18时16分 (2).asf"},
                      NameRow{"r.asf", "r (2).asf", "r (3).asf"},
                      NameRow{"a.d/plain", "", "a.d/plain (2)"},
                      NameRow{".hidden", "", ".hidden (2)"},
                      NameRow{"two.tar.gz", "", "two.tar (2).gz"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(OutputFile, FailuresAreAnsweredWithTheirErrorNumber) {
  TempDir dir;
  EXPECT_EQ(OutputFile::CreateNew(dir.File("missing/r.asf")).Error(), ENOENT);

  OutputFile file = OutputFile::CreateNew(dir.File("r.asf"));
  OutputFile::FailWritesForTesting(ENOSPC, 5);
  EXPECT_EQ(file.Write("abc", 3), 0);
  EXPECT_EQ(file.Write("def", 3), ENOSPC) << "past the bytes left";
  OutputFile::FailWritesForTesting(0);
  EXPECT_EQ(file.Write("ghi", 3), 0);
  EXPECT_FALSE(file.Unlinked());
  std::remove(file.Path().c_str());
  EXPECT_TRUE(file.Unlinked());
}

}  // namespace
