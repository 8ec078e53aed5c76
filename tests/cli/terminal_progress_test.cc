#include "cli/terminal_progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kelvaro::cli {
namespace {

// What the progress wrote into a temporary file.
std::string Written(bool terminal, void (*drive)(TerminalProgress&)) {
  std::FILE* file = std::tmpfile();
  {
    TerminalProgress progress(file, terminal);
    drive(progress);
  }
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

void Drive(TerminalProgress& progress) {
  progress.SetStatus("<<<<<  Conversion progress >>>>>");
  for (int value : {0, 10, 10, 50, 100}) progress.SetProgress(value, 100);
  progress.SetStatus("<<<<<    Creating print    >>>>>");
}

TEST(TerminalProgressTest, ABarOnATerminalOnlyStatusLinesElsewhere) {
  EXPECT_EQ(Written(false, Drive),
            "<<<<<  Conversion progress >>>>>\n<<<<<    Creating print    >>>>>\n");

  const std::string terminal = Written(true, Drive);
  // Each new percentage is drawn once, in place.
  EXPECT_NE(terminal.find("\r[####....................................]  10%"), std::string::npos);
  EXPECT_EQ(terminal.find("10%"), terminal.rfind("10%"));
  EXPECT_NE(terminal.find("\r[########################################] 100%"), std::string::npos);
  // The bar is cleared before the next status line, which starts a clean line.
  EXPECT_NE(terminal.find("\r<<<<<    Creating print    >>>>>\n"), std::string::npos);
}

}  // namespace
}  // namespace kelvaro::cli
