// `kelvaro texts [N]`: the user-interface texts in force, one "number<TAB>text" line each.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "cli/cli_session.h"

namespace kelvaro::cli {
namespace {

// One text on one line: line breaks (CR LF, or a lone LF or CR) and tabs are shown escaped.
std::string OnOneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

// A whole decimal number 0..`last`; -1 otherwise.
int ParseEntryNumber(const std::string& text, int last) {
  if (text.empty() || text.size() > 9) return -1;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number <= last ? number : -1;
}

void PrintEntry(const UiText& texts, int number) {
  std::printf("%d\t%s\n", number, OnOneLine(texts.Get(number)).c_str());
}

}  // namespace

int RunTextsCommand(const Args& args) {
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: kelvaro texts [N]\n");
    return 2;
  }
  const std::unique_ptr<CliSession> session = OpenCliSession();
  const UiText& texts = session->texts;
  if (args.size() == 1) {
    const int number = ParseEntryNumber(args[0], texts.last_entry());
    if (number < 0) {
      std::fprintf(stderr, "kelvaro texts: '%s' is not an entry number from 0 to %d\n",
                   args[0].c_str(), texts.last_entry());
      return 2;
    }
    PrintEntry(texts, number);
    return 0;
  }
  // Entries without a text are not shown by the program either.
  for (int number = 0; number <= texts.last_entry(); ++number) {
    if (!texts.Get(number).empty()) PrintEntry(texts, number);
  }
  return 0;
}

}  // namespace kelvaro::cli
