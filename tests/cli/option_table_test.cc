// The options of the print-like commands are declared once, in the option table; the README
// must list each of them.
#include "cli/option_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace kelvaro::cli {
namespace {

// True when `text` holds `option` as a whole word ("--print" is not in "--print-white").
bool Names(const std::string& text, const std::string& option) {
  for (std::size_t at = text.find(option); at != std::string::npos;
       at = text.find(option, at + 1)) {
    const std::size_t after = at + option.size();
    const char next = after < text.size() ? text[after] : ' ';
    const bool word_goes_on =
        (next >= 'a' && next <= 'z') || (next >= '0' && next <= '9') || next == '-';
    if (!word_goes_on) return true;
  }
  return false;
}

TEST(OptionTableTest, TheReadmeListsEveryOption) {
  std::ifstream in(KELVARO_README_FILE, std::ios::binary);
  ASSERT_TRUE(in) << KELVARO_README_FILE;
  const std::string readme{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(PrintOptions().empty());
  for (const PrintOption& option : PrintOptions()) {
    const std::string name(option.name);
    EXPECT_TRUE(Names(readme, "--" + name)) << "README.md does not list --" << name;
    if (option.form == OptionForm::kSwitch) {
      EXPECT_TRUE(Names(readme, "--no-" + name)) << "README.md does not list --no-" << name;
    }
  }
}

// The hot folder's own options are its alone: print refuses them as it refuses any stranger.
TEST(OptionTableTest, TheHotFolderOptionsBelongToWatchAlone) {
  Args args{"folder", "--once", "--settle", "3", "--output-dir", "jobs"};
  PrintArgs watch;
  std::optional<UsageError> error;
  TakePrintOptions(OptionGroup::kWatch, args, watch, error);
  EXPECT_FALSE(error);
  EXPECT_TRUE(watch.once);
  EXPECT_EQ(watch.settle, 3);
  EXPECT_EQ(watch.output_dir, "jobs");
  EXPECT_EQ(args, Args{"folder"});

  for (const Args& words : {Args{"a.png", "--once"}, Args{"a.png", "--settle", "3"},
                            Args{"a.png", "--output-dir", "jobs"}}) {
    PrintArgs print;
    EXPECT_TRUE(ParsePrintArgs(words, true, print)) << words[1];
  }
}

}  // namespace
}  // namespace kelvaro::cli
