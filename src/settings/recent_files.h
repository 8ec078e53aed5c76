#ifndef KELVARO_SETTINGS_RECENT_FILES_H_
#define KELVARO_SETTINGS_RECENT_FILES_H_

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"

namespace kelvaro {

// The five most recently opened pictures, kept in "Lastfile.exini" in the user folder: six
// records of 501 UTF-16LE code units (1002 bytes) without line ends. Each record is its
// number as a digit ("1" to "6") and 500 units of path padded with spaces; records 1 to 5 are
// the pictures, newest first, record 6 the folder of the newest with a trailing separator.
inline constexpr char kRecentFilesFileName[] = "Lastfile.exini";
inline constexpr int kRecentFileSlots = 5;
inline constexpr std::size_t kRecentPathUnits = 500;
inline constexpr std::size_t kRecentRecordBytes = 2 * (1 + kRecentPathUnits);  // 1002
inline constexpr std::size_t kRecentFilesBytes = 6 * kRecentRecordBytes;       // 6012

// Menu ids of the five File menu entries.
inline constexpr int kRecentFileMenuIds[kRecentFileSlots] = {1507, 1508, 1510, 1511, 1512};

// Paths are UTF-8 (bytes that are not UTF-8 survive the trip through the file).
struct RecentFiles {
  // slots[0] .. slots[4]: records 1 to 5; slots[5]: record 6, the folder of slots[0].
  std::array<std::string, 6> slots;
  const std::string& folder() const { return slots[5]; }
  bool operator==(const RecentFiles&) const = default;
};

std::filesystem::path RecentFilesPath(const std::filesystem::path& user_folder);

// The six records of a file's bytes. Missing or partial records (a short or damaged file)
// read as far as they go; a record's text ends at trailing spaces or at a zero character.
RecentFiles ParseRecentFiles(std::string_view bytes);

// The 6012 bytes of the file for slots 1 to 5 (blanks around each path removed). Record 6 is
// the folder of slot 1. A path longer than 500 units is cut to 500 (499 when the cut would
// split a character made of two units).
std::string FormatRecentFiles(const RecentFiles& files);

// The six slots from the file; all empty when it is missing or unreadable.
RecentFiles LoadRecentFiles(const std::filesystem::path& user_folder);

// Slot `n` read from the file: 1 to 5 the pictures, 0 the folder of the newest; "" when the
// file is missing or `n` is out of range. The text form reads `n` by its leading number.
std::string ReadRecentFile(const std::filesystem::path& user_folder, int n);
std::string ReadRecentFile(const std::filesystem::path& user_folder, std::string_view n);
std::string ReadNewestFile(const std::filesystem::path& user_folder);

// The list after opening `path`: kept in place when it is already first, else moved (or put)
// on top with the entries above it moving down; a sixth distinct path drops the oldest.
RecentFiles WithFileOnTop(RecentFiles files, std::string_view path);
// The list without slot `k` (1 to 5): later entries move up, slot 5 becomes empty.
RecentFiles WithoutSlot(RecentFiles files, int k);

struct RecentFilesUpdate {
  RecentFiles files;      // the list as it now stands (also when it could not be written)
  FileWriteResult write;  // the result of writing the file
};

// Reads the file, applies the change and writes all six records. `argument` is a slot number
// 1 to 5 (the whole text, blanks aside) to remove that entry, else the path of a picture just
// opened. The caller rebuilds the File menu from the result. A file that is there but cannot
// be read is left as it is (the write fails with the read's code), so its entries are not
// lost.
RecentFilesUpdate UpdateRecentFiles(const std::filesystem::path& user_folder,
                                    std::string_view argument);

// The slot (1 to 5) that File menu entry `entry` (1 to 5) shows. The menu lists the slots
// that hold a path, in order, so in a list with a gap (a damaged or hand-edited file) an entry
// shows a later slot. 0 when the entry shows none.
int SlotOfMenuEntry(const RecentFiles& files, int entry);

// The File menu text of a path: up to 35 characters as it is, a longer one as its first 3
// characters, "..." and its last 32 characters.
std::string RecentFileMenuLabel(std::string_view path);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_RECENT_FILES_H_
