#ifndef KELVARO_APP_STARTUP_H_
#define KELVARO_APP_STARTUP_H_

#include <string>

#include "app/app_context.h"
#include "pattern/shape_library_setup.h"
#include "platform/notifier.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"

namespace kelvaro {

// The lock file in the user folder that keeps a second window program from starting.
inline constexpr char kInstanceLockFileName[] = "KelvaroPro.lock";

struct StartupOptions {
  // The window program runs once per user; command-line runs may run beside it.
  bool single_instance = true;

  static StartupOptions Window() { return {}; }
  static StartupOptions CommandLine() { return {.single_instance = false}; }
};

enum class StartupOutcome {
  kReady,
  kAnotherCopyRunning,  // end at once, silently; no file has been touched
};

// Everything that happens before the main window opens, in this order: the single-instance
// lock (when asked for), the shape library check with its message, the language choice and
// load, the small upgrades of stored settings, then the settings preparation of the window
// (default file, pattern and margin defaults, version check). Fills `app`. Failures are
// reported through the notifier and start-up carries on with defaults.
StartupOutcome RunStartup(AppContext& app, const StartupOptions& options);

// The message of a shape library status ("" for kReady).
std::string ShapeLibraryMessage(ShapeLibraryStatus status);
// Shows the message of a status other than kReady: error icon, title "Kelvaro Pro".
void ReportShapeLibraryStatus(Notifier& notifier, ShapeLibraryStatus status);

// Chooses the language file name to load: the user's [Active] Language lower-cased, else the
// common file's (copied into the user file). Names of older versions (".lang") are rewritten
// to ".lan3" in both files. May return "".
std::string ChooseLanguage(SettingsStore& store);

// [Stats] Option "3" when empty; a bottom margin of 2400 to 2499 becomes "1307"; both hand
// flags off becomes right hand on.
void ApplySettingsUpgrades(SettingsStore& store);

// What the window program writes after its window has closed: the tone curves, the four
// default margins and the white-last toner order. The command line does not call this.
void WriteExitSettings(SettingsStore& store, const ToneCurves& curves);

}  // namespace kelvaro

#endif  // KELVARO_APP_STARTUP_H_
