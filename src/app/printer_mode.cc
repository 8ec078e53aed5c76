#include "app/printer_mode.h"

#include <utility>

#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

PrinterModeButton SelectedPrinterModeButton(const SettingsStore& store) {
  return store.ReadSetting(keys::active::kPrintSet) == "on" ? PrinterModeButton::kDriverOff
                                                            : PrinterModeButton::kDriverOn;
}

std::string PrinterModeNote(const UiText& texts, PaperClass paper_class) {
  std::string note = texts[ui::kPrinterModeNote];
  if (paper_class != 4) return note;
  static constexpr std::string_view kFrom = "C711WT", kTo = "Y-Mark TST4";
  for (std::size_t at = note.find(kFrom); at != std::string::npos;
       at = note.find(kFrom, at + kTo.size())) {
    note.replace(at, kFrom.size(), kTo);
  }
  return note;
}

bool PressPrinterModeButton(PrinterModeServices services, const std::string& printer,
                            PrinterModeButton button) {
  const bool driver_off = button == PrinterModeButton::kDriverOff;
  const std::string command = PrinterModeBytes(driver_off ? PrinterModeCommand::kConversionOff
                                                          : PrinterModeCommand::kConversionOn);
  // Stored only once the queue took the job: the setting says which mode the printer is in.
  if (!SendModeCommand(services.spool, printer, command)) return false;
  // A failed write has been shown by the store; the printer has its command either way.
  services.store.WriteSetting(keys::active::kPrintSet, driver_off ? "on" : "off");
  if (services.wait) services.wait(kPrinterModeWait);
  return true;
}

PrinterModeModel::PrinterModeModel(PrinterModeServices services, const UiText& texts,
                                   PaperClass paper_class, std::string printer)
    : services_(std::move(services)),
      printer_(std::move(printer)),
      selected_(SelectedPrinterModeButton(services_.store)),
      note_(PrinterModeNote(texts, paper_class)) {}

bool PrinterModeModel::Press(PrinterModeButton button, const std::function<void()>& sent) {
  selected_ = button;
  // The wait after a sent command is the sign that the printer has it.
  PrinterModeServices with_note = services_;
  with_note.wait = [this, &sent](std::chrono::milliseconds time) {
    note_ = "Sent to " + printer_ + ".";
    if (sent) sent();
    if (services_.wait) services_.wait(time);
  };
  return PressPrinterModeButton(with_note, printer_, button);
}

}  // namespace kelvaro
