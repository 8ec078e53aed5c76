#include "settings/job_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/rounding.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

// At most `limit` characters of UTF-8 text, never cutting a character in two.
std::string FirstCharacters(std::string text, std::size_t limit) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (count == limit) {
      text.resize(i);
      break;
    }
    ++count;
  }
  return text;
}

// The byte value of a key, or `missing` when the key is empty or absent.
unsigned char ByteOr(const SettingsStore& store, SettingKey key, unsigned char missing) {
  const std::string value = store.ReadSetting(key);
  return value.empty() ? missing : ReadLeadingByte(value);
}

void WriteIfEmpty(SettingsStore& store, SettingKey key, std::string_view value) {
  if (store.ReadSetting(key).empty()) store.WriteSetting(key, value);
}

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace

int SnapWhiteEdge(double millimetres) {
  if (!std::isfinite(millimetres)) return 0;
  const double steps = RoundEvenAsDouble(millimetres * 100.0 / kWhiteEdgeStep);
  const double limit = static_cast<double>(kWhiteEdgeLimit) / kWhiteEdgeStep;
  return static_cast<int>(std::clamp(steps, -limit, limit)) * kWhiteEdgeStep;
}

int ReadWhiteEdge(std::string_view text) { return SnapWhiteEdge(ReadLeadingDecimal(text)); }

std::string FormatWhiteEdge(int hundredths_mm) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%d.%02d", hundredths_mm < 0 ? "-" : " ",
                std::abs(hundredths_mm) / 100, std::abs(hundredths_mm) % 100);
  return text;
}

bool WriteDefaultSettings(SettingsStore& store, ToneCurves& curves) {
  std::error_code ec;
  std::filesystem::create_directories(store.folders().user, ec);
  bool all_written = true;
  for (const DefaultSetting& setting : kDefaultSettings) {
    if (!store.WriteSetting(setting.key, setting.value)) all_written = false;
  }
  curves = DefaultToneCurves();
  return all_written;
}

StoredSettings LoadStoredSettings(const SettingsStore& store, const UiText& texts) {
  StoredSettings stored;
  JobSettings& job = stored.job;
  job.version = static_cast<float>(ReadLeadingDecimal(store.ReadSetting(keys::ini_inf::kVersion)));
  if (std::string printer = store.ReadSetting(keys::active::kPrinter); !printer.empty()) {
    job.printer = FirstCharacters(std::move(printer), kMaxPrinterNameChars);
  }
  job.tray = texts.Get(ui::kMultiPurposeTray);
  const JobSettings missing;
  job.whiteMaskPercent = ByteOr(store, keys::active::kWhiteMask, missing.whiteMaskPercent);
  job.whiteOverlayPercent = ByteOr(store, keys::active::kWhiteOverlay, missing.whiteOverlayPercent);
  job.display = ByteOr(store, keys::active::kDisplay, missing.display);
  job.tonerOn = ByteOr(store, keys::active::kTonerOn, missing.tonerOn);
  job.tonerSave = ByteOr(store, keys::active::kTonerSave, missing.tonerSave);
  job.tonerPercent = ByteOr(store, keys::active::kTonerPercent, missing.tonerPercent);
  job.whiteEdge = ReadWhiteEdge(store.ReadSetting(keys::active::kWhiteEdge));
  stored.recent_files = LoadRecentFiles(store.folders().user);
  return stored;
}

StoredSettings PrepareStoredSettings(SettingsStore& store, const UiText& texts,
                                     ToneCurves& curves) {
  if (!store.UserSettingsFileExists()) WriteDefaultSettings(store, curves);

  if (store.ReadSetting(keys::pattern::kSizeX).empty()) {
    store.WriteSetting(keys::pattern::kScreen, "45");
    store.WriteSetting(keys::pattern::kShape, "Ellipse");
    store.WriteSetting(keys::pattern::kSizeX, "2");
    store.WriteSetting(keys::pattern::kSizeY, "2");
    store.WriteSetting(keys::pattern::kGap, "1");
  }
  WriteIfEmpty(store, keys::active::kTopMargin, kDefaultSideMargin);
  WriteIfEmpty(store, keys::active::kLeftMargin, kDefaultSideMargin);
  WriteIfEmpty(store, keys::active::kRightMargin, kDefaultSideMargin);
  WriteIfEmpty(store, keys::active::kBottomMargin, kDefaultBottomMargin);

  // The file is still missing when every write above failed (a read-only folder): one more
  // attempt, and the load then reports the field defaults.
  if (!store.UserSettingsFileExists()) {
    WriteDefaultSettings(store, curves);
    return LoadStoredSettings(store, texts);
  }
  StoredSettings stored = LoadStoredSettings(store, texts);
  if (stored.job.version < kCurrentSettingsVersion) {
    WriteDefaultSettings(store, curves);
    stored = LoadStoredSettings(store, texts);
  }
  return stored;
}

void ResetToDefaults(SettingsStore& store, ToneCurves& curves, const ResetHooks& hooks) {
  const std::string curve_text = kDefaultToneCurvesText;
  store.WriteSetting(keys::active::kTonerOrder, "WL");
  curves = DecodeToneCurves(curve_text);
  Call(hooks.redraw_curves);

  Call(hooks.reset_controls);

  WriteDefaultMargins(store);

  store.WriteSetting(keys::active::kSheet, "0");
  store.WriteSetting(keys::others::kRightHand, "1");
  store.WriteSetting(keys::others::kLeftHand, "0");

  Call(hooks.reapply_printer_model);

  WriteDefaultSettings(store, curves);
}

bool WriteDefaultMargins(SettingsStore& store) {
  bool ok = store.WriteSetting(keys::active::kTopMargin, kDefaultSideMargin);
  ok = store.WriteSetting(keys::active::kLeftMargin, kDefaultSideMargin) && ok;
  ok = store.WriteSetting(keys::active::kRightMargin, kDefaultSideMargin) && ok;
  return store.WriteSetting(keys::active::kBottomMargin, kDefaultBottomMargin) && ok;
}

}  // namespace kelvaro
