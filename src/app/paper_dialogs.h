#ifndef KELVARO_APP_PAPER_DIALOGS_H_
#define KELVARO_APP_PAPER_DIALOGS_H_

// The models of the "Print Margins" and "Custom Paper Size" dialogs.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "printers/margins.h"
#include "printers/paper_sizes.h"
#include "printers/units.h"
#include "settings/settings_store.h"

namespace kelvaro {

class PrinterMarginSource;

// What the margins dialog works on.
struct MarginsDialogInput {
  PageSize page;                          // the page the printable area is shown for
  std::string model_name;                 // the active printer model (minimums)
  std::string queue;                      // the queue selected in the main window
  bool printer_attached = false;          // a printer of the active model is attached
  PrinterMarginSource* source = nullptr;  // where "Get Printer Margins" asks
};

// "Print Margins": four boxes in the display unit, top, left, right and bottom, and the
// printable area. "OK" stores the margins raised to the model's minimums; Enter in a box
// raises the typed values at once.
class MarginsModel {
 public:
  using Boxes = std::array<std::string, 4>;
  MarginsModel(SettingsStore& store, MarginsDialogInput input);

  const MarginsDialogView& view() const { return view_; }
  // "Get Printer Margins" can ask the printer.
  bool can_ask_printer() const;
  // Enter in a box.
  void RaiseTyped(const Boxes& typed);
  // "OK".
  void Accept(const Boxes& typed);
  // "Get Printer Margins": the message to show when the printer did not tell its margins.
  std::optional<std::string> AskPrinter();

 private:
  SettingsStore& store_;
  MarginsDialogInput input_;
  UnitCode unit_;
  MarginsDialogView view_;
};

// "Custom Paper Size": width, height and name in the display unit, checked against the
// printer class; Save, Delete, and Print Margins, which runs the margins dialog for the typed
// size and keeps what it returns for the next Save.
class CustomPaperModel {
 public:
  // `open_margins` shows the margins dialog for a page size.
  CustomPaperModel(SettingsStore& store, std::string model_name, PaperClass paper_class,
                   std::function<void(PageSize)> open_margins);

  UnitCode unit() const { return unit_; }
  RangeTexts ranges() const;
  // The list of stored sizes of the model, and the entry selected in it.
  const std::vector<std::string>& sizes() const { return sizes_; }
  int selected() const { return selected_; }

  // What the boxes show after a button: a refused width or height shows kRefusedSizeText.
  struct Typed {
    std::string width;
    std::string height;
    std::string name;
  };
  struct SaveOutcome {
    bool saved = false;   // the list was filled again, the new size selected
    std::string message;  // what to show; empty for nothing
  };
  // "Save": `typed` is left as the boxes show afterwards.
  SaveOutcome Save(Typed& typed);
  // "Print Margins".
  void AskMargins(Typed& typed);
  // "Delete" with the list's current text; true when the list was filled again.
  bool Delete(const std::string& selected_text);

 private:
  // The typed size checked; a refused box is set to show "----". nullopt when refused.
  std::optional<CustomSizeCheck> Check(Typed& typed, bool for_margins) const;
  void FillList(const std::string& select);

  SettingsStore& store_;
  std::string model_name_;
  PaperClass paper_class_;
  std::function<void(PageSize)> open_margins_;
  UnitCode unit_;
  CustomPaperSize margins_;  // from the last Print Margins; all 0 before
  std::vector<std::string> sizes_;
  int selected_ = 0;
};

// A typed length: the number the whole box holds; text that is no number gives -1, which the
// range check refuses.
double TypedLength(const std::string& text);

}  // namespace kelvaro

#endif  // KELVARO_APP_PAPER_DIALOGS_H_
