#ifndef KELVARO_PRINTERS_MARGINS_H_
#define KELVARO_PRINTERS_MARGINS_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "printers/paper_sizes.h"
#include "printers/units.h"
#include "settings/job_settings.h"  // kDefaultSideMargin, kDefaultBottomMargin

namespace kelvaro {

class SettingsStore;
class PrinterMarginSource;

// The lowest margins the printers accept, in points: 12, 12.84, 12.36, 12.13 when the
// upper-cased model name contains "RICOH" or "IMEX"; 12.96, 12.96, 12.96, 13.08 otherwise.
Margins MinimumMargins(std::string_view active_model_name);
// Each side raised to its minimum (the larger of the two).
Margins RaiseToMinimum(const Margins& margins, const Margins& minimum);

// [Active] Top/Left/Right/Bottom Margin divided by 100: points.
Margins ReadMargins(const SettingsStore& store);
// Writes each margin × 100, rounded to a whole number, as decimal text. Returns false when
// a write failed (the store told the user).
bool WriteMargins(SettingsStore& store, const Margins& margins);
// The margins every start and every Load Defaults begins with.
Margins DefaultMargins();
// "Top Margin Backup" ... "Bottom Margin Backup", where a medium with margins of its own keeps
// the user's: read and written as the margins are.
Margins ReadBackupMargins(const SettingsStore& store);
bool WriteBackupMargins(SettingsStore& store, const Margins& margins);

// Page area inside the margins, in points.
struct PrintableArea {
  double width = 0;
  double height = 0;
};
PrintableArea ComputePrintableArea(PageSize page, const Margins& margins);

// The margins dialog's boxes and area text, in the display unit with mask "###.##".
struct MarginsDialogView {
  std::array<std::string, 4> boxes;  // top, left, right, bottom
  std::string area;                  // "###.## x ###.##"
  int unit_name_text = 77;           // UiText number of the unit's name
  bool get_printer_margins_enabled = false;
};

// The dialog as it opens: stored margins shown with the rounded factors (0.3528 mm,
// 0.03528 cm). "Get Printer Margins" is offered only when a queue is selected in the main
// window and a printer of the active model is attached.
MarginsDialogView OpenMarginsDialog(const SettingsStore& store, PageSize page, UnitCode unit,
                                    std::string_view selected_queue, bool printer_attached);

// Enter in one of the boxes: typed values (display unit; unreadable text counts as 0) raised
// to the display-unit minimums of the common models (mm 4.57/4.57/4.57/4.61, cm
// 0.457/0.457/0.457/0.461, in 0.18/0.18/0.18/0.19), and the area redisplayed with the
// margins converted as on "OK".
MarginsDialogView RaiseTypedMargins(const std::array<std::string, 4>& typed, PageSize page,
                                    UnitCode unit);

// "Get Printer Margins": the queue's own A4 margins, shown with the exact factors. nullopt
// when the print system cannot tell them. Nothing is stored.
std::optional<MarginsDialogView> GetPrinterMargins(PrinterMarginSource& source,
                                                   const std::string& queue, PageSize page,
                                                   UnitCode unit);

// "OK": typed values to points (mm × 2.8346, cm × 28.346, in × 72), raised to the model's
// minimum and stored. Returns the stored margins in points.
Margins AcceptMarginsDialog(SettingsStore& store, const std::array<std::string, 4>& typed,
                            UnitCode unit, std::string_view active_model_name);

// An image size in points.
struct ImageSize {
  double width = 0;
  double height = 0;
};

// The main window's fit command. Scales `current` to fill the printable area; when it
// already fills it (scale between 0.99999 and 1) the command toggles back to the image's own
// size if that fits (with `rotate` the own size is taken turned a quarter). An image or area
// without size is returned unchanged.
ImageSize FitToPrintableArea(ImageSize current, ImageSize own, PrintableArea area, bool rotate);

// With one copy across and down, a picture larger than the printable area is fitted: once
// when it is too tall, and again when it is still too wide.
ImageSize AutoFitSingleCopy(ImageSize current, ImageSize own, PrintableArea area, bool rotate,
                            int copies_across, int copies_down);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_MARGINS_H_
