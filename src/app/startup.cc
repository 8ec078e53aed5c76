#include "app/startup.h"

#include <cctype>
#include <string_view>
#include <system_error>

#include "platform/text_helpers.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
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
  std::string language = AsciiLower(store.ReadSetting(keys::active::kLanguage));
  if (language.empty()) {
    language = store.ReadCommonSetting(keys::active::kLanguage);
    store.WriteSetting(keys::active::kLanguageLowerCase, language);
  } else if (language.find(kOldLanguageExtension) != std::string::npos) {
    language = ReplaceAll(std::move(language), kOldLanguageExtension, kLanguageExtension);
    store.WriteCommonSetting(keys::active::kLanguageLowerCase, language);
    store.WriteSetting(keys::active::kLanguageLowerCase, language);
  }
  return language;
}

void ApplySettingsUpgrades(SettingsStore& store) {
  if (store.ReadSetting(keys::stats::kMode).empty()) store.WriteSetting(keys::stats::kMode, "3");

  // Older versions stored a bottom margin of 24 points and a little more; it is 13.07 now.
  if (ReadLeadingNumber(store.ReadSetting(keys::active::kBottomMargin)) / 100 == 24) {
    store.WriteSetting(keys::active::kBottomMargin, kDefaultBottomMargin);
  }

  const long right = ReadLeadingNumber(store.ReadSetting(keys::others::kRightHand));
  const long left = ReadLeadingNumber(store.ReadSetting(keys::others::kLeftHand));
  if (right + left == 0) {
    store.WriteSetting(keys::others::kRightHand, "1");
    store.WriteSetting(keys::others::kLeftHand, "0");
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
  store.WriteSetting(keys::kymc::kProfile, EncodeToneCurves(curves));
  WriteDefaultMargins(store);
  store.WriteSetting(keys::active::kTonerOrder, "WL");
}

}  // namespace kelvaro
