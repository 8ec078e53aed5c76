#include "printers/paper_sizes.h"

#include <cmath>
#include <cstdio>

#include "platform/rounding.h"
#include "platform/text_helpers.h"
#include "printers/margins.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace kelvaro {

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string CustomKey(int number) { return keys::papers::kCustomPrefix + std::to_string(number); }

std::string FivePlaces(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.5f", value);
  return buffer;
}

std::vector<std::string> SplitCarets(std::string_view record) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t end = record.find('^', start);
    fields.emplace_back(record.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

int StoredCount(const SettingsStore& store) {
  const long count = ReadLeadingNumber(store.ReadSetting(keys::papers::kNumber));
  if (count < 0) return 0;
  return count > kMaxCustomPaperSizes ? kMaxCustomPaperSizes : static_cast<int>(count);
}

bool InRange(double value, double low, double high) { return value >= low && value <= high; }

}  // namespace

bool IsA3Model(std::string_view name) { return CapabilitiesOf(name).a3_papers; }

std::string WidthGroup(double width_points) {
  if (width_points < 612.29) return "0";
  if (width_points < 842) return "5";
  return "9";
}

std::string FormatCustomPaperRecord(const CustomPaperSize& size) {
  return size.name + "^" + FivePlaces(size.width) + "^" + FivePlaces(size.height) + "^" +
         size.group + "^" + FivePlaces(size.top) + "^" + FivePlaces(size.left) + "^" +
         FivePlaces(size.right) + "^" + FivePlaces(size.bottom);
}

std::optional<CustomPaperSize> ParseCustomPaperRecord(std::string_view record) {
  const std::vector<std::string> fields = SplitCarets(record);
  if (fields.size() < 4 || Trim(fields[0], kBlanksAndLineBreaks).empty()) return std::nullopt;
  CustomPaperSize size;
  size.name = Trim(fields[0], kBlanksAndLineBreaks);
  size.width = ReadLeadingDecimal(fields[1]);
  size.height = ReadLeadingDecimal(fields[2]);
  size.group = Trim(fields[3], kBlanksAndLineBreaks);
  double* margins[] = {&size.top, &size.left, &size.right, &size.bottom};
  for (size_t i = 0; i < 4 && 4 + i < fields.size(); ++i)
    *margins[i] = ReadLeadingDecimal(fields[4 + i]);
  return size;
}

std::vector<CustomPaperSize> ReadCustomPaperSizes(const SettingsStore& store) {
  std::vector<CustomPaperSize> sizes;
  const int count = StoredCount(store);
  for (int i = 1; i <= count; ++i) {
    if (auto size = ParseCustomPaperRecord(store.ReadSetting(keys::papers::kSection, CustomKey(i))))
      sizes.push_back(std::move(*size));
  }
  return sizes;
}

bool ModelListsCustomGroup(std::string_view name, std::string_view group) {
  // Text comparison with the first group a model cannot print.
  switch (CapabilitiesOf(name).custom_groups) {
    case CustomGroups::kAll:
      return true;
    case CustomGroups::kUpToA3:
      return group < std::string_view("9");
    case CustomGroups::kNarrowOnly:
      break;
  }
  return group < std::string_view("5");
}

std::vector<CustomPaperSize> CustomSizesForModel(const SettingsStore& store,
                                                 std::string_view name) {
  std::vector<CustomPaperSize> listed;
  for (CustomPaperSize& size : ReadCustomPaperSizes(store)) {
    if (ModelListsCustomGroup(name, size.group)) listed.push_back(std::move(size));
  }
  return listed;
}

PaperList BuildPaperList(const SettingsStore& store, std::string_view name) {
  PaperList list;
  const bool a3 = IsA3Model(name);
  for (const PaperSize& paper : kPaperSizes) {
    if (paper.listing == PaperListing::kAllModels ||
        (a3 && paper.listing == PaperListing::kA3Models))
      list.entries.emplace_back(paper.name);
  }
  for (const CustomPaperSize& size : CustomSizesForModel(store, name))
    list.entries.push_back(size.name);
  for (size_t i = 0; i < list.entries.size(); ++i) {
    if (list.entries[i] == "A4") {
      list.selected = static_cast<int>(i);
      break;
    }
  }
  if (list.selected < 0 && !list.entries.empty()) list.selected = 0;
  return list;
}

std::optional<PageSize> LookUpNamedPaper(std::string_view list_text) {
  // Compared in this order; "A4XL 2" stands for "A4XL 216x420mm".
  static constexpr std::pair<std::string_view, std::string_view> kPrefixes[] = {
      {"A3", "A3"},         {"A4 SEF", "A4 SEF"}, {"A4", "A4"},
      {"A4 S4", "A4 S4"},   {"A5 SEF", "A5 SEF"}, {"Mug 90", "Mug 90"},
      {"A6 SEF", "A6 SEF"}, {"A4BC 2", "A4BC 2"}, {"A4XL 2", "A4XL 216x420mm"},
  };
  const std::string_view six = list_text.substr(0, 6);
  for (const auto& [prefix, name] : kPrefixes) {
    if (six != prefix) continue;
    for (const PaperSize& paper : kPaperSizes) {
      if (paper.name == name) return paper.size;
    }
  }
  return std::nullopt;
}

namespace {

// Custom sizes are chosen by their exact name, so that "Mug" does not pick "Big Mug".
const CustomPaperSize* FindCustomSize(const std::vector<CustomPaperSize>& customs,
                                      std::string_view name) {
  if (name.empty()) return nullptr;
  for (const CustomPaperSize& size : customs) {
    if (size.name == name) return &size;
  }
  return nullptr;
}

PageSize RoundedSize(const CustomPaperSize& size) {
  return PageSize{RoundEven(size.width), RoundEven(size.height)};
}

}  // namespace

std::optional<PageSize> PageSizeOfEntry(std::string_view list_text,
                                        const std::vector<CustomPaperSize>& customs, bool* custom) {
  const std::string text(Trim(list_text, kBlanksAndLineBreaks));
  if (custom != nullptr) *custom = false;
  if (std::optional<PageSize> named = LookUpNamedPaper(text)) return named;
  const CustomPaperSize* size = FindCustomSize(customs, text);
  if (size == nullptr) return std::nullopt;
  if (custom != nullptr) *custom = true;
  return RoundedSize(*size);
}

PaperChoice ApplyPaperChoice(const SettingsStore& store, std::string_view list_text,
                             int media_code) {
  PaperChoice choice;
  // These two media bring their own margins.
  if (media_code != 170 && media_code != 198) {
    choice.margins = DefaultMargins();
    choice.default_margins = true;
  }
  const std::string text(Trim(list_text, kBlanksAndLineBreaks));
  if ((choice.page_size = LookUpNamedPaper(text))) return choice;
  const std::vector<CustomPaperSize> customs = ReadCustomPaperSizes(store);
  const CustomPaperSize* size = FindCustomSize(customs, text);
  if (size == nullptr) return choice;
  choice.page_size = RoundedSize(*size);
  if (size->top != 0) {
    // Whole hundredths of a point, as the margins are stored.
    auto stored = [](double points) { return std::lround(points * 100) / 100.0; };
    choice.margins =
        Margins{stored(size->top), stored(size->left), stored(size->right), stored(size->bottom)};
    choice.custom_margins = true;
  }
  choice.lock_multipurpose_tray = size->height > kMultiPurposeOnlyHeightPt;
  return choice;
}

int CustomSizeClass(PaperClass paper_class, std::string_view name) {
  return CapabilitiesOf(name).class3_custom_limits ? 3 : paper_class;
}

CustomSizeLimits LimitsForClass(int size_class, bool for_margins) {
  switch (size_class) {
    case 2:
      return {216, 929.99, 255, 3402.2};
    case 3:
    case 4:
      return {181, 842, 254, for_margins ? 3744.0 : 3744.4};
    default:
      return {178.06, 612.29, 360, 3744.4};
  }
}

RangeTexts CustomSizeRangeTexts(UnitCode unit, PaperClass paper_class, std::string_view name) {
  // [unit][group]: group 0 classes 0 and 1, group 1 the models with the class 3 limits, group 2
  // the other A3 models and the TST4.
  static constexpr std::string_view kTexts[3][3][2] = {
      {{"(63...215.9)", "(127..1320.8)"},
       {"(63.86...297.03)", "(89.61..1320.8)"},
       {"(76.2...328.08)", "(89.96..1200.15)"}},
      {{"(6.3...21.59)", "(12.7..132.08)"},
       {"(6.38...29.70)", "(8.96..132.08)"},
       {"(7.62...32.808)", "(8.996..120.015)"}},
      {{"(2.52...8.50)", "(5.00...52.0)"},
       {"(2.52...11.69)", "(3.53...52.00)"},
       {"(3.00...12.91)", "(3.55...47.25)"}},
  };
  const int row = unit == UnitCode::kMillimetres ? 0 : unit == UnitCode::kCentimetres ? 1 : 2;
  const int column = paper_class < 2 ? 0 : CapabilitiesOf(name).class3_custom_limits ? 1 : 2;
  return {std::string(kTexts[row][column][0]), std::string(kTexts[row][column][1])};
}

CustomSizeCheck CheckCustomSize(double typed_width, double typed_height, UnitCode unit,
                                PaperClass paper_class, std::string_view name, bool for_margins) {
  CustomSizeCheck check;
  check.width_points = PaperLengthToPoints(typed_width, unit);
  check.height_points = PaperLengthToPoints(typed_height, unit);
  const CustomSizeLimits limits = LimitsForClass(CustomSizeClass(paper_class, name), for_margins);
  check.width_ok = InRange(check.width_points, limits.width_min, limits.width_max);
  check.height_ok = InRange(check.height_points, limits.height_min, limits.height_max);
  return check;
}

SaveCustomSizeResult SaveCustomPaperSize(SettingsStore& store, std::string_view name,
                                         double typed_width, double typed_height, UnitCode unit,
                                         PaperClass paper_class, std::string_view model_name,
                                         const CustomPaperSize& margins) {
  const CustomSizeCheck check =
      CheckCustomSize(typed_width, typed_height, unit, paper_class, model_name);
  if (!check.ok()) {
    if (!check.width_ok && !check.height_ok) return SaveCustomSizeResult::kSizeRefused;
    return check.width_ok ? SaveCustomSizeResult::kHeightRefused
                          : SaveCustomSizeResult::kWidthRefused;
  }
  CustomPaperSize size;
  size.name = Trim(name, kBlanksAndLineBreaks);
  if (size.name.empty()) return SaveCustomSizeResult::kEmptyName;
  // A caret would split the name into fields and shift every number of the record.
  if (Contains(size.name, "^")) return SaveCustomSizeResult::kBadName;
  size.width = check.width_points;
  size.height = check.height_points;
  size.group = WidthGroup(size.width);
  size.top = margins.top;
  size.left = margins.left;
  size.right = margins.right;
  size.bottom = margins.bottom;
  const std::string record = FormatCustomPaperRecord(size);
  // The store cuts longer values, which would lose the margins at the record's end.
  if (record.size() > 254) return SaveCustomSizeResult::kNameTooLong;
  const int count = StoredCount(store);
  if (count >= kMaxCustomPaperSizes) return SaveCustomSizeResult::kStoreFailed;
  // The record goes first: a count that names a record that was never written would show a
  // hole; a record beyond the count is simply not read.
  if (!store.WriteSetting(keys::papers::kSection, CustomKey(count + 1), record))
    return SaveCustomSizeResult::kStoreFailed;
  if (!store.WriteSetting(keys::papers::kNumber, std::to_string(count + 1)))
    return SaveCustomSizeResult::kStoreFailed;
  return SaveCustomSizeResult::kSaved;
}

int DeleteCustomPaperSize(SettingsStore& store, std::string_view selected_name) {
  const std::string selected(Trim(selected_name, kBlanksAndLineBreaks));
  const int count = StoredCount(store);
  std::vector<std::string> kept;
  int removed = 0;
  for (int i = 1; i <= count; ++i) {
    std::string record = store.ReadSetting(keys::papers::kSection, CustomKey(i));
    std::optional<CustomPaperSize> size = ParseCustomPaperRecord(record);
    if (size && size->name == selected) {
      ++removed;
      continue;
    }
    kept.push_back(std::move(record));
  }
  if (removed == 0) return 0;
  for (size_t i = 0; i < kept.size(); ++i)
    store.WriteSetting(keys::papers::kSection, CustomKey(static_cast<int>(i) + 1), kept[i]);
  store.WriteSetting(keys::papers::kNumber, std::to_string(kept.size()));
  for (int i = static_cast<int>(kept.size()) + 1; i <= count; ++i)
    store.WriteSetting(keys::papers::kSection, CustomKey(i), "");
  return removed;
}

}  // namespace kelvaro
