#include "app/startup.h"

#include <cctype>
#include <string_view>
#include <system_error>

#include "platform/text_helpers.h"
#include "settings/job_settings.h"
#include "settings/language_file.h"

namespace kelvaro {
namespace {

constexpr std::string_view kOldLanguageExtension = ".lang";

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string ShapeLibraryMessage(ShapeLibraryStatus status) {
  switch (status) {
    case ShapeLibraryStatus::kReady:
      return "";
    case ShapeLibraryStatus::kCommonFolderProblem:
      return "Problem with ProgramData Folder";
    case ShapeLibraryStatus::kUserFolderProblem:
      return "Problem with Users AppData Folder";
    case ShapeLibraryStatus::kMasterMissing:
      return "Master Shape.lib Missing";
  }
  return "";
}

void ReportShapeLibraryStatus(Notifier& notifier, ShapeLibraryStatus status) {
  if (status == ShapeLibraryStatus::kReady) return;
  notifier.Show(kProgramTitle, ShapeLibraryMessage(status), MessageIcon::kError);
}

std::string ChooseLanguage(SettingsStore& store) {
  std::string language = AsciiLower(store.ReadSetting("Active", "Language"));
  if (language.empty()) {
    language = store.ReadCommonSetting("Active", "Language");
    store.WriteSetting("Active", "language", language);
  } else if (language.find(kOldLanguageExtension) != std::string::npos) {
    language = ReplaceAll(std::move(language), kOldLanguageExtension, kLanguageExtension);
    store.WriteCommonSetting("Active", "language", language);
    store.WriteSetting("Active", "language", language);
  }
  return language;
}

void ApplySettingsUpgrades(SettingsStore& store) {
  if (store.ReadSetting("Stats", "Option").empty()) store.WriteSetting("Stats", "Option", "3");

  // Older versions stored a bottom margin of 24 points and a little more; it is 13.07 now.
  if (ReadLeadingNumber(store.ReadSetting("Active", "Bottom Margin")) / 100 == 24) {
    store.WriteSetting("Active", "Bottom Margin", kDefaultBottomMargin);
  }

  const long right = ReadLeadingNumber(store.ReadSetting("Others", "RightHand"));
  const long left = ReadLeadingNumber(store.ReadSetting("Others", "LeftHand"));
  if (right + left == 0) {
    store.WriteSetting("Others", "RightHand", "1");
    store.WriteSetting("Others", "LeftHand", "0");
  }
}

StartupOutcome RunStartup(AppContext& app, const StartupOptions& options) {
  if (options.single_instance) {
    std::error_code ec;
    std::filesystem::create_directories(app.folders().user, ec);
    // A lock file we cannot open tells us nothing about other copies; we start anyway.
    if (app.instance_lock.Acquire(app.folders().user / kInstanceLockFileName) ==
        InstanceLock::Result::kHeldElsewhere) {
      return StartupOutcome::kAnotherCopyRunning;
    }
  }

  app.shape_library = ResolveShapeLibrary(app.store);
  ReportShapeLibraryStatus(app.notifier(), app.shape_library);

  const std::string language = ChooseLanguage(app.store);
  LoadLanguage(app.folders().program, language, app.texts, app.notifier());

  ApplySettingsUpgrades(app.store);

  StoredSettings stored = PrepareStoredSettings(app.store, app.texts, app.tone_curves);
  app.job_settings = std::move(stored.job);
  app.recent_files = std::move(stored.recent_files);
  return StartupOutcome::kReady;
}

void WriteExitSettings(SettingsStore& store, const ToneCurves& curves) {
  store.WriteSetting("KYMC", "Profile", EncodeToneCurves(curves));
  WriteDefaultMargins(store);
  store.WriteSetting("Active", "T_ORDER", "WL");
}

}  // namespace kelvaro
