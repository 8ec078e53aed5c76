// Runs the built translators' tool.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::FixtureFolder;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempDir;
using testing::WriteFileBytes;

fs::path Lan3Tool() { return fs::path(KELVARO_BUILD_BIN_DIR) / "lan3tool"; }

// `arguments` run under a file size limit of one 512-byte block, so that a write of more
// fails part-way as on a full disk.
testing::CommandResult RunWithTinyDisk(const std::string& arguments) {
  return RunCommand("sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"' '" +
                    Lan3Tool().string() + "' " + arguments + " 2>/dev/null");
}

int FilesIn(const fs::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
  return count;
}

TEST(Lan3ToolTest, WriteThatFailsPartWayKeepsThePreviousFile) {
  TempDir dir;
  const fs::path language = FixtureFolder() / "settings" / "deutsch.lan3";
  const fs::path table = dir.path() / "table.txt";
  const fs::path made = dir.path() / "made.lan3";
  const std::string own_table = "28\tmy own words\n";
  const std::string own_file = "Driftmark Language file V3\r\nmine\r\n";
  WriteFileBytes(table, own_table);
  WriteFileBytes(made, own_file);

  // The decoded table and the encoded file are both larger than the limit.
  ASSERT_GT(ReadFileBytes(language).size(), 512u);
  EXPECT_EQ(RunWithTinyDisk("decode '" + language.string() + "' '" + table.string() + "'").status,
            1);
  EXPECT_EQ(ReadFileBytes(table), own_table);
  WriteFileBytes(dir.path() / "big.txt",
                 ReadFileBytes(FixtureFolder() / "settings" / "deutsch.txt") + "1000\t" +
                     std::string(600, 'x') + "\n");
  EXPECT_EQ(
      RunWithTinyDisk("encode '" + (dir.path() / "big.txt").string() + "' '" + made.string() + "'")
          .status,
      1);
  EXPECT_EQ(ReadFileBytes(made), own_file);
  EXPECT_EQ(FilesIn(dir.path()), 3);  // no temporary file left behind

  // Without the limit the table is written, the same as the tool prints it.
  const std::string tool = "'" + Lan3Tool().string() + "' decode '" + language.string() + "'";
  EXPECT_EQ(RunCommand(tool + " '" + table.string() + "'").status, 0);
  const std::string printed = RunCommand(tool).out;
  EXPECT_NE(printed.find("\n28\t"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(table), printed);
  EXPECT_EQ(RunCommand("'" + Lan3Tool().string() + "' encode '" +
                       (dir.path() / "big.txt").string() + "' '" + made.string() + "'")
                .status,
            0);
  EXPECT_GT(ReadFileBytes(made).size(), 1000u);
}

}  // namespace
}  // namespace kelvaro
