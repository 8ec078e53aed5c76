#include "cli/option_table.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "settings/job_settings.h"

namespace kelvaro::cli {
namespace {

// `--white-choke MM` or `--white-spread MM`: a width from 0 to 1.0 mm, as hundredths of a
// millimetre with the sign of the way (a choke is positive).
void TakeWhiteEdge(OptionReader& reader, int sign) {
  const std::optional<std::string> text = reader.Text();
  if (!text) return;
  char* end = nullptr;
  const double width = std::strtod(text->c_str(), &end);
  if (text->empty() || *end != '\0' || !std::isfinite(width) || width < 0 ||
      width > kWhiteEdgeLimit / 100.0) {
    reader.error = UsageError{"--" + std::string(reader.name) + " " + *text +
                              ": the width must be a number of millimetres from 0 to 1.0"};
    return;
  }
  std::optional<int>& edge = reader.out.choices.white_edge;
  if (edge) {
    reader.error = UsageError{"give either --white-choke or --white-spread"};
    return;
  }
  edge = sign * std::abs(SnapWhiteEdge(width));
}

// `--size W,H`, `--size W` or `--size ,H`: typed into X Size and Y Size as the user would.
void TakeSize(OptionReader& reader) {
  const std::optional<std::string> size = reader.Text();
  if (!size) return;
  const std::size_t comma = size->find(',');
  std::string width = size->substr(0, comma);
  std::string height = comma == std::string::npos ? "" : size->substr(comma + 1);
  if (width.empty() && height.empty()) {
    reader.error = UsageError{"--size needs a width, a height or both: W,H in the unit in force"};
  }
  if (!width.empty()) reader.out.choices.typed_width = width;
  if (!height.empty()) reader.out.choices.typed_height = height;
}

// `--view colour|white`: the colour preview, or the white plane the job prints as grey.
void TakeView(OptionReader& reader) {
  const std::optional<std::string> view = reader.Text();
  if (!view) return;
  if (*view != "colour" && *view != "white") {
    reader.error = UsageError{"--view " + *view + ": the view is colour or white"};
    return;
  }
  reader.out.choices.white_view = *view == "white";
}

// Where a number or a switch goes when it is given; unset, the window's value stays.
template <typename T>
void SetWhenGiven(std::optional<T>& field, std::optional<T> value) {
  if (value) field = value;
}

using F = OptionForm;
using G = OptionGroup;
using R = OptionReader;

// The rows, in the order of the help. The column after the names is the help line.
constexpr PrintOption kPrintOptions[] = {
    {"output", "FILE", F::kValue, G::kJob, "write the job here (default: IMAGE's name with .ps)",
     [](R& r) { r.out.output = r.Text(); }},
    {"printer", "QUEUE", F::kValue, G::kJob, "send it to this print queue (or file:PATH)",
     [](R& r) { r.out.printer = r.Text(); }},
    {"dump-separations", "DIR", F::kValue, G::kJob,
     "also write the five planes as plane1.pgm ... plane5.pgm",
     [](R& r) { r.out.dump_separations = r.Text(); }},
    {"timings", "", F::kFlag, G::kJob, "print and cost: the wall time of each step on stderr",
     [](R& r) { r.out.timings = r.Flag(); }},

    {"model", "KEY", F::kValue, G::kWindow,
     "the printer model (a key of `kelvaro printers`' table)",
     [](R& r) { r.out.choices.model = r.Text(); }},
    {"toner-order", "WL|WF", F::kValue, G::kWindow, "white last or white first (8432WT models)",
     [](R& r) { r.out.choices.toner_order = r.Text(); }},
    {"paper", "NAME", F::kValue, G::kWindow,
     "an entry of the model's paper list (`kelvaro papers`)",
     [](R& r) { r.out.choices.paper = r.Text(); }},
    {"media", "LABEL", F::kValue, G::kWindow,
     "a media preset (`kelvaro presets`): tray, mirror, white",
     [](R& r) { r.out.choices.media = r.Text(); }},
    {"settings-file", "F", F::kValue, G::kWindow,
     "a setting file (.qvcfg) loaded as Load Settings does",
     [](R& r) { r.out.settings_file = r.Text(); }},
    {"tray", "TEXT", F::kValue, G::kWindow, "AUTO, MultiPurpose Tray or Tray 1",
     [](R& r) { r.out.choices.tray = r.Text(); }},
    {"prints", "N", F::kValue, G::kWindow, "the number of prints the printer makes",
     [](R& r) { r.out.choices.prints = r.Text(); }},
    {"across", "N", F::kValue, G::kWindow, "copies across and down the page",
     [](R& r) { SetWhenGiven(r.out.choices.copies_across, r.Number()); }},
    {"down", "N", F::kValue, G::kWindow, "",
     [](R& r) { SetWhenGiven(r.out.choices.copies_down, r.Number()); }},
    {"mirror", "", F::kSwitch, G::kWindow, "mirror the picture (transfer media print mirrored)",
     [](R& r) { SetWhenGiven(r.out.choices.mirror, r.Switch()); }},
    {"flip", "", F::kFlag, G::kWindow, "turn the picture upside down",
     [](R& r) {
       if (r.Flag()) r.out.choices.flip = true;
     }},
    {"rotate", "", F::kSwitch, G::kWindow, "turn it a quarter (unset: the fit to the page decides)",
     [](R& r) { SetWhenGiven(r.out.choices.rotate, r.Switch()); }},
    {"print-white", "", F::kSwitch, G::kWindow, "print the white layer or not",
     [](R& r) { SetWhenGiven(r.out.choices.print_white, r.Switch()); }},
    {"print-cmy", "", F::kSwitch, G::kWindow, "print the colours or not (white only)",
     [](R& r) { SetWhenGiven(r.out.choices.print_cmy, r.Switch()); }},
    {"threshold", "", F::kSwitch, G::kWindow, "add white under colours from the threshold",
     [](R& r) { SetWhenGiven(r.out.choices.threshold_on, r.Switch()); }},
    {"white-density", "P", F::kValue, G::kWindow, "white under white-only areas, percent 0..100",
     [](R& r) { SetWhenGiven(r.out.choices.white_density, r.Number()); }},
    {"white-threshold", "P", F::kValue, G::kWindow, "the add-white threshold, percent 0..100",
     [](R& r) { SetWhenGiven(r.out.choices.white_threshold, r.Number()); }},
    {"white-choke", "MM", F::kValue, G::kWindow, "shrink or grow the white layer, 0..1.0 mm",
     [](R& r) { TakeWhiteEdge(r, 1); }},
    {"white-spread", "MM", F::kValue, G::kWindow, "", [](R& r) { TakeWhiteEdge(r, -1); }},
    {"brightness", "P", F::kValue, G::kWindow, "-100..100 percent",
     [](R& r) { SetWhenGiven(r.out.choices.brightness, r.Number()); }},
    {"contrast", "P", F::kValue, G::kWindow, "",
     [](R& r) { SetWhenGiven(r.out.choices.contrast, r.Number()); }},
    {"black-removal", "", F::kFlag, G::kWindow, "leave black areas unprinted",
     [](R& r) {
       if (r.Flag()) r.out.choices.black_removal = true;
     }},
    {"background-removal", "", F::kFlag, G::kWindow,
     "remove a plain background when the picture is loaded",
     [](R& r) {
       if (r.Flag()) r.out.choices.background_removal = true;
     }},
    {"optimal-layout", "", F::kFlag, G::kWindow, "copies one millimetre apart",
     [](R& r) {
       if (r.Flag()) r.out.choices.optimal_layout = true;
     }},
    {"profile-in", "F", F::kValue, G::kWindow, "the RGB and the printer's CMYK profile",
     [](R& r) { r.out.choices.profile_in = r.Text(); }},
    {"profile-out", "F", F::kValue, G::kWindow, "",
     [](R& r) { r.out.choices.profile_out = r.Text(); }},
    {"pattern", "", F::kFlag, G::kWindow, "pattern print with the stored pattern set-up",
     [](R& r) { r.out.pattern = r.Flag(); }},
    // The layout choices of the window's Align Controls.
    {"automatic-tile", "", F::kSwitch, G::kWindow, "as many copies as fit the page",
     [](R& r) { r.out.choices.automatic_tile = r.Switch(); }},
    {"placement", "N", F::kValue, G::kWindow, "a single copy's place, 1..9 (0: centred)",
     [](R& r) { r.out.choices.placement_mode = r.Number(); }},
    {"fit-to-page", "", F::kFlag, G::kWindow, "Fit to Page once the picture is loaded",
     [](R& r) { r.out.choices.fit_to_page = r.Flag(); }},
    {"size", "W,H", F::kValue, G::kWindow,
     "typed into X Size and Y Size (unit in force); W or ,H alone", TakeSize},

    {"width", "W", F::kValue, G::kPreview, "the width the window's image area offers, pixels",
     [](R& r) { r.out.choices.image_area_width = r.Number(); }},
    {"display-white", "", F::kSwitch, G::kPreview, "show the white layer on screen",
     [](R& r) { r.out.choices.display_white = r.Switch(); }},
    {"pattern-preview", "", F::kFlag, G::kPreview, "show the pattern's knock-out in magenta",
     [](R& r) {
       if (r.Flag()) r.out.choices.pattern_preview = true;
     }},
    {"view", "colour|white", F::kValue, G::kPreview,
     "the colour preview, or the printed white layer as grey", TakeView},

    {"output-dir", "DIR", F::kValue, G::kWatch, "each job to DIR/<picture name>.ps, not a queue",
     [](R& r) { r.out.output_dir = r.Text(); }},
    {"once", "", F::kFlag, G::kWatch, "print what is there, then stop",
     [](R& r) { r.out.once = r.Flag(); }},
    {"settle", "S", F::kValue, G::kWatch, "a file is complete after S seconds unchanged (5)",
     [](R& r) { r.out.settle = r.Number(); }},
};

// "--name ARG", "--name" or "--name, --no-name".
std::string Names(const PrintOption& option) {
  std::string names = "--" + std::string(option.name);
  if (option.form == OptionForm::kValue) names += " " + std::string(option.argument);
  if (option.form == OptionForm::kSwitch) names += ", --no-" + std::string(option.name);
  return names;
}

// The help text starts in column 27, or in column 36 for names too long for that, or three
// blanks after names longer still.
std::string HelpLine(const std::string& names, std::string_view help) {
  std::size_t column = 2 + names.size() + 3;
  if (column <= 27) {
    column = 27;
  } else if (column <= 36) {
    column = 36;
  }
  return "  " + names + std::string(column - 2 - names.size(), ' ') + std::string(help) + "\n";
}

}  // namespace

std::span<const PrintOption> PrintOptions() { return kPrintOptions; }

std::string PrintOptionsHelp(OptionGroup group) {
  std::string text;
  std::string names;
  std::string_view help;
  for (const PrintOption& option : kPrintOptions) {
    if (option.group != group) continue;
    if (!option.help.empty()) {
      if (!names.empty()) text += HelpLine(names, help);
      names.clear();
      help = option.help;
    }
    names += (names.empty() ? "" : ", ") + Names(option);
  }
  if (!names.empty()) text += HelpLine(names, help);
  return text;
}

void TakePrintOptions(OptionGroup group, Args& args, PrintArgs& out,
                      std::optional<UsageError>& error) {
  for (const PrintOption& option : kPrintOptions) {
    if (option.group != group) continue;
    std::optional<UsageError> mistake;
    OptionReader reader{args, option.name, mistake, out};
    option.take(reader);
    if (mistake && !error) error = std::move(mistake);
  }
}

std::optional<UsageError> ParsePrintArgs(Args args, bool wants_image, PrintArgs& out) {
  std::optional<UsageError> error;
  TakePrintOptions(OptionGroup::kWindow, args, out, error);
  TakePrintOptions(OptionGroup::kJob, args, out, error);
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

}  // namespace kelvaro::cli
