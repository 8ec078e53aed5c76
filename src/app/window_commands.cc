#include "app/window_commands.h"

#include <system_error>
#include <vector>

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

constexpr int kWhiteLastNote = 204;
constexpr int kWhiteFirstNote = 205;

// Loads slot `k`'s picture; on success it goes to the top, otherwise slot `k` is removed.
bool LoadListedFile(MainWindowModel& model, const fs::path& user_folder, int k,
                    const std::string& path, const PictureLoader& load) {
  std::error_code ec;
  const bool loaded = !path.empty() && fs::exists(path, ec) && load(path);
  const std::string argument = loaded ? path : std::to_string(k);
  const RecentFilesUpdate update = UpdateRecentFiles(user_folder, argument);
  ShowRecentFiles(model, update.files);
  if (loaded) model.SetLoadedFile(fs::path(path).filename().string());
  return loaded;
}

}  // namespace

void ChooseTonerOrder(MainWindowModel& model, ToneCurves& curves, Notifier& notifier,
                      bool white_first) {
  curves = white_first ? WhiteFirstToneCurves() : DefaultToneCurves();
  model.ChangeTonerOrder(white_first);
  notifier.Show(model.texts().Get(0),
                model.texts().Get(white_first ? kWhiteFirstNote : kWhiteLastNote),
                MessageIcon::kInformation);
}

void ShowRecentFiles(MainWindowModel& model, const RecentFiles& files) {
  std::vector<std::string> labels;
  for (int entry = 1; entry <= kRecentFileSlots; ++entry) {
    const int slot = SlotOfMenuEntry(files, entry);
    if (slot != 0) labels.push_back(RecentFileMenuLabel(files.slots[slot - 1]));
  }
  model.SetRecentFileEntries(labels);
}

bool OpenRecentFile(MainWindowModel& model, const fs::path& user_folder, int k,
                    const PictureLoader& load) {
  if (k < 1 || k > 5) return false;
  // Entry k opens the file it shows, also when the list has a gap before it.
  const int slot = SlotOfMenuEntry(LoadRecentFiles(user_folder), k);
  if (slot == 0) return false;
  return LoadListedFile(model, user_folder, slot, ReadRecentFile(user_folder, slot), load);
}

bool ReloadNewestFile(MainWindowModel& model, const fs::path& user_folder,
                      const PictureLoader& load) {
  return LoadListedFile(model, user_folder, 1, ReadNewestFile(user_folder), load);
}

}  // namespace kelvaro
