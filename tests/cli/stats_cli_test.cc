// `kelvaro stats` and `kelvaro mode` with their own user and common folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempDir;

class StatsCliTest : public ::testing::Test {
 protected:
  // `arguments` go to the shell as they are; quote what needs quoting.
  testing::CommandResult Run(const std::string& arguments) {
    return testing::RunCommand("KELVARO_USER_DIR='" + (dir_.path() / "user").string() +
                               "' KELVARO_COMMON_DIR='" + (dir_.path() / "common").string() +
                               "' '" + testing::KelvaroBinary().string() + "' " + arguments +
                               " 2>'" + (dir_.path() / "stderr.txt").string() + "'");
  }
  std::string Errors() const { return ReadFileBytes(dir_.path() / "stderr.txt"); }
  TempDir dir_;
};

TEST_F(StatsCliTest, SetChecksEachRecordAndShowListsThemAll) {
  struct Step {
    const char* args;
    int status;
    const char* error;  // part of stderr, "" for none
  };
  const Step steps[] = {
      {"stats set CMYT 'CMY,11500,5%,216,A4'", 0, ""},
      {"stats set 'transfer belt' 'Belt,50000,149.95'", 0, ""},
      {"stats set Currancy 'GBP'", 0, ""},
      {"stats set CMYT 'CMY,11500,5%,216'", 2, "5 comma-separated fields"},
      {"stats set IDWH 'Drum,many,80'", 2, "the yield of IDWH, \"many\", is not a number"},
      {"stats set Fuser 'Fuser,100000,'", 2, "the price of Fuser"},
      {"stats set Option 1", 2, "not a statistics key"},
      {"stats list", 2, "usage"},
  };
  for (const Step& step : steps) {
    const testing::CommandResult result = Run(step.args);
    EXPECT_EQ(result.status, step.status) << step.args << "\n" << Errors();
    EXPECT_THAT(Errors(), HasSubstr(step.error)) << step.args;
  }
  // The refused CMYT left the stored one alone.
  const testing::CommandResult shown = Run("stats show");
  ASSERT_EQ(shown.status, 0) << Errors();
  EXPECT_EQ(shown.out,
            "CMYT: CMY,11500,5%,216,A4\n"
            "WhitT: (not set)\n"
            "IDCMY: (not set)\n"
            "IDWH: (not set)\n"
            "Fuser: (not set)\n"
            "Transfer Belt: Belt,50000,149.95\n"
            "Currancy: GBP\n");
}

TEST_F(StatsCliTest, ModeOffIsDriverOffAndWritesTheJobFile) {
  const testing::CommandResult help = Run("mode --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("off   \"Driver Off\""));
  EXPECT_THAT(help.out, HasSubstr("Print Set = on"));

  const fs::path job = dir_.path() / "mode.prn";
  const testing::CommandResult off = Run("mode off --printer 'file:" + job.string() + "'");
  ASSERT_EQ(off.status, 0) << Errors();
  EXPECT_EQ(ReadFileBytes(job),
            "\x1b%-12345X@PJL DEFAULT OKICMYKCONVERSION=OFF\r\n\x1b%-12345X\x04");
  EXPECT_THAT(ReadFileBytes(dir_.path() / "user" / "KelvaroPro.ini"), HasSubstr("Print Set=on"));

  EXPECT_EQ(Run("mode sideways --printer 'file:" + job.string() + "'").status, 2);
  EXPECT_EQ(Run("mode on").status, 2);
  EXPECT_THAT(Errors(), HasSubstr("--printer"));
}

}  // namespace
}  // namespace kelvaro
