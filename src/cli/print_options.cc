#include "cli/print_options.h"

#include <cstdio>

namespace kelvaro::cli {

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
