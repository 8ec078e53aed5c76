#ifndef KELVARO_PLATFORM_CUPS_QUEUES_H_
#define KELVARO_PLATFORM_CUPS_QUEUES_H_

#include <optional>
#include <string>
#include <vector>

namespace kelvaro {

// One installed print queue.
struct PrinterQueue {
  std::string name;
  std::string make_and_model;  // option "printer-make-and-model", may be empty
  std::string info;            // option "printer-info", may be empty
};

// The installed queues, in the print system's order.
struct PrinterQueueListing {
  std::vector<PrinterQueue> queues;
  bool ok = true;     // false when the print system could not be asked
  std::string error;  // the print system's reason when !ok
};

// Where the queue list comes from; the CUPS one in use, a fake in tests.
class PrinterQueueSource {
 public:
  virtual ~PrinterQueueSource() = default;
  virtual PrinterQueueListing ListQueues() = 0;
};

// Asks the CUPS server named by the environment (CUPS_SERVER, client.conf) with
// cupsGetDests2. Named instances of a queue are left out: they send to the same queue.
class CupsQueueSource final : public PrinterQueueSource {
 public:
  PrinterQueueListing ListQueues() override;
};

// After a CUPS call that found no queues: whether the print server could not be asked at all.
bool CupsServerFailed();
// What to say then: "cannot reach the print server at SERVER; is CUPS running?" and the
// library's reason.
std::string CupsServerUnreachableMessage();

// Unprintable margins of a paper, in points.
struct MediaMargins {
  double top = 0;
  double left = 0;
  double right = 0;
  double bottom = 0;
};

// Where the printer's own margins come from; the CUPS media database in use, a fake in tests.
class PrinterMarginSource {
 public:
  virtual ~PrinterMarginSource() = default;
  // The margins of A4 paper on `queue`; nullopt when the queue is gone or does not know A4.
  virtual std::optional<MediaMargins> A4Margins(const std::string& queue) = 0;
};

// Asks CUPS for the queue's "iso_a4_210x297mm" media (cupsGetDestMediaByName); CUPS gives
// the margins in hundredths of a millimetre.
class CupsMarginSource final : public PrinterMarginSource {
 public:
  std::optional<MediaMargins> A4Margins(const std::string& queue) override;
};

// Hundredths of a millimetre to points.
double HundredthsOfMillimetreToPoints(int value);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_CUPS_QUEUES_H_
