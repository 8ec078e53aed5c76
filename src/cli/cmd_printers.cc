// `kelvaro printers [--model KEY]`: which printer model the program works for, the USB
// printers it sees and the print queues it would offer for that model. One item per line:
//   Model: C920WT
//   Paper class: 2
//   Attached printer: C920WT, serial AK12345      (or "Attached printer: none")
//   USB printer: OKI C920WT(PS) [vid_06bc&pid_02d6], serial AK12345
//   USB printer: unknown device [vid_04b8&pid_0005]
//   Queue: C920WT_Shop (selected)                 (the stored printer, else the first)
//   Queue: Office_C920WT
//   Note: ...                                      (when no queue belongs to the model)

#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/cups_queues.h"
#include "platform/usb_printers.h"
#include "printers/printer_models.h"
#include "printers/printer_queues.h"
#include "settings/keys.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "printers";
constexpr char kUsage[] = "printers [--model KEY]";

std::string SerialText(const std::string& serial) {
  return serial.empty() ? std::string("no serial") : "serial " + serial;
}

}  // namespace

int RunPrintersCommand(const Args& arguments) {
  int status = 0;
  std::optional<ModelCommand> started = StartModelCommand(arguments, kCommand, kUsage, status);
  if (!started) return status;
  const std::unique_ptr<CliSession>& session = started->session;
  const ModelChoice& model = started->model;
  const ActiveModel active = ApplyActiveModel(model.name);
  const std::vector<std::string> usb_entries = ReadUsbPrinterEntries(UsbSysfsRoot());

  std::printf("Model: %s\n", model.name.c_str());
  std::printf("Paper class: %d\n", active.paper_class);

  if (std::optional<AttachedPrinter> attached = FindAttachedPrinter(model.name, usb_entries)) {
    std::printf("Attached printer: %s, %s\n", attached->label.c_str(),
                SerialText(attached->serial).c_str());
  } else {
    std::printf("Attached printer: none\n");
  }
  for (const AttachedPrinter& printer : ListAttachedPrinters(usb_entries)) {
    if (printer.display_name.empty()) {
      std::printf("USB printer: unknown device [%s]\n", printer.label.c_str());
    } else {
      std::printf("USB printer: %s [%s], %s\n", printer.display_name.c_str(), printer.label.c_str(),
                  SerialText(printer.serial).c_str());
    }
  }

  CupsQueueSource source;
  const PrinterQueueListing listing = source.ListQueues();
  const PrinterQueueList queues = FillPrinterQueueList(model.name, listing);
  // The window selects the queue the user printed to last when it is still in the list.
  int selected = queues.selected;
  const std::string stored = session->store.ReadSetting(keys::active::kPrinter);
  for (std::size_t i = 0; i < queues.entries.size(); ++i) {
    if (queues.entries[i] == stored) selected = static_cast<int>(i);
  }
  for (std::size_t i = 0; i < queues.entries.size(); ++i) {
    std::printf("Queue: %s%s\n", queues.entries[i].c_str(),
                static_cast<int>(i) == selected ? " (selected)" : "");
  }
  if (queues.entries.empty()) std::printf("Queue: none\n");
  std::fflush(stdout);
  if (!listing.ok) {
    // The list above is empty only because the print system did not answer.
    std::fprintf(stderr, "kelvaro %s: %s\n", kCommand, listing.error.c_str());
    return 1;
  }
  if (!queues.status.empty()) std::printf("Note: %s\n", queues.status.c_str());
  return 0;
}

}  // namespace kelvaro::cli
