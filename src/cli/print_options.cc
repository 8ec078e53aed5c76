#include "cli/print_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "settings/job_settings.h"

namespace kelvaro::cli {
namespace {

// Numbers beyond these are no count or percentage anybody means.
constexpr long kLargestNumber = 1000000;

// The whole number `text` holds, nullopt when it holds something else. Range is checked apart,
// so that the message can say which of the two is wrong.
std::optional<long> ParseWholeNumber(const std::string& text) {
  char* end = nullptr;
  // Beyond the range of a long, strtol gives LONG_MIN or LONG_MAX: out of range as well.
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return std::nullopt;
  return value;
}

// `--white-choke MM` or `--white-spread MM`: a width from 0 to 1.0 mm, as hundredths of a
// millimetre with the sign of the way (a choke is positive). Nothing when neither is given.
std::optional<int> TakeWhiteEdge(Args& args, std::optional<UsageError>& error) {
  std::optional<int> edge;
  for (const auto& [name, sign] : {std::pair{"white-choke", 1}, std::pair{"white-spread", -1}}) {
    const std::optional<std::string> text = TakeOption(args, name, error);
    if (!text) continue;
    char* end = nullptr;
    const double width = std::strtod(text->c_str(), &end);
    if (text->empty() || *end != '\0' || !std::isfinite(width) || width < 0 ||
        width > kWhiteEdgeLimit / 100.0) {
      error = UsageError{"--" + std::string(name) + " " + *text +
                         ": the width must be a number of millimetres from 0 to 1.0"};
      return std::nullopt;
    }
    if (edge) {
      error = UsageError{"give either --white-choke or --white-spread"};
      return std::nullopt;
    }
    edge = sign * std::abs(SnapWhiteEdge(width));
  }
  return edge;
}

}  // namespace

std::optional<int> TakeNumberOption(Args& args, std::string_view name,
                                    std::optional<UsageError>& error) {
  const std::optional<std::string> text = TakeOption(args, name, error);
  if (!text) return std::nullopt;
  const std::string option = "--" + std::string(name);
  const std::optional<long> value = ParseWholeNumber(*text);
  if (!value) {
    error = UsageError{option + " needs a whole number"};
  } else if (*value < -kLargestNumber || *value > kLargestNumber) {
    error =
        UsageError{option + " " + *text + " is out of range (from -" +
                   std::to_string(kLargestNumber) + " to " + std::to_string(kLargestNumber) + ")"};
  } else {
    return static_cast<int>(*value);
  }
  return std::nullopt;
}

std::optional<bool> TakeSwitch(Args& args, std::string_view name,
                               std::optional<UsageError>& error) {
  const bool on = TakeFlag(args, name, error);
  const bool off = TakeFlag(args, "no-" + std::string(name), error);
  if (on && off) {
    error = UsageError{"--" + std::string(name) + " and --no-" + std::string(name) + " both given"};
  }
  if (on || off) return on;
  return std::nullopt;
}

std::optional<UsageError> ParsePrintArgs(Args args, bool wants_image, PrintArgs& out) {
  PrintChoices& c = out.choices;
  std::optional<UsageError> error;
  const std::pair<const char*, std::optional<std::string>*> texts[] = {
      {"model", &c.model},
      {"media", &c.media},
      {"paper", &c.paper},
      {"tray", &c.tray},
      {"prints", &c.prints},
      {"toner-order", &c.toner_order},
      {"profile-in", &c.profile_in},
      {"profile-out", &c.profile_out},
      {"output", &out.output},
      {"printer", &out.printer},
      {"settings-file", &out.settings_file},
      {"dump-separations", &out.dump_separations},
  };
  for (const auto& [name, field] : texts) *field = TakeOption(args, name, error);
  const std::pair<const char*, std::optional<int>*> numbers[] = {
      {"across", &c.copies_across},        {"down", &c.copies_down},
      {"white-density", &c.white_density}, {"white-threshold", &c.white_threshold},
      {"brightness", &c.brightness},       {"contrast", &c.contrast},
  };
  for (const auto& [name, field] : numbers) {
    if (std::optional<int> value = TakeNumberOption(args, name, error)) *field = value;
  }
  const std::pair<const char*, std::optional<bool>*> flags[] = {
      {"flip", &c.flip},
      {"black-removal", &c.black_removal},
      {"background-removal", &c.background_removal},
      {"optimal-layout", &c.optimal_layout},
  };
  for (const auto& [name, field] : flags) {
    if (TakeFlag(args, name, error)) *field = true;
  }
  out.pattern = TakeFlag(args, "pattern", error);
  // The layout choices of the window's Align Controls.
  c.placement_mode = TakeNumberOption(args, "placement", error);
  c.automatic_tile = TakeSwitch(args, "automatic-tile", error);
  c.fit_to_page = TakeFlag(args, "fit-to-page", error);
  if (std::optional<std::string> size = TakeOption(args, "size", error)) {
    // "W,H", "W" or ",H": typed into X Size and Y Size as the user would.
    const std::size_t comma = size->find(',');
    std::string width = size->substr(0, comma);
    std::string height = comma == std::string::npos ? "" : size->substr(comma + 1);
    if (width.empty() && height.empty()) {
      error = UsageError{"--size needs a width, a height or both: W,H in the unit in force"};
    }
    if (!width.empty()) c.typed_width = width;
    if (!height.empty()) c.typed_height = height;
  }
  c.white_edge = TakeWhiteEdge(args, error);
  // Switches with an opposite: --mirror and --no-mirror.
  const std::pair<const char*, std::optional<bool>*> switches[] = {
      {"mirror", &c.mirror},       {"rotate", &c.rotate},          {"print-white", &c.print_white},
      {"print-cmy", &c.print_cmy}, {"threshold", &c.threshold_on},
  };
  for (const auto& [name, field] : switches) {
    if (std::optional<bool> value = TakeSwitch(args, name, error)) *field = value;
  }
  if (error) return error;
  if (std::optional<UsageError> leftover = CheckLeftovers(args, wants_image ? 1 : 0)) {
    return leftover;
  }
  if (wants_image) {
    if (args.empty()) return UsageError{"no image file given"};
    out.image = args.front();
  }
  if (out.output && out.printer) return UsageError{"give either --output or --printer"};
  return std::nullopt;
}

bool StartRun(CliSession& cli, Session& session, const PrintChoices& choices,
              const std::optional<std::filesystem::path>& image) {
  const Session::RunStart start = session.StartRun(choices, image, UsbSysfsRoot());
  if (start.refusal) {
    if (const std::string text = RefusalText(*start.refusal); !text.empty()) {
      cli.notifier.Show(kProgramTitle, text, MessageIcon::kError);
    }
    return false;
  }
  if (image && !start.loaded) {
    // The window's message only says "Something odd with this image"; say which profile.
    if (session.last_load().no_transform) {
      const PictureLoad load = PictureLoadFor(GatherJobParameters(session.model()), choices.rotate);
      const std::string note = ProfileSearchNote(load, cli.folders);
      if (!note.empty()) std::fprintf(stderr, "kelvaro: %s\n", note.c_str());
    }
    return false;
  }
  return true;
}

}  // namespace kelvaro::cli
