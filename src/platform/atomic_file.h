#ifndef KELVARO_PLATFORM_ATOMIC_FILE_H_
#define KELVARO_PLATFORM_ATOMIC_FILE_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelvaro {

// Error codes of failed file operations, in the numbering the program's messages use:
// 2 file not found, 3 path not found, 5 access denied, 19 write-protected media; any other
// failure keeps its errno number.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorWriteProtected = 19;
// Something other than a regular file (a folder, a device, a pipe) is where a file should be.
inline constexpr int kErrorNotRegularFile = 1920;
// A loop of symbolic links: the name leads to no file at all.
inline constexpr int kErrorLinkLoop = 1921;
// The file is larger than the reader takes.
inline constexpr int kErrorFileTooLarge = 223;

// Maps an errno value to the codes above (ENOENT 2; ENOTDIR, ENAMETOOLONG 3; EACCES, EPERM 5;
// EISDIR 1920; ELOOP 1921; EROFS 19); other values are returned unchanged.
int WindowsErrorCode(int errno_value);

// Result of a file write; `error_code` is 0 on success, else a code as above.
struct FileWriteResult {
  bool ok = false;
  int error_code = 0;
  // The write did not start because the file there could not be read first (a change of one
  // value needs the others): the failure is about reading, not writing.
  bool read_failed = false;
};

// Replaces the file's content as a whole: writes a temporary file in the same folder, flushes
// it to disk and renames it over `path`, so a reader sees the old or the new content, never a
// mix, and a failure leaves the old file untouched and no temporary file behind. The
// temporaries of writers that were killed before their rename are removed by the next write
// of the same file. The folder
// is not created. A file without any write permission bit counts as read-only and is not
// replaced (code 5), nor is a file the user may not write, nor anything that is not a regular
// file (a folder, device or pipe: kErrorNotRegularFile). A loop of links gives kErrorLinkLoop. A
// symbolic link is followed, also to a target that does not exist yet, and its target written; the
// link stays. An existing file keeps its permission bits and, where the system lets us, its owner
// and group.
FileWriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The whole content of a regular file; nullopt when it does not exist or cannot be read.
// `error_code` (optional) receives the code of the failure (0 on success); something that is
// there but is no regular file (a folder, device or pipe) gives kErrorNotRegularFile, never 2;
// a loop of links kErrorLinkLoop. A file of more than `max_bytes` is not read
// (kErrorFileTooLarge), so that a huge file cannot take all memory.
inline constexpr std::uintmax_t kNoSizeLimit = UINTMAX_MAX;
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path,
                                         int* error_code = nullptr,
                                         std::uintmax_t max_bytes = kNoSizeLimit);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_ATOMIC_FILE_H_
