// `kelvaro preview IMAGE --output page.png`: the window's preview of the page as a PNG file,
// with the layout it publishes for the print as one JSON object on stdout.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/control_ids.h"
#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "app/picture_load.h"
#include "app/preview_refresh.h"
#include "app/print_setup.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/print_options.h"
#include "cli/terminal_progress.h"
#include "image/color_management.h"
#include "image/preview_png.h"

namespace kelvaro::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kPreviewUsage[] =
    "preview IMAGE --output PAGE.png [--width W] [--display-white | --no-display-white]\n"
    "  [--automatic-tile | --no-automatic-tile] [--placement N] [--pattern-preview]\n"
    "  [--view colour|white]\n"
    "  [print options but --printer and --dump-separations]";

struct PreviewArgs {
  PrintArgs print;
};

std::optional<UsageError> ParsePreviewArgs(Args args, PreviewArgs& out) {
  std::optional<UsageError> error;
  TakePrintOptions(OptionGroup::kPreview, args, out.print, error);
  if (error) return error;
  // The print options leave the preview's choices as they are.
  if (std::optional<UsageError> print_error = ParsePrintArgs(args, true, out.print)) {
    return print_error;
  }
  if (out.print.printer || out.print.dump_separations) {
    return UsageError{"preview makes no job: --printer and --dump-separations do not apply"};
  }
  if (!out.print.output) return UsageError{"preview needs --output PAGE.png"};
  return std::nullopt;
}

std::string JsonText(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    if (ch == '"' || ch == '\\') out += '\\';
    out += ch;
  }
  return out + "\"";
}

// The published values, as the window shows them and the print uses them.
void PrintLayoutJson(const PreviewRefresh& refresh, const WorkImage& image) {
  std::string json = "{\"canvas_width\": " + std::to_string(refresh.canvas.width) +
                     ", \"canvas_height\": " + std::to_string(refresh.canvas.height);
  char size[96];
  std::snprintf(size, sizeof size, ", \"copy_width_pt\": %.2f, \"copy_height_pt\": %.2f",
                static_cast<double>(image.oriented_width_pt),
                static_cast<double>(image.oriented_height_pt));
  json += size;
  if (const std::optional<PageLayout>& layout = refresh.layout) {
    json += ", \"copy_width_px\": " + std::to_string(layout->preview_width) +
            ", \"copy_height_px\": " + std::to_string(layout->preview_height) +
            ", \"copies_across\": " + std::to_string(layout->copies_across) +
            ", \"copies_down\": " + std::to_string(layout->copies_down) +
            ", \"gap_across_pt\": " + std::to_string(layout->gap_across_pt) +
            ", \"gap_down_pt\": " + std::to_string(layout->gap_down_pt) +
            ", \"offset_x_pt\": " + std::to_string(layout->offset_x_pt) +
            ", \"offset_y_pt\": " + std::to_string(layout->offset_y_pt);
  } else {
    json += ", \"layout\": null";
  }
  json += ", \"zoom\": " + JsonText(refresh.zoom_label) + "}";
  std::printf("%s\n", json.c_str());
}

}  // namespace

int RunPreviewCommand(const Args& args) {
  PreviewArgs parsed;
  if (std::optional<UsageError> error = ParsePreviewArgs(args, parsed)) {
    return ReportUsageError("preview", *error, kPreviewUsage);
  }
  const fs::path image_path = *parsed.print.image;
  const fs::path output = *parsed.print.output;
  std::error_code ec;
  if (!fs::is_regular_file(image_path, ec)) {
    std::fprintf(stderr, "kelvaro preview: %s is not a readable file\n", image_path.c_str());
    return 1;
  }
  if (fs::equivalent(output, image_path, ec)) {
    std::fprintf(stderr, "kelvaro preview: the preview would be written over the picture %s\n",
                 image_path.c_str());
    return 1;
  }

  std::unique_ptr<CliSession> cli = OpenCliSession();
  TerminalProgress progress = TerminalProgress::ForStderr();
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  PrintChoices& choices = parsed.print.choices;
  if (parsed.print.settings_file) choices.settings_file = fs::path(*parsed.print.settings_file);

  // The window's rules run as they would in the window, but nothing they store outlives the
  // run: a preview from the command line leaves the stored settings as they were.
  Session session(cli->app, SessionServices{progress, *spooler});
  if (!StartRun(*cli, session, choices, image_path)) return 1;
  const int width = choices.image_area_width.value_or(session.model().state().image_area_width);
  const PreviewRefresh refresh = session.Preview(width);
  if (refresh.layout && refresh.layout->preview_width > 0 && refresh.layout->preview_height > 0 &&
      !refresh.copies_drawn) {
    return 1;  // the proof failed; the message has been shown
  }
  if (const Outcome written = WritePreviewPng(output, refresh.canvas); !written.ok()) {
    std::fprintf(stderr, "kelvaro preview: %s\n", written.error->c_str());
    return 1;
  }
  PrintLayoutJson(refresh, session.picture());
  return 0;
}

}  // namespace kelvaro::cli
