#ifndef KELVARO_APP_APP_CONTEXT_H_
#define KELVARO_APP_APP_CONTEXT_H_

#include <utility>

#include "pattern/shape_library_setup.h"
#include "platform/data_folders.h"
#include "platform/instance_lock.h"
#include "platform/notifier.h"
#include "settings/job_settings.h"
#include "settings/recent_files.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The state of one run that outlives any window: the store, the texts, the tone curves and
// what start-up read for the window. Passed by reference; the notifier must outlive it.
struct AppContext {
  AppContext(DataFolders folders, Notifier& notifier) : store(std::move(folders), notifier) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  const DataFolders& folders() const { return store.folders(); }
  Notifier& notifier() const { return store.notifier(); }

  SettingsStore store;
  UiText texts;
  ToneCurves tone_curves = DefaultToneCurves();
  JobSettings job_settings;  // as start-up loaded them; the window copies them once
  RecentFiles recent_files;
  ShapeLibraryStatus shape_library = ShapeLibraryStatus::kReady;
  InstanceLock instance_lock;  // held by the window program for its whole run
};

}  // namespace kelvaro

#endif  // KELVARO_APP_APP_CONTEXT_H_
