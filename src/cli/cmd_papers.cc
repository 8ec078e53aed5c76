// `kelvaro papers [--model KEY]`: the paper list of the model as the window fills it, one
// entry per line: the list text, a tab, the page size in whole points that choosing it
// gives, and a tab and "custom" for the user's own sizes; the entry the window selects first
// ends with a tab and "selected".
//   A4XL 216x420mm	612 x 1191 pt
//   A4	595 x 842 pt	selected
//   Shirt 30x40	850 x 1134 pt	custom
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "printers/paper_sizes.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "papers";
constexpr char kUsage[] = "papers [--model KEY]";

struct EntrySize {
  PageSize size;
  bool custom = false;
};

// What choosing `entry` makes the page size: a named size by its first six characters,
// else the custom size of that exact name, rounded to whole points.
std::optional<EntrySize> SizeOfEntry(const std::string& entry,
                                     const std::vector<CustomPaperSize>& customs) {
  if (std::optional<PageSize> named = LookUpNamedPaper(entry)) return EntrySize{*named, false};
  const std::string name = TrimText(entry);
  for (const CustomPaperSize& custom : customs) {
    if (custom.name != name) continue;
    return EntrySize{{static_cast<int>(std::nearbyint(custom.width)),
                      static_cast<int>(std::nearbyint(custom.height))},
                     true};
  }
  return std::nullopt;
}

}  // namespace

int RunPapersCommand(const Args& arguments) {
  Args args = arguments;
  std::optional<UsageError> error;
  const std::optional<std::string> model_key = TakeModelOption(args, error);
  if (!error) error = CheckLeftovers(args, 0);
  if (error) return ReportUsageError(kCommand, *error, kUsage);

  std::unique_ptr<CliSession> session = OpenCliSession();
  if (!session) return 1;
  const ModelChoice model = ChooseModel(model_key, session->store);
  const PaperList list = BuildPaperList(session->store, model.name);
  const std::vector<CustomPaperSize> customs = ReadCustomPaperSizes(session->store);

  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    const std::string& entry = list.entries[i];
    std::string line = entry;
    if (std::optional<EntrySize> size = SizeOfEntry(entry, customs)) {
      line += '\t';
      line += std::to_string(size->size.width);
      line += " x ";
      line += std::to_string(size->size.height);
      line += " pt";
      if (size->custom) line += "\tcustom";
    }
    if (static_cast<int>(i) == list.selected) line += "\tselected";
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

}  // namespace kelvaro::cli
