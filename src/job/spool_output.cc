#include "job/spool_output.h"

namespace kelvaro {
namespace {

void ReportFailure(Notifier& notifier, const std::string& printer, const SpoolResult& result) {
  notifier.Show(kProgramTitle, "The job was not printed on \"" + printer + "\":\r\n" + result.error,
                MessageIcon::kError);
}

}  // namespace

std::string SpoolerPrinterName(const std::string& printer) {
  // A job file is named by its path, which must stay whole.
  if (printer.rfind(kFileQueuePrefix, 0) == 0) return printer;
  return printer.substr(0, kMaxPrinterNameLength);
}

bool SendRawJob(SpoolServices services, const std::string& printer, const std::string& document,
                std::string& header, std::string_view data, std::string& trailer) {
  services.progress.SetStatus(services.texts[40]);
  const std::string queue = SpoolerPrinterName(printer);
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
  services.progress.SetStatus(services.texts[41]);
  return true;
}

bool SendPrinterModeJob(SpoolServices services, const std::string& printer, std::string block) {
  const std::string queue = SpoolerPrinterName(printer);
  block.push_back(kEndOfJob);
  SpoolResult result = services.spooler.SendRaw(queue, kPrinterModeJobName, {block}, nullptr);
  if (!result.ok) ReportFailure(services.notifier, queue, result);
  return result.ok;
}

}  // namespace kelvaro
