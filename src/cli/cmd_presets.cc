// `kelvaro presets [--model KEY]`: the media list in the window's order, one preset per line,
// fields separated by tabs:
//   code, label (in the loaded language), tray, "fixed" or "free" tray list, "mirror" or
//   "no mirror", "white" or "no white", white threshold in percent.
//   101	Printer Setting	AUTO	free	no mirror	white	50%
// Tray list and white follow the model: some trays are free on models that can lay white
// first, and in white-first toner order nearly every preset prints white.
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/text_helpers.h"
#include "printers/media_presets.h"
#include "printers/paper_sizes.h"
#include "printers/printer_models.h"
#include "settings/keys.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "presets";
constexpr char kUsage[] = "presets [--model KEY]";

}  // namespace

int RunPresetsCommand(const Args& arguments) {
  int status = 0;
  std::optional<ModelCommand> started = StartModelCommand(arguments, kCommand, kUsage, status);
  if (!started) return status;
  const std::unique_ptr<CliSession>& session = started->session;
  const ModelChoice& model = started->model;
  const bool white_first =
      TonerOrderInForce(model.name, Trim(session->store.ReadSetting(keys::active::kTonerOrder),
                                         kBlanksAndLineBreaks)) == TonerOrder::kWhiteFirst;

  for (int code : MediaListCodes(session->texts)) {
    const MediaPreset* preset = FindMediaPreset(code);
    if (preset == nullptr) continue;
    const bool white = PresetPrintsWhite(*preset, white_first);
    std::printf("%d\t%s\t%s\t%s\t%s\t%s\t%d%%\n", code, session->texts.Get(code).c_str(),
                session->texts.Get(kTrayTextNumbers[preset->tray]).c_str(),
                TrayListFree(preset->tray_list, model.name) ? "free" : "fixed",
                preset->mirror ? "mirror" : "no mirror", white ? "white" : "no white",
                preset->threshold);
  }
  return 0;
}

}  // namespace kelvaro::cli
