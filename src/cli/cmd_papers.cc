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

}  // namespace

int RunPapersCommand(const Args& arguments) {
  int status = 0;
  std::optional<ModelCommand> started = StartModelCommand(arguments, kCommand, kUsage, status);
  if (!started) return status;
  const std::unique_ptr<CliSession>& session = started->session;
  const ModelChoice& model = started->model;
  const PaperList list = BuildPaperList(session->store, model.name);
  const std::vector<CustomPaperSize> customs = ReadCustomPaperSizes(session->store);

  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    const std::string& entry = list.entries[i];
    std::string line = entry;
    bool custom = false;
    if (std::optional<PageSize> size = PageSizeOfEntry(entry, customs, &custom)) {
      line += '\t';
      line += std::to_string(size->width);
      line += " x ";
      line += std::to_string(size->height);
      line += " pt";
      if (custom) line += "\tcustom";
    }
    if (static_cast<int>(i) == list.selected) line += "\tselected";
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

}  // namespace kelvaro::cli
