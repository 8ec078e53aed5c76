// `kelvaro --help` lists the commands with one line each; `kelvaro COMMAND --help` explains
// the command's options, one line each.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

using ::testing::HasSubstr;

testing::CommandResult Kelvaro(const std::string& args) {
  return testing::RunCommand("'" + testing::KelvaroBinary().string() + "' " + args +
                             " 2>/dev/null");
}

TEST(HelpCliTest, EveryCommandExplainsItself) {
  const testing::CommandResult list = Kelvaro("--help");
  ASSERT_EQ(list.status, 0);
  std::vector<std::string> commands;
  for (const std::string& line : testing::SplitLines(list.out)) {
    if (line.rfind("  ", 0) == 0) commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  EXPECT_GE(commands.size(), 13u);
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const testing::CommandResult help = Kelvaro(command + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: kelvaro " + command, 0), 0u) << help.out;
    EXPECT_GT(testing::SplitLines(help.out).size(), 2u);
  }
  // The print's help names the options the print takes, those of the window's controls too.
  const std::string print = Kelvaro("print --help").out;
  for (const char* option : {"--output FILE", "--printer QUEUE", "--media LABEL", "--paper NAME",
                             "--no-print-white", "--pattern"}) {
    EXPECT_THAT(print, HasSubstr(option));
  }
}

}  // namespace
}  // namespace kelvaro
