// The setting-file reader (.qvcfg) on arbitrary bytes: a file the user picks may be damaged
// or not one at all. The bytes are loaded as a file of a scratch folder, into a store of its
// own; whatever was loaded is saved there again and must load back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/notifier.h"
#include "settings/job_settings.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"

using namespace kelvaro;
namespace fs = std::filesystem;

namespace {

class CountingNotifier final : public Notifier {
 public:
  void Show(const std::string&, const std::string&, MessageIcon) override { ++shown; }
  bool Ask(const std::string&, const std::string&, bool default_answer) override {
    return default_answer;
  }
  int shown = 0;
};

// A folder of this run under the temporary folder (memory-backed where there is one, so that
// the store's flushes cost nothing), made anew for every input and removed after it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    path_ = base / ("kelvaro-fuzz-settings-" + std::to_string(::getpid()));
    fs::remove_all(path_, ec);
    for (const char* folder : {"user", "common", "program"}) fs::create_directories(path_ / folder);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::optional<std::string> FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

void LoadAndSaveAgain(std::string_view bytes, bool white_first) {
  const ScratchFolder scratch;
  CountingNotifier notifier;
  SettingsStore store(
      {scratch.path() / "user", scratch.path() / "common", scratch.path() / "program"}, notifier);
  if (white_first) store.WriteSetting("Active", "T_ORDER", "WF");
  for (const char* key : {"Right Margin", "Left Margin", "Bottom Margin", "Top Margin"}) {
    store.WriteSetting("Active", key, "1200");
  }
  const std::optional<std::string> stored_before = FileBytes(store.UserSettingsFile());

  const fs::path file = scratch.path() / "input.qvcfg";
  WriteBytes(file, bytes);
  JobSettings settings;
  settings.whiteMaskPercent = 77;
  settings.display = 1;
  ToneCurves curves = WhiteFirstToneCurves();
  const JobSettings settings_before = settings;
  const ToneCurves curves_before = curves;
  const SettingsFileLoad load =
      LoadSettingsFile(store, file, SettingsFileSource::kUserFolder, settings, curves);

  // A refused file says why and changes nothing, neither the window nor the settings file.
  if (load.status == 0) {
    if (notifier.shown == 0 || settings != settings_before || curves != curves_before ||
        load.curves_applied || load.margins_written) {
      std::abort();
    }
    if (FileBytes(store.UserSettingsFile()) != stored_before) std::abort();
    return;
  }
  if (!load.curves_applied && curves != curves_before) std::abort();

  // Saved from what it loaded, over itself, the file loads back to the same settings.
  SettingsFileControls controls;
  controls.white_mask_caption = std::to_string(settings.whiteMaskPercent) + "%";
  controls.display = settings.display != 0;
  controls.toner_on = settings.tonerOn != 0;
  controls.toner_save = settings.tonerSave != 0;
  controls.toner_percent_caption = std::to_string(settings.tonerPercent) + "%";
  // The paper is the text of a list entry, which holds no line break.
  const std::string paper = load.paper_size.value_or("");
  controls.paper_size = paper.substr(0, paper.find_first_of("\r\n"));
  controls.white_edge = settings.whiteEdge;
  if (!SaveSettingsFile(store, file, controls, curves)) std::abort();
  JobSettings reloaded_settings = settings_before;
  ToneCurves reloaded_curves = curves_before;
  const SettingsFileLoad reload = LoadSettingsFile(store, file, SettingsFileSource::kUserFolder,
                                                   reloaded_settings, reloaded_curves);
  if (reload.status != 1 || !reload.curves_applied || reloaded_curves != curves) std::abort();
  if (reload.paper_size.value_or("") != controls.paper_size) std::abort();
  // Settings the window does not save keep whatever the file held, so they read back too.
  if (reloaded_settings != settings) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LoadAndSaveAgain(bytes, false);
  LoadAndSaveAgain(bytes, true);
  return 0;
}
