#include "printers/printer_queues.h"

#include <cctype>

#include "platform/text_helpers.h"

namespace kelvaro {

namespace {

bool Holds(std::string_view text, const std::string& key) {
  return AsciiUpper(text).find(key) != std::string::npos;
}

}  // namespace

std::string QueueSearchKey(std::string_view active_model_name) {
  std::string key = AsciiUpper(active_model_name);
  if (key == "C711WT" || key == "PRO711WT") key = "711WT";
  return key;
}

PrinterQueueList FillPrinterQueueList(std::string_view active_model_name,
                                      const PrinterQueueListing& listing) {
  PrinterQueueList list;
  if (!listing.ok) {
    list.status =
        "No printer queues: " +
        (listing.error.empty() ? std::string("the print system did not answer") : listing.error);
    return list;
  }
  const std::string key = QueueSearchKey(active_model_name);
  std::vector<std::string> every;
  for (const PrinterQueue& queue : listing.queues) {
    if (queue.name.empty() || every.size() >= kMaxListedQueues) break;
    every.push_back(queue.name);
    if (key.empty()) continue;
    if (Holds(queue.name, key) || Holds(queue.make_and_model, key) || Holds(queue.info, key))
      list.entries.push_back(queue.name);
  }
  if (every.empty()) {
    list.status = "No printer queues are installed";
  } else if (list.entries.empty()) {
    list.entries = std::move(every);
    list.model_matched = false;
    list.status =
        "No printer queue for " + std::string(active_model_name) + " found; all queues are listed";
  }
  if (!list.entries.empty()) list.selected = 0;
  return list;
}

PrinterQueueList FillPrinterQueueList(std::string_view active_model_name,
                                      PrinterQueueSource& source) {
  return FillPrinterQueueList(active_model_name, source.ListQueues());
}

}  // namespace kelvaro
