#include "app/window_commands.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "app/control_ids.h"
#include "app/window_geometry.h"
#include "image/profiles.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

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

void SetUpWindowState(MainWindowModel& model, std::string_view model_name,
                      const JobSettings& stored) {
  model.SelectPrinterModel(model_name);
  model.ApplyStoredUnit();
  model.FillMediaList();
  ShowBuiltInSettingsEntry(model);
  model.ApplyStoredWhiteSettings(stored.display != 0, stored.tonerOn != 0, stored.tonerSave != 0,
                                 stored.whiteMaskPercent, stored.tonerPercent);
  model.ApplyStoredWhiteEdge(stored.whiteEdge);
  // The preview's width as the window last had it. The smallest window still has an image
  // area this wide; a narrower stored value was never the window's (a canvas of a pixel or
  // two would put every picture in the page corner, or have no layout at all).
  const long area_width =
      ReadLeadingNumber(model.store().ReadSetting(keys::active::kImageAreaWidth));
  const int narrowest = SizeForDrag(kDefaultWindowWidth, kDefaultWindowHeight).image_area_width;
  if (area_width >= narrowest) {
    model.SetImageAreaWidth(static_cast<int>(std::min(area_width, 10000L)));
  }
}

void ShowPrinterQueues(MainWindowModel& model, const PrinterQueueList& queues) {
  model.SetItems(control::kPrinterList, queues.entries, queues.selected);
  const std::string stored = model.store().ReadSetting(keys::active::kPrinter);
  if (!queues.entries.empty()) model.SelectItemText(control::kPrinterList, stored);
  if (!queues.status.empty()) model.SetText(control::kStatusLine, queues.status);
}

void ShowBuiltInSettingsEntry(MainWindowModel& model) {
  bool any = false;
  std::error_code ec;
  for (fs::directory_iterator it(model.store().folders().common, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string extension = AsciiLower(it->path().extension().string());
    if (extension == ".qvcfg" && it->is_regular_file(ec)) {
      any = true;
      break;
    }
  }
  model.SetVisible(command::kLoadBuiltInSettings, any);
}

void LoadDefaults(MainWindowModel& model) {
  ToneCurves curves = model.state().curves;
  ResetHooks hooks;
  hooks.reset_controls = [&model] { model.ResetControlsToDefaults(); };
  hooks.reapply_printer_model = [&model] {
    const std::string name = model.state().model_name;
    model.SelectPrinterModel(name);
  };
  ResetToDefaults(model.store(), curves, hooks);
  model.SetToneCurves(curves);
  // The window ends as a fresh start shows it, so that what it prints is what the stored
  // settings give `kelvaro print`: the white group as the defaults just stored, the colour
  // sliders neutral, then the medium in force.
  const JobSettings stored = LoadStoredSettings(model.store(), model.texts()).job;
  model.ApplyStoredWhiteSettings(stored.display != 0, stored.tonerOn != 0, stored.tonerSave != 0,
                                 stored.whiteMaskPercent, stored.tonerPercent);
  model.ResetColourSliders();
  model.ApplySelectedMediaPreset();
  // The defaults stored "AUTO" as the tray; the store names the tray the window shows.
  model.WriteThrough(control::kTrayList);
}

void ChooseTonerOrder(MainWindowModel& model, Notifier& notifier, bool white_first) {
  model.ChangeTonerOrder(white_first);
  notifier.Show(model.texts().Get(ui::kProgramTitle),
                model.texts().Get(white_first ? ui::kWhiteFirstNote : ui::kWhiteLastNote),
                MessageIcon::kInformation);
}

bool LoadSettingsFileIntoWindow(MainWindowModel& model, const fs::path& file,
                                SettingsFileSource source, bool keep_paper) {
  SettingsStore& store = model.store();
  JobSettings settings = LoadStoredSettings(store, model.texts()).job;
  // The boxes the file leaves alone keep the state they have in the window.
  settings.display = model.IsChecked(control::kDisplayWhite);
  settings.tonerOn = model.IsChecked(control::kPrintWhite);
  settings.tonerSave = model.IsChecked(control::kThresholdOn);
  settings.whiteMaskPercent =
      static_cast<unsigned char>(model.CaptionNumber(control::kWhiteDensityValue));
  ToneCurves curves = model.state().curves;
  const SettingsFileLoad load = LoadSettingsFile(store, file, source, settings, curves);
  if (load.status != 1) return false;
  model.SetToneCurves(curves);
  model.ApplyStoredWhiteSettings(settings.display != 0, settings.tonerOn != 0,
                                 settings.tonerSave != 0, settings.whiteMaskPercent,
                                 settings.tonerPercent);
  model.ApplyStoredWhiteEdge(settings.whiteEdge);
  if (load.paper_size && !keep_paper) {
    model.SelectItemText(control::kPaperList, *load.paper_size);
    model.ShowPaper(model.Text(control::kPaperList));
  }
  return true;
}

SettingsFileControls SettingsFileControlsOf(const MainWindowModel& model) {
  SettingsFileControls controls;
  controls.white_mask_caption = model.Text(control::kWhiteDensityValue);
  controls.display = model.IsChecked(control::kDisplayWhite);
  controls.toner_on = model.IsChecked(control::kPrintWhite);
  controls.toner_save = model.IsChecked(control::kThresholdOn);
  controls.toner_percent_caption = model.Text(control::kThresholdValue);
  controls.paper_size = model.Text(control::kPaperList);
  controls.white_edge = model.WhiteEdge();
  return controls;
}

bool RunMenuCommand(MainWindowModel& model, int id, const PictureLoader& load) {
  SettingsStore& store = model.store();
  if (id == command::kDefaultProfiles) {
    store.WriteSetting(keys::active::kOutputProfile, "OKC711P2.ICM");
    store.WriteSetting(keys::active::kInputProfile, "sRGB.icm");
    ReloadNewestFile(model, store.folders().user, load);
    return true;
  }
  if (id == command::kAbout) {
    store.notifier().Show(kProgramTitle,
                          model.texts().Get(ui::kProgramTitle) + "\r\n" + kAboutVersionLine,
                          MessageIcon::kInformation);
    return true;
  }
  return false;
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
