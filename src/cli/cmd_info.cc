// `kelvaro info IMAGE [--mirror] [--flip] [--rotate] [--background-removal] [--paper NAME]`:
// loads the picture as the window does (stored settings and profiles, fitted to the printable
// area of the paper inside the stored margins) and prints what the load found as one JSON
// object:
//   {"width": 600, "height": 400, "x_dpi": 149.98699, ..., "output_height": 400}
// --mirror, --flip and --background-removal are the window's boxes at load time; --rotate
// checks "Rotate" after the load when the fit left it clear, and "rotate" tells the state in
// force. Nothing is written to the settings. A picture that cannot be loaded: the message on
// stderr, exit status 1.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/picture_load.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "image/profiles.h"
#include "printers/margins.h"
#include "printers/paper_sizes.h"
#include "settings/settings_store.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "info";
constexpr char kUsage[] =
    "info IMAGE [--mirror] [--flip] [--rotate] [--background-removal] [--paper NAME]";

// The page and margins the picture is fitted to.
struct Page {
  PageSize size;
  Margins margins;
};

// The paper of the model's list named `paper` (the list's first choice when not given): a
// named size by its first six characters, else a custom size of that exact name, which
// brings its own margins when it has them. Other names are a usage mistake.
std::optional<Page> ChoosePage(const SettingsStore& store, const std::optional<std::string>& paper,
                               std::optional<UsageError>& error) {
  const ModelChoice model = ChooseModel(std::nullopt, store);
  const PaperList list = BuildPaperList(store, model.name);
  std::string entry;
  if (paper) {
    bool listed = false;
    for (const std::string& candidate : list.entries) listed = listed || candidate == *paper;
    if (!listed) {
      std::string known;
      for (const std::string& candidate : list.entries) known += "\n  " + candidate;
      error =
          UsageError{"\"" + *paper + "\" is not in the paper list of " + model.name + ":" + known};
      return std::nullopt;
    }
    entry = *paper;
  } else if (list.selected >= 0) {
    entry = list.entries[static_cast<std::size_t>(list.selected)];
  }

  Page page{PageSize{595, 842}, ReadMargins(store)};
  if (std::optional<PageSize> named = LookUpNamedPaper(entry)) {
    page.size = *named;
    return page;
  }
  for (const CustomPaperSize& custom : CustomSizesForModel(store, model.name)) {
    if (custom.name != TrimText(entry)) continue;
    page.size = PageSize{static_cast<int>(std::nearbyint(custom.width)),
                         static_cast<int>(std::nearbyint(custom.height))};
    if (custom.top != 0) {
      page.margins = Margins{custom.top, custom.left, custom.right, custom.bottom};
    }
    return page;
  }
  if (!entry.empty()) {
    error = UsageError{"the paper \"" + entry + "\" has no size"};
    return std::nullopt;
  }
  return page;
}

// The shortest text that reads back as the same single-precision number.
std::string Number(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Bool(bool value) { return value ? "true" : "false"; }

}  // namespace

int RunInfoCommand(const Args& arguments) {
  Args args = arguments;
  std::optional<UsageError> error;
  const bool mirror = TakeFlag(args, "mirror", error);
  const bool flip = TakeFlag(args, "flip", error);
  const bool rotate_on = TakeFlag(args, "rotate", error);
  const bool background_removal = TakeFlag(args, "background-removal", error);
  const std::optional<std::string> paper = TakeOption(args, "paper", error);
  if (!error) error = CheckLeftovers(args, 1);
  if (!error && args.empty()) error = UsageError{"which picture?"};
  if (error) return ReportUsageError(kCommand, *error, kUsage);

  std::unique_ptr<CliSession> session = OpenCliSession();
  if (!session) return 1;
  const SettingsStore& store = session->store;
  const UiText& texts = session->texts;

  const std::optional<Page> page = ChoosePage(store, paper, error);
  if (!page) return ReportUsageError(kCommand, *error, kUsage);
  PictureLoad load;
  load.mirror = mirror;
  load.flip = flip;
  if (rotate_on) load.rotate = true;
  load.background_removal = background_removal;
  load.page = page->size;
  load.margins = page->margins;
  const ProfileNames profiles = ReadProfileNames(store);
  load.profile_in = profiles.input;
  load.profile_out = profiles.output;

  WorkImage image;
  NullProgress progress;
  const LoadedPicture outcome =
      LoadPicture(store, texts, session->notifier, progress, load, args.front(), image);
  if (!outcome.loaded) return 1;
  const bool rotate = outcome.rotate;

  const std::vector<std::pair<const char*, std::string>> fields = {
      {"width", std::to_string(image.width)},
      {"height", std::to_string(image.height)},
      {"x_dpi", Number(image.x_dpi)},
      {"y_dpi", Number(image.y_dpi)},
      {"source_kind", std::to_string(static_cast<int>(image.source_kind))},
      {"transparent", Bool(outcome.transparent)},
      {"rotate", Bool(rotate)},
      {"scale_factor", Number(image.scale_factor)},
      {"physical_width_pt", Number(image.physical_width_pt)},
      {"physical_height_pt", Number(image.physical_height_pt)},
      {"oriented_width_pt", Number(image.oriented_width_pt)},
      {"oriented_height_pt", Number(image.oriented_height_pt)},
      {"output_width", std::to_string(image.output_width)},
      {"output_height", std::to_string(image.output_height)},
  };
  std::string json = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    json += i == 0 ? "\"" : ", \"";
    json += fields[i].first;
    json += "\": ";
    json += fields[i].second;
  }
  json += "}\n";
  std::fputs(json.c_str(), stdout);
  return 0;
}

}  // namespace kelvaro::cli
