#include "settings/recent_files.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/file_lock.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "settings/settings_store.h"

namespace kelvaro {
namespace fs = std::filesystem;

namespace {

// The folder part of a path, with its trailing separator; "" when it has none.
std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::u16string RecordPath(std::string_view path) {
  std::u16string units = Utf8ToUtf16(Trim(path, kBlanks));
  if (units.size() > kRecentPathUnits) {
    std::size_t keep = kRecentPathUnits;
    // Never keep the first half of a surrogate pair alone.
    if (units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
    units.resize(keep);
  }
  return units;
}

// Parses the whole text as a slot number 1 to 5; 0 when it is anything else.
int SlotNumber(std::string_view argument) {
  argument = Trim(argument, kBlanks);
  if (argument.size() != 1 || argument[0] < '1' || argument[0] > '5') return 0;
  return argument[0] - '0';
}

}  // namespace

fs::path RecentFilesPath(const fs::path& user_folder) { return user_folder / kRecentFilesFileName; }

RecentFiles ParseRecentFiles(std::string_view bytes) {
  RecentFiles files;
  for (std::size_t record = 0; record < files.slots.size(); ++record) {
    const std::size_t start = record * kRecentRecordBytes + 2;  // skip the record number
    if (start >= bytes.size()) break;
    std::u16string units = Utf16LeBytesToUnits(bytes.substr(start, kRecentRecordBytes - 2));
    units.resize(std::min(units.find(u'\0'), units.size()));
    while (!units.empty() && units.back() == u' ') units.pop_back();
    files.slots[record] = Utf16ToUtf8(units);
  }
  return files;
}

std::string FormatRecentFiles(const RecentFiles& files) {
  std::u16string units;
  units.reserve(kRecentFilesBytes / 2);
  const auto add_record = [&](int number, std::string_view path) {
    units.push_back(static_cast<char16_t>(u'0' + number));
    const std::u16string text = RecordPath(path);
    units += text;
    units.append(kRecentPathUnits - text.size(), u' ');
  };
  for (int slot = 0; slot < kRecentFileSlots; ++slot) add_record(slot + 1, files.slots[slot]);
  add_record(6, FolderOf(Trim(files.slots[0], kBlanks)));
  return UnitsToUtf16LeBytes(units);
}

RecentFiles LoadRecentFiles(const fs::path& user_folder) {
  const auto bytes = ReadWholeFile(RecentFilesPath(user_folder));
  return bytes ? ParseRecentFiles(*bytes) : RecentFiles{};
}

std::string ReadRecentFile(const fs::path& user_folder, int n) {
  if (n < 0 || n > kRecentFileSlots) return "";
  const RecentFiles files = LoadRecentFiles(user_folder);
  return n == 0 ? files.folder() : files.slots[static_cast<std::size_t>(n - 1)];
}

std::string ReadRecentFile(const fs::path& user_folder, std::string_view n) {
  const long number = ReadLeadingNumber(n);
  if (number < 0 || number > kRecentFileSlots) return "";
  return ReadRecentFile(user_folder, static_cast<int>(number));
}

std::string ReadNewestFile(const fs::path& user_folder) { return ReadRecentFile(user_folder, 1); }

RecentFiles WithFileOnTop(RecentFiles files, std::string_view path) {
  const std::string wanted(Trim(path, kBlanks));
  auto& slots = files.slots;
  int found = -1;
  for (int i = 0; i < kRecentFileSlots; ++i) {
    if (Trim(slots[i], kBlanks) == wanted) {
      found = i;
      break;
    }
  }
  if (found == 0) return files;
  if (found > 0) {
    for (int i = found; i > 0; --i) std::swap(slots[i], slots[i - 1]);
  } else {
    for (int i = kRecentFileSlots - 1; i > 0; --i) slots[i] = std::move(slots[i - 1]);
    slots[0] = wanted;
  }
  return files;
}

RecentFiles WithoutSlot(RecentFiles files, int k) {
  if (k < 1 || k > kRecentFileSlots) return files;
  for (int i = k - 1; i < kRecentFileSlots - 1; ++i) files.slots[i] = std::move(files.slots[i + 1]);
  files.slots[kRecentFileSlots - 1].clear();
  return files;
}

RecentFilesUpdate UpdateRecentFiles(const fs::path& user_folder, std::string_view argument) {
  // Another copy of the program may update the list at the same time; neither change is lost.
  const FileLock lock(RecentFilesPath(user_folder));
  int read_error = 0;
  const std::optional<std::string> stored =
      ReadWholeFile(RecentFilesPath(user_folder), &read_error);
  RecentFiles files = stored ? ParseRecentFiles(*stored) : RecentFiles{};
  const int slot = SlotNumber(argument);
  files =
      slot != 0 ? WithoutSlot(std::move(files), slot) : WithFileOnTop(std::move(files), argument);
  const std::string bytes = FormatRecentFiles(files);
  RecentFilesUpdate update;
  if (!stored && read_error != kErrorFileNotFound) {
    // A list that is there but cannot be read is not replaced by one made without it.
    update.write = {false, read_error};
  } else {
    update.write = WriteFileAtomically(RecentFilesPath(user_folder), bytes);
  }
  // The list as the file now holds it: trimmed, cut, with the folder of the newest.
  update.files = ParseRecentFiles(bytes);
  return update;
}

int SlotOfMenuEntry(const RecentFiles& files, int entry) {
  int shown = 0;
  for (int slot = 1; slot <= kRecentFileSlots; ++slot) {
    if (!files.slots[slot - 1].empty() && ++shown == entry) return slot;
  }
  return 0;
}

std::string RecentFileMenuLabel(std::string_view path) {
  const std::size_t chars = CountChars(path);
  if (chars <= 35) return std::string(path);
  const std::string head = CutToChars(path, 3);
  // The last 32 characters: skip all but them from the front.
  std::size_t skip = CutToChars(path, chars - 32).size();
  return head + "..." + std::string(path.substr(skip));
}

}  // namespace kelvaro
