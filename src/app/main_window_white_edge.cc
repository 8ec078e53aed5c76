// The white edge controls of the main-window model: the width, Choke / Spread, and their
// rule that they are usable only while white is printed.
#include <cstdlib>

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "settings/job_settings.h"
#include "settings/keys.h"

namespace kelvaro {
namespace {

namespace c = control;

constexpr int kSpreadIndex = 1;

}  // namespace

int MainWindowModel::WhiteEdge() const {
  const int width = Value(c::kWhiteEdgeWidth);
  return Control(c::kWhiteEdgeMode).selected == kSpreadIndex ? -width : width;
}

void MainWindowModel::ShowWhiteEdge(int hundredths_mm) {
  SetValue(c::kWhiteEdgeWidth, std::abs(hundredths_mm));
  // A zero width keeps the way chosen, so that the user can go back up from 0.
  if (hundredths_mm != 0) SelectItem(c::kWhiteEdgeMode, hundredths_mm < 0 ? kSpreadIndex : 0);
}

void MainWindowModel::SetWhiteEdge(int hundredths_mm) {
  const int snapped = SnapWhiteEdge(hundredths_mm / 100.0);
  if (snapped == WhiteEdge()) return;
  ShowWhiteEdge(snapped);
  if (from_store_depth_ == 0) {
    store_.WriteSetting(keys::active::kWhiteEdge, FormatWhiteEdge(WhiteEdge()));
  }
}

void MainWindowModel::ChangeWhiteEdge(double width_mm, bool spread) {
  if (!IsEnabled(c::kWhiteEdgeWidth)) return;
  const int width = std::abs(SnapWhiteEdge(width_mm));
  const int before = WhiteEdge();
  SelectItem(c::kWhiteEdgeMode, spread ? kSpreadIndex : 0);
  SetValue(c::kWhiteEdgeWidth, width);
  if (WhiteEdge() != before && from_store_depth_ == 0) {
    store_.WriteSetting(keys::active::kWhiteEdge, FormatWhiteEdge(WhiteEdge()));
  }
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::ChangeWhiteEdgeWidth(double width_mm) {
  ChangeWhiteEdge(width_mm, Control(c::kWhiteEdgeMode).selected == kSpreadIndex);
}

void MainWindowModel::ApplyStoredWhiteEdge(int hundredths_mm) {
  FromStore stored(*this);
  SetWhiteEdge(hundredths_mm);
}

void MainWindowModel::SyncWhiteEdgeEnabled() {
  const bool usable = IsChecked(c::kPrintWhite);
  for (int id : {c::kWhiteEdgeLabel, c::kWhiteEdgeWidth, c::kWhiteEdgeMode}) {
    SetEnabled(id, usable);
  }
}

}  // namespace kelvaro
