#include "platform/cups_queues.h"

#include <cups/cups.h>

#include "platform/length_units.h"

namespace kelvaro {

namespace {

std::string OptionValue(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

bool CupsServerFailed() {
  return cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
         cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND;
}

std::string CupsServerUnreachableMessage() {
  // The library's own words ("Bad file descriptor", "No such file or directory") say
  // little to a print shop; the likely cause comes first.
  const char* reason = cupsLastErrorString();
  std::string message =
      std::string("cannot reach the print server at ") + cupsServer() + "; is CUPS running?";
  if (reason != nullptr && *reason != '\0') message += std::string(" (") + reason + ")";
  return message;
}

PrinterQueueListing CupsQueueSource::ListQueues() {
  PrinterQueueListing listing;
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  // An empty answer is either "no queues" or "no server"; only the last error tells.
  if (count == 0 && CupsServerFailed()) {
    listing.ok = false;
    listing.error = CupsServerUnreachableMessage();
  }
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& dest = dests[i];
    if (dest.name == nullptr || dest.instance != nullptr) continue;
    listing.queues.push_back({dest.name, OptionValue(dest, "printer-make-and-model"),
                              OptionValue(dest, "printer-info")});
  }
  cupsFreeDests(count, dests);
  return listing;
}

double HundredthsOfMillimetreToPoints(int value) { return MillimetresToPoints(value / 100.0); }

std::optional<MediaMargins> CupsMarginSource::A4Margins(const std::string& queue) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (dest == nullptr) return std::nullopt;
  std::optional<MediaMargins> margins;
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (info != nullptr) {
    cups_size_t size{};
    if (cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, "iso_a4_210x297mm",
                               CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
      margins = MediaMargins{
          HundredthsOfMillimetreToPoints(size.top), HundredthsOfMillimetreToPoints(size.left),
          HundredthsOfMillimetreToPoints(size.right), HundredthsOfMillimetreToPoints(size.bottom)};
    }
    cupsFreeDestInfo(info);
  }
  cupsFreeDests(1, dest);
  return margins;
}

}  // namespace kelvaro
