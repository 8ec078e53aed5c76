#include "printers/margins.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/cups_queues.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace kelvaro {

namespace {

constexpr SettingKey kMarginKeys[4] = {keys::active::kTopMargin, keys::active::kLeftMargin,
                                       keys::active::kRightMargin, keys::active::kBottomMargin};
constexpr SettingKey kBackupKeys[4] = {
    keys::active::kTopMarginBackup, keys::active::kLeftMarginBackup,
    keys::active::kRightMarginBackup, keys::active::kBottomMarginBackup};

std::array<double, 4> Sides(const Margins& m) { return {m.top, m.left, m.right, m.bottom}; }
Margins FromSides(const std::array<double, 4>& s) { return {s[0], s[1], s[2], s[3]}; }

MarginsDialogView ViewOf(const Margins& margins, PageSize page, UnitCode unit, bool rounded) {
  auto convert = [&](double points) {
    return rounded ? PointsToUnitRounded(points, unit) : PointsToUnit(points, unit);
  };
  MarginsDialogView view;
  const std::array<double, 4> sides = Sides(margins);
  for (size_t i = 0; i < 4; ++i) view.boxes[i] = FormatWithMask(convert(sides[i]), kMarginMask);
  const PrintableArea area = ComputePrintableArea(page, margins);
  view.area = FormatAreaText(convert(area.width), convert(area.height));
  view.unit_name_text = UnitNameTextNumber(unit);
  return view;
}

std::array<double, 4> ReadTyped(const std::array<std::string, 4>& typed) {
  std::array<double, 4> values{};
  for (size_t i = 0; i < 4; ++i) values[i] = ReadLeadingDecimal(typed[i]);
  return values;
}

Margins TypedToPoints(const std::array<double, 4>& values, UnitCode unit) {
  std::array<double, 4> points{};
  for (size_t i = 0; i < 4; ++i) points[i] = MarginLengthToPoints(values[i], unit);
  return FromSides(points);
}

bool Fits(double scale) { return scale >= 0.99999 && scale <= 1.0; }

}  // namespace

Margins MinimumMargins(std::string_view model_name) {
  const std::string upper = AsciiUpper(model_name);
  if (upper.find("RICOH") != std::string::npos || upper.find("IMEX") != std::string::npos)
    return {12, 12.84, 12.36, 12.13};
  return {12.96, 12.96, 12.96, 13.08};
}

Margins RaiseToMinimum(const Margins& margins, const Margins& minimum) {
  return {std::max(margins.top, minimum.top), std::max(margins.left, minimum.left),
          std::max(margins.right, minimum.right), std::max(margins.bottom, minimum.bottom)};
}

namespace {

Margins ReadMarginKeys(const SettingsStore& store, const SettingKey (&keys)[4]) {
  std::array<double, 4> sides{};
  for (size_t i = 0; i < 4; ++i) sides[i] = ReadLeadingDecimal(store.ReadSetting(keys[i])) / 100.0;
  return FromSides(sides);
}

// Each side × 100, rounded to a whole number, as decimal text.
bool WriteMarginKeys(SettingsStore& store, const SettingKey (&keys)[4], const Margins& margins) {
  const std::array<double, 4> sides = Sides(margins);
  bool ok = true;
  for (size_t i = 0; i < 4; ++i) {
    ok = store.WriteSetting(keys[i], FormatStoredNumber(std::lround(sides[i] * 100))) && ok;
  }
  return ok;
}

}  // namespace

Margins ReadMargins(const SettingsStore& store) { return ReadMarginKeys(store, kMarginKeys); }

bool WriteMargins(SettingsStore& store, const Margins& margins) {
  return WriteMarginKeys(store, kMarginKeys, margins);
}

Margins DefaultMargins() {
  const double side = ReadLeadingDecimal(kDefaultSideMargin) / 100.0;
  return {side, side, side, ReadLeadingDecimal(kDefaultBottomMargin) / 100.0};
}

Margins ReadBackupMargins(const SettingsStore& store) { return ReadMarginKeys(store, kBackupKeys); }

bool WriteBackupMargins(SettingsStore& store, const Margins& margins) {
  return WriteMarginKeys(store, kBackupKeys, margins);
}

PrintableArea ComputePrintableArea(PageSize page, const Margins& margins) {
  return {page.width - margins.left - margins.right, page.height - margins.top - margins.bottom};
}

MarginsDialogView OpenMarginsDialog(const SettingsStore& store, PageSize page, UnitCode unit,
                                    std::string_view selected_queue, bool printer_attached) {
  MarginsDialogView view = ViewOf(ReadMargins(store), page, unit, /*rounded=*/true);
  view.get_printer_margins_enabled = !selected_queue.empty() && printer_attached;
  return view;
}

MarginsDialogView RaiseTypedMargins(const std::array<std::string, 4>& typed, PageSize page,
                                    UnitCode unit) {
  static constexpr std::array<double, 4> kMillimetres = {4.57, 4.57, 4.57, 4.61};
  static constexpr std::array<double, 4> kCentimetres = {0.457, 0.457, 0.457, 0.461};
  static constexpr std::array<double, 4> kInches = {0.18, 0.18, 0.18, 0.19};
  const std::array<double, 4>& minimum = unit == UnitCode::kMillimetres   ? kMillimetres
                                         : unit == UnitCode::kCentimetres ? kCentimetres
                                                                          : kInches;
  std::array<double, 4> values = ReadTyped(typed);
  for (size_t i = 0; i < 4; ++i) values[i] = std::max(values[i], minimum[i]);
  MarginsDialogView view;
  for (size_t i = 0; i < 4; ++i) view.boxes[i] = FormatWithMask(values[i], kMarginMask);
  const PrintableArea area = ComputePrintableArea(page, TypedToPoints(values, unit));
  view.area = FormatAreaText(PointsToUnit(area.width, unit), PointsToUnit(area.height, unit));
  view.unit_name_text = UnitNameTextNumber(unit);
  return view;
}

std::optional<MarginsDialogView> GetPrinterMargins(PrinterMarginSource& source,
                                                   const std::string& queue, PageSize page,
                                                   UnitCode unit) {
  if (queue.empty()) return std::nullopt;
  const std::optional<MediaMargins> media = source.A4Margins(queue);
  if (!media) return std::nullopt;
  const Margins margins{media->top, media->left, media->right, media->bottom};
  MarginsDialogView view = ViewOf(margins, page, unit, /*rounded=*/false);
  view.get_printer_margins_enabled = true;
  return view;
}

Margins AcceptMarginsDialog(SettingsStore& store, const std::array<std::string, 4>& typed,
                            UnitCode unit, std::string_view model_name) {
  const Margins margins =
      RaiseToMinimum(TypedToPoints(ReadTyped(typed), unit), MinimumMargins(model_name));
  WriteMargins(store, margins);
  return margins;
}

ImageSize FitToPrintableArea(ImageSize current, ImageSize own, PrintableArea area, bool rotate) {
  if (!(current.width > 0 && current.height > 0 && area.width > 0 && area.height > 0))
    return current;
  double scale = area.width / current.width;
  if (current.height * scale < area.height) {
    current.width *= scale;
    current.height *= scale;
  } else {
    scale = area.height / current.height;
    current.width *= scale;
    current.height *= scale;
  }
  if (Fits(scale)) {
    // Already filling the area: the command switches back to the picture's own size.
    const double own_width = rotate ? own.height : own.width;
    const double own_height = rotate ? own.width : own.height;
    if (area.height > own_height && area.width > own_width) current = {own_width, own_height};
  }
  return current;
}

ImageSize AutoFitSingleCopy(ImageSize current, ImageSize own, PrintableArea area, bool rotate,
                            int copies_across, int copies_down) {
  if (copies_across != 1 || copies_down != 1) return current;
  if (area.height < current.height) current = FitToPrintableArea(current, own, area, rotate);
  if (area.width < current.width) current = FitToPrintableArea(current, own, area, rotate);
  return current;
}

}  // namespace kelvaro
