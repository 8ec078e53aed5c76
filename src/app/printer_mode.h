#ifndef KELVARO_APP_PRINTER_MODE_H_
#define KELVARO_APP_PRINTER_MODE_H_

// The Printer Mode window's rules, so that the window and `kelvaro mode` only call them.

#include <chrono>
#include <functional>
#include <string>

#include "job/printer_mode.h"
#include "job/spool_output.h"
#include "printers/printer_models.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The window's two mode buttons. "Driver Off" turns the printer's conversion off and stores
// "Print Set" = "on" (the program's own conversion is on); "Driver On" the other way round.
enum class PrinterModeButton { kDriverOn, kDriverOff };

// The button shown as selected when the window opens: "Driver Off" when "Print Set" is
// "on", else "Driver On".
PrinterModeButton SelectedPrinterModeButton(const SettingsStore& store);

// The window's note, UiText 136, naming the TST4 instead of the C711WT for paper class 4.
std::string PrinterModeNote(const UiText& texts, PaperClass paper_class);

// How long the window stays after a command was sent, so the printer has taken it before the
// next job can follow.
inline constexpr std::chrono::milliseconds kPrinterModeWait{1000};

struct PrinterModeServices {
  SettingsStore& store;
  SpoolServices spool;
  // Waits the given time; tests pass one that only records it.
  std::function<void(std::chrono::milliseconds)> wait;
};

// A press of a mode button: sends the button's command to `printer` with SendModeCommand,
// then stores "Print Set" and waits kPrinterModeWait. A job the queue refused has been shown
// to the user, stores nothing and does not wait; returns false then.
bool PressPrinterModeButton(PrinterModeServices services, const std::string& printer,
                            PrinterModeButton button);

// The "Printer Mode" window: "Driver On" and "Driver Off" send their command to the printer
// selected in the main window; "Exit" sends nothing.
class PrinterModeModel {
 public:
  PrinterModeModel(PrinterModeServices services, const UiText& texts, PaperClass paper_class,
                   std::string printer);
  PrinterModeButton selected() const { return selected_; }
  const std::string& note() const { return note_; }
  // A press: the button becomes the selected one and its command is sent. Once the queue
  // took the job, the note says so and `sent` runs before the wait, so that the window can
  // show it. false when the job was refused.
  bool Press(PrinterModeButton button, const std::function<void()>& sent);

 private:
  PrinterModeServices services_;
  std::string printer_;
  PrinterModeButton selected_;
  std::string note_;
};

}  // namespace kelvaro

#endif  // KELVARO_APP_PRINTER_MODE_H_
