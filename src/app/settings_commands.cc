#include "app/settings_commands.h"

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "app/window_commands.h"
#include "printers/printer_models.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
#include "settings/settings_file.h"

namespace kelvaro {
namespace {

namespace c = control;

void SetUpFromStore(MainWindowModel& model, const std::filesystem::path& usb_root) {
  SettingsStore& store = model.store();
  SetUpWindowState(model, ResolveActiveModelName(store, usb_root),
                   LoadStoredSettings(store, model.texts()).job);
}

}  // namespace

bool SaveStoredSettingsToFile(SettingsStore& store, const UiText& texts,
                              const std::filesystem::path& usb_root,
                              const std::filesystem::path& file) {
  MainWindowModel model(store, texts);
  {
    // Building the window stores nothing of its own.
    const SettingsStore::WriteHold hold = store.HoldWrites();
    SetUpFromStore(model, usb_root);
  }
  SettingsFileControls controls;
  controls.white_mask_caption = model.Text(c::kWhiteDensityValue);
  controls.display = model.IsChecked(c::kDisplayWhite);
  controls.toner_on = model.IsChecked(c::kPrintWhite);
  controls.toner_save = model.IsChecked(c::kThresholdOn);
  controls.toner_percent_caption = model.Text(c::kThresholdValue);
  controls.paper_size = model.Text(c::kPaperList);
  controls.white_edge = model.WhiteEdge();
  return SaveSettingsFile(store, file, controls, model.state().curves);
}

bool LoadSettingsFileIntoStore(SettingsStore& store, const UiText& texts,
                               const std::filesystem::path& usb_root,
                               const std::filesystem::path& file) {
  MainWindowModel model(store, texts);
  {
    const SettingsStore::WriteHold hold = store.HoldWrites();
    SetUpFromStore(model, usb_root);
  }
  if (!LoadSettingsFileIntoWindow(model, file, SettingsFileSource::kUserFolder)) return false;
  const auto flag = [&](int id) { return FormatStoredNumber(model.IsChecked(id) ? 1 : 0); };
  store.WriteSetting(keys::active::kDisplay, flag(c::kDisplayWhite));
  store.WriteSetting(keys::active::kTonerOn, flag(c::kPrintWhite));
  store.WriteSetting(keys::active::kTonerSave, flag(c::kThresholdOn));
  store.WriteSetting(keys::active::kWhiteMask,
                     FormatStoredNumber(model.CaptionNumber(c::kWhiteDensityValue)));
  store.WriteSetting(keys::active::kTonerPercent,
                     FormatStoredNumber(model.CaptionNumber(c::kThresholdValue)));
  store.WriteSetting(keys::active::kPaperSize, model.Text(c::kPaperList));
  if (ReadWhiteEdge(store.ReadSetting(keys::active::kWhiteEdge)) != model.WhiteEdge()) {
    store.WriteSetting(keys::active::kWhiteEdge, FormatWhiteEdge(model.WhiteEdge()));
  }
  return true;
}

}  // namespace kelvaro
