#ifndef KELVARO_APP_SETTINGS_COMMANDS_H_
#define KELVARO_APP_SETTINGS_COMMANDS_H_

#include <filesystem>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {

// Save Settings without a window: the window as the stored settings build it (model, paper,
// white settings and the toner order's curves) is written to `file`. false after the store's
// message when the file cannot be written.
bool SaveStoredSettingsToFile(SettingsStore& store, const UiText& texts,
                              const std::filesystem::path& usb_root,
                              const std::filesystem::path& file);

// Load Settings without a window: the file is loaded into the window the stored settings
// build, as the Load Settings command does (its margins and the folder of the file are stored
// by the load), and what the window then shows of the white group and the paper list is
// stored too, so that the next start and the next print use it. false after the loader's
// message when the file cannot be loaded; nothing is stored then.
bool LoadSettingsFileIntoStore(SettingsStore& store, const UiText& texts,
                               const std::filesystem::path& usb_root,
                               const std::filesystem::path& file);

}  // namespace kelvaro

#endif  // KELVARO_APP_SETTINGS_COMMANDS_H_
