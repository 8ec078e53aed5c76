#include "job/spool_output.h"

#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

void ReportFailure(Notifier& notifier, const std::string& printer, const SpoolResult& result) {
  notifier.Show(kProgramTitle, "The job was not printed on \"" + printer + "\":\r\n" + result.error,
                MessageIcon::kError);
}

}  // namespace

QueueCheck CheckQueueBeforeJob(SpoolServices services, const std::string& printer) {
  QueueCheck ready = services.spooler.CheckQueue(printer);
  if (!ready.ok) ReportFailure(services.notifier, printer, SpoolResult{false, ready.error});
  return ready;
}

void ReportQueueNote(Notifier& notifier, const QueueCheck& check) {
  // A job in a stopped queue does not print yet; the user must know to start the queue.
  if (!check.note.empty()) notifier.Show(kProgramTitle, check.note, MessageIcon::kWarning);
}

bool SendRawJob(SpoolServices services, const std::string& printer, const std::string& document,
                std::string& header, const JobBlock& data, std::string& trailer) {
  services.progress.SetStatus(services.texts[ui::kPrintingStatus]);
  // The queue is named in full: queue names may be far longer than 49 characters, and a cut
  // name would be another queue or none.
  const std::string& queue = printer;
  trailer.push_back(kEndOfJob);
  static constexpr int kProgressBeforeBlock[] = {10, 20, 90};
  SpoolResult result = services.spooler.SendRaw(
      queue, document, {header, data, trailer},
      [&](std::size_t block) { services.progress.SetProgress(kProgressBeforeBlock[block], 100); });
  // The job strings are large; free them whatever happened.
  std::string().swap(header);
  std::string().swap(trailer);
  if (!result.ok) {
    ReportFailure(services.notifier, queue, result);
    return false;
  }
  services.progress.SetProgress(100, 100);
  services.progress.SetStatus(services.texts[ui::kSentToPrinterStatus]);
  return true;
}

bool SendPrinterModeJob(SpoolServices services, const std::string& printer, std::string block) {
  const std::string& queue = printer;
  block.push_back(kEndOfJob);
  SpoolResult result = services.spooler.SendRaw(queue, kPrinterModeJobName, {block}, nullptr);
  if (!result.ok) ReportFailure(services.notifier, queue, result);
  return result.ok;
}

}  // namespace kelvaro
