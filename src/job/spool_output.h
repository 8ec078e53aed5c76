#ifndef KELVARO_JOB_SPOOL_OUTPUT_H_
#define KELVARO_JOB_SPOOL_OUTPUT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/notifier.h"
#include "platform/spooler.h"
#include "settings/ui_text.h"

namespace kelvaro {

// Document names of the fixed jobs.
inline constexpr char kBlankJobName[] = "QV-Blank";
inline constexpr char kPrinterModeJobName[] = "Zeph print";

// The end-of-transmission byte every job ends with.
inline constexpr char kEndOfJob = '\x04';

struct SpoolServices {
  Spooler& spooler;
  Notifier& notifier;
  ProgressSink& progress;
  const UiText& texts;
};

// Sends an image or blank-page job (header, data, trailer) as one RAW document: status
// "Printing", progress 10, 20, 90 before the blocks, 100 and status "Sent to Printer" after.
// Appends the 0x04 byte to the trailer. Empties header and trailer either way; the image data
// is made as it is sent (see `TiledImage`) and the caller frees what it is made from. A failure is
// shown to the user and leaves the status line on "Printing"; returns false then.
bool SendRawJob(SpoolServices services, const std::string& printer, const std::string& document,
                std::string& header, const JobBlock& data, std::string& trailer);

// Asks the spooler whether `printer` takes jobs, before a job is built for it. A print server
// that does not answer, a queue that is not there or one that rejects jobs is shown as the
// failure of the print; the answer's `ok` is false then.
QueueCheck CheckQueueBeforeJob(SpoolServices services, const std::string& printer);
// After a job went to a queue that holds it (stopped): says so as a warning.
void ReportQueueNote(Notifier& notifier, const QueueCheck& check);

// Sends a one-block printer-mode job; no status or progress. Returns false after showing
// the failure.
bool SendPrinterModeJob(SpoolServices services, const std::string& printer, std::string block);

}  // namespace kelvaro

#endif  // KELVARO_JOB_SPOOL_OUTPUT_H_
