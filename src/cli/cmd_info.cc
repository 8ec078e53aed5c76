// `kelvaro info IMAGE [print options]`: loads the picture as the window does, with the
// layout options of `kelvaro print` applied through the window's rules, and prints what the
// load found and the layout the print would use as one JSON object:
//   {"width": 600, "height": 400, "x_dpi": 149.98699, ..., "y_point": 288}
// No job is made and nothing is written to the settings. A picture that cannot be loaded: the
// message on stderr, exit status 1.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "app/page_placement.h"
#include "app/picture_load.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/print_options.h"

namespace kelvaro::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kCommand[] = "info";
constexpr char kUsage[] = "info IMAGE [print options but --output, --printer, --dump-separations]";

// The shortest text that reads back as the same single-precision number.
std::string Number(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Json(const std::vector<std::pair<const char*, std::string>>& fields) {
  std::string json = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    json += i == 0 ? "\"" : ", \"";
    json += fields[i].first;
    json += "\": ";
    json += fields[i].second;
  }
  return json + "}\n";
}

// What the load found, then the layout and grid the print would use.
std::vector<std::pair<const char*, std::string>> Fields(const WorkImage& image,
                                                        const LoadedPicture& loaded,
                                                        const JobParameters& params,
                                                        const std::optional<CopiesPlan>& plan) {
  std::vector<std::pair<const char*, std::string>> fields = {
      {"width", std::to_string(image.width)},
      {"height", std::to_string(image.height)},
      {"x_dpi", Number(image.x_dpi)},
      {"y_dpi", Number(image.y_dpi)},
      {"source_kind", std::to_string(static_cast<int>(image.source_kind))},
      {"transparent", Bool(loaded.transparent)},
      {"rotate", Bool(loaded.rotate)},
      {"scale_factor", Number(image.scale_factor)},
      {"physical_width_pt", Number(image.physical_width_pt)},
      {"physical_height_pt", Number(image.physical_height_pt)},
      {"oriented_width_pt", Number(image.oriented_width_pt)},
      {"oriented_height_pt", Number(image.oriented_height_pt)},
      {"output_width", std::to_string(image.output_width)},
      {"output_height", std::to_string(image.output_height)},
      {"white_edge", params.white_edge == 0  ? "\"off\""
                     : params.white_edge > 0 ? "\"choke\""
                                             : "\"spread\""},
      {"white_edge_mm", Number(static_cast<float>(std::abs(params.white_edge) / 100.0))},
  };
  if (!plan) return fields;
  const PageLayout& layout = plan->layout;
  const CopiesGridSize& grid = plan->grid;
  fields.insert(fields.end(), {
                                  {"copies_across", std::to_string(grid.copies_across)},
                                  {"copies_down", std::to_string(grid.copies_down)},
                                  {"gap_across_pt", std::to_string(grid.gap_x_pt)},
                                  {"gap_down_pt", std::to_string(grid.gap_y_pt)},
                                  {"offset_x_pt", std::to_string(layout.offset_x_pt)},
                                  {"offset_y_pt", std::to_string(layout.offset_y_pt)},
                                  {"x_pixel", std::to_string(grid.x_pixel)},
                                  {"y_pixel", std::to_string(grid.y_pixel)},
                                  {"x_point", Number(grid.x_point)},
                                  {"y_point", Number(grid.y_point)},
                              });
  return fields;
}

}  // namespace

int RunInfoCommand(const Args& arguments) {
  PrintArgs parsed;
  std::optional<UsageError> error = ParsePrintArgs(arguments, true, parsed);
  if (!error && (parsed.output || parsed.printer || parsed.dump_separations)) {
    error =
        UsageError{"info makes no job: --output, --printer and --dump-separations do not apply"};
  }
  if (error) return ReportUsageError(kCommand, *error, kUsage);
  if (parsed.settings_file) parsed.choices.settings_file = *parsed.settings_file;

  std::unique_ptr<CliSession> cli = OpenCliSession();
  if (!cli) return 1;
  NullProgress progress;
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  Session session(cli->app, SessionServices{progress, *spooler});
  if (!StartRun(*cli, session, parsed.choices, fs::path(*parsed.image))) return 1;
  session.Update();
  const JobParameters params = GatherJobParameters(session.model());
  std::fputs(Json(Fields(session.picture(), session.last_load(), params,
                         PlanCopies(params, session.picture())))
                 .c_str(),
             stdout);
  return 0;
}

}  // namespace kelvaro::cli
