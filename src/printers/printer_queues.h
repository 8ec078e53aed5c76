#ifndef KELVARO_PRINTERS_PRINTER_QUEUES_H_
#define KELVARO_PRINTERS_PRINTER_QUEUES_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/cups_queues.h"

namespace kelvaro {

// The main window's printer list: the queues jobs can be sent to.
struct PrinterQueueList {
  std::vector<std::string> entries;
  int selected = -1;          // the first entry; -1 for an empty list
  bool model_matched = true;  // false: no queue belongs to the model, every queue is listed
  std::string status;         // status line text; empty when queues of the model were found
};

// At most this many queues are listed.
inline constexpr size_t kMaxListedQueues = 200;

// The upper-case key a queue must contain to belong to the model: the upper-cased model name,
// or "711WT" for "C711WT" and "PRO711WT" so that every queue of that family qualifies.
std::string QueueSearchKey(std::string_view active_model_name);

// The queues of `listing` that belong to the model: those whose upper-cased name,
// "printer-make-and-model" or "printer-info" contains the search key, in the print system's
// order. When none does, every queue is listed and the status says so; when the print system
// could not be asked, the list is empty and the status tells why.
PrinterQueueList FillPrinterQueueList(std::string_view active_model_name,
                                      const PrinterQueueListing& listing);
PrinterQueueList FillPrinterQueueList(std::string_view active_model_name,
                                      PrinterQueueSource& source);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_PRINTER_QUEUES_H_
