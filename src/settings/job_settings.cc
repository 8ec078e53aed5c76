#include "settings/job_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/rounding.h"

namespace kelvaro {
namespace {

constexpr int kTrayTextEntry = 122;  // "MultiPurpose Tray"

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
unsigned char ByteOr(const SettingsStore& store, std::string_view key, unsigned char missing) {
  const std::string value = store.ReadSetting("Active", key);
  return value.empty() ? missing : ReadLeadingByte(value);
}

void WriteIfEmpty(SettingsStore& store, std::string_view section, std::string_view key,
                  std::string_view value) {
  if (store.ReadSetting(section, key).empty()) store.WriteSetting(section, key, value);
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
    if (!store.WriteSetting(setting.section, setting.key, setting.value)) all_written = false;
  }
  curves = DefaultToneCurves();
  return all_written;
}

StoredSettings LoadStoredSettings(const SettingsStore& store, const UiText& texts) {
  StoredSettings stored;
  JobSettings& job = stored.job;
  job.version = static_cast<float>(ReadLeadingDecimal(store.ReadSetting("INI_INF", "Version")));
  if (std::string printer = store.ReadSetting("Active", "Printer"); !printer.empty()) {
    job.printer = FirstCharacters(std::move(printer), kMaxPrinterNameChars);
  }
  job.tray = texts.Get(kTrayTextEntry);
  const JobSettings missing;
  job.whiteMaskPercent = ByteOr(store, "White Mask %", missing.whiteMaskPercent);
  job.whiteOverlayPercent = ByteOr(store, "White Overlay %", missing.whiteOverlayPercent);
  job.display = ByteOr(store, "Display", missing.display);
  job.tonerOn = ByteOr(store, "TonerOn", missing.tonerOn);
  job.tonerSave = ByteOr(store, "TonerSave", missing.tonerSave);
  job.tonerPercent = ByteOr(store, "TonerPercent", missing.tonerPercent);
  job.whiteEdge = ReadWhiteEdge(store.ReadSetting("Active", kWhiteEdgeKey));
  stored.recent_files = LoadRecentFiles(store.folders().user);
  return stored;
}

StoredSettings PrepareStoredSettings(SettingsStore& store, const UiText& texts,
                                     ToneCurves& curves) {
  if (!store.UserSettingsFileExists()) WriteDefaultSettings(store, curves);

  if (store.ReadSetting("RIP Patten Setup", "SizeX").empty()) {
    store.WriteSetting("RIP Patten Setup", "Screen", "45");
    store.WriteSetting("RIP Patten Setup", "Shape", "Ellipse");
    store.WriteSetting("RIP Patten Setup", "SizeX", "2");
    store.WriteSetting("RIP Patten Setup", "SizeY", "2");
    store.WriteSetting("RIP Patten Setup", "Gap", "1");
  }
  WriteIfEmpty(store, "Active", "Top Margin", kDefaultSideMargin);
  WriteIfEmpty(store, "Active", "Left Margin", kDefaultSideMargin);
  WriteIfEmpty(store, "Active", "Right Margin", kDefaultSideMargin);
  WriteIfEmpty(store, "Active", "Bottom Margin", kDefaultBottomMargin);

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
  store.WriteSetting("Active", "T_ORDER", "WL");
  curves = DecodeToneCurves(curve_text);
  Call(hooks.redraw_curves);

  Call(hooks.reset_controls);

  WriteDefaultMargins(store);

  store.WriteSetting("Active", "Zeph I Sheet", "0");
  store.WriteSetting("Others", "RightHand", "1");
  store.WriteSetting("Others", "LeftHand", "0");

  Call(hooks.reapply_printer_model);

  WriteDefaultSettings(store, curves);
}

bool WriteDefaultMargins(SettingsStore& store) {
  bool ok = store.WriteSetting("Active", "Top Margin", kDefaultSideMargin);
  ok = store.WriteSetting("Active", "Left Margin", kDefaultSideMargin) && ok;
  ok = store.WriteSetting("Active", "Right Margin", kDefaultSideMargin) && ok;
  return store.WriteSetting("Active", "Bottom Margin", kDefaultBottomMargin) && ok;
}

}  // namespace kelvaro
