// The recent-file reader on arbitrary bytes: "Lastfile.exini" may be short, long or damaged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"
#include "settings/recent_files.h"

using namespace kelvaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const RecentFiles files = ParseRecentFiles(bytes);
  for (const std::string& slot : files.slots) {
    if (Utf8ToUtf16(slot).size() > kRecentPathUnits) std::abort();
    (void)RecentFileMenuLabel(slot);
  }

  // Whatever was read is written as exactly six full records, and writing what we read back
  // changes nothing.
  const std::string written = FormatRecentFiles(files);
  if (written.size() != kRecentFilesBytes) std::abort();
  for (int record = 0; record < 6; ++record) {
    if (written[record * kRecentRecordBytes] != '1' + record ||
        written[record * kRecentRecordBytes + 1] != '\0') {
      std::abort();
    }
  }
  const RecentFiles reread = ParseRecentFiles(written);
  if (FormatRecentFiles(reread) != written) std::abort();

  // Opening a file of the list keeps one entry of it, on top.
  if (!reread.slots[2].empty() && reread.slots[2].front() != ' ') {
    const RecentFiles moved = WithFileOnTop(reread, reread.slots[2]);
    if (moved.slots[0] != reread.slots[2]) std::abort();
    const RecentFiles removed = WithoutSlot(moved, 1);
    if (!removed.slots[4].empty()) std::abort();
  }
  return 0;
}
