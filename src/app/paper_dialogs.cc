#include "app/paper_dialogs.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

#include "app/dialog_rules.h"
#include "platform/text_helpers.h"

namespace kelvaro {

MarginsModel::MarginsModel(SettingsStore& store, MarginsDialogInput input)
    : store_(store),
      input_(std::move(input)),
      unit_(ReadUnit(store)),
      view_(OpenMarginsDialog(store_, input_.page, unit_, input_.queue, input_.printer_attached)) {}

bool MarginsModel::can_ask_printer() const {
  return view_.get_printer_margins_enabled && input_.source != nullptr;
}

void MarginsModel::RaiseTyped(const Boxes& typed) {
  view_ = RaiseTypedMargins(typed, input_.page, unit_);
}

void MarginsModel::Accept(const Boxes& typed) {
  AcceptMarginsDialog(store_, typed, unit_, input_.model_name);
}

std::optional<std::string> MarginsModel::AskPrinter() {
  if (input_.source == nullptr) return std::nullopt;
  const std::optional<MarginsDialogView> asked =
      GetPrinterMargins(*input_.source, input_.queue, input_.page, unit_);
  if (!asked) {
    return "The printer " + input_.queue + " did not tell its margins for A4 paper.";
  }
  view_ = *asked;
  return std::nullopt;
}

double TypedLength(const std::string& text) {
  const std::string trimmed = std::string(Trim(text, kBlanksAndLineBreaks));
  std::string_view number = trimmed;
  // A leading "+" is allowed, as anywhere a number is typed.
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || error != std::errc() || end != number.data() + number.size()) return -1;
  return value;
}

CustomPaperModel::CustomPaperModel(SettingsStore& store, std::string model_name,
                                   PaperClass paper_class,
                                   std::function<void(PageSize)> open_margins)
    : store_(store),
      model_name_(std::move(model_name)),
      paper_class_(paper_class),
      open_margins_(std::move(open_margins)),
      unit_(ReadUnit(store)) {
  FillList({});
}

RangeTexts CustomPaperModel::ranges() const {
  return CustomSizeRangeTexts(unit_, paper_class_, model_name_);
}

void CustomPaperModel::FillList(const std::string& select) {
  sizes_.clear();
  for (const CustomPaperSize& size : CustomSizesForModel(store_, model_name_)) {
    sizes_.push_back(size.name);
  }
  selected_ = 0;
  for (std::size_t i = 0; !select.empty() && i < sizes_.size(); ++i) {
    if (sizes_[i] == select) {
      selected_ = static_cast<int>(i);
      break;
    }
  }
}

std::optional<CustomSizeCheck> CustomPaperModel::Check(Typed& typed, bool for_margins) const {
  const CustomSizeCheck check = CheckCustomSize(TypedLength(typed.width), TypedLength(typed.height),
                                                unit_, paper_class_, model_name_, for_margins);
  if (!check.width_ok) typed.width = kRefusedSizeText;
  if (!check.height_ok) typed.height = kRefusedSizeText;
  if (!check.ok()) return std::nullopt;
  return check;
}

CustomPaperModel::SaveOutcome CustomPaperModel::Save(Typed& typed) {
  if (!Check(typed, false)) return {};
  const std::string name = std::string(Trim(typed.name, kBlanksAndLineBreaks));
  switch (SaveCustomPaperSize(store_, name, TypedLength(typed.width), TypedLength(typed.height),
                              unit_, paper_class_, model_name_, margins_)) {
    case SaveCustomSizeResult::kSaved:
      FillList(name);
      // A size the model does not list (a wider group) is still shown as saved.
      if (sizes_.empty() || sizes_[selected_] != name) {
        sizes_.push_back(name);
        selected_ = static_cast<int>(sizes_.size()) - 1;
      }
      return {true, {}};
    case SaveCustomSizeResult::kBadName:
      return {false, "The name cannot contain \"^\"."};
    case SaveCustomSizeResult::kNameTooLong:
      return {false, "The name is too long to be stored."};
    default:  // an empty name saves nothing; a refused size already shows "----"
      return {};
  }
}

void CustomPaperModel::AskMargins(Typed& typed) {
  const std::optional<CustomSizeCheck> check = Check(typed, true);
  if (!check) return;
  const PageSize page{static_cast<int>(std::nearbyint(check->width_points)),
                      static_cast<int>(std::nearbyint(check->height_points))};
  margins_ = CustomSizeMarginsFromDialog(store_, page, open_margins_);
}

bool CustomPaperModel::Delete(const std::string& selected_text) {
  const std::string selected = std::string(Trim(selected_text, kBlanksAndLineBreaks));
  if (selected.empty()) return false;
  DeleteCustomPaperSize(store_, selected);
  FillList({});
  return true;
}

}  // namespace kelvaro
