#ifndef KELVARO_PLATFORM_SHORTCUT_H_
#define KELVARO_PLATFORM_SHORTCUT_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelvaro {

// What a Windows shortcut (.lnk, the published Shell Link format) says. Texts are UTF-8.
struct ShellLink {
  std::string target;         // the local base path (plus suffix) or the network path
  std::string relative_path;  // the target relative to the shortcut's folder
  std::string working_dir;
  std::string arguments;
};

// Reads a shortcut's bytes; nullopt when they are no shortcut or are cut short. Never reads
// outside `bytes`.
std::optional<ShellLink> ParseShellLink(std::string_view bytes);

// Which text of a shortcut ResolveShortcut gives.
enum class ShortcutField {
  kTarget = 0,
  kWorkingDir = 1,
  kArguments = 2,
};

// The text asked for, or why the shortcut cannot be read.
struct ResolvedShortcut {
  std::string text;
  std::string error;  // empty on success
  bool ok() const { return error.empty(); }
};

// Longest text a shortcut gives, in characters; longer ones are cut.
inline constexpr std::size_t kMaxShortcutChars = 259;

// Resolves a shortcut to what it points at. Three kinds are understood:
//   - Windows shortcuts (.lnk): the target; a relative path that names an existing file
//     beside the shortcut wins over the stored absolute path, which on this system is
//     usually a Windows path;
//   - freedesktop links (.desktop, Type=Link): the file URL's path;
//   - symbolic links: the file they end at (a chain of links is followed).
// For the working folder and the arguments only .lnk files have an answer ("" otherwise).
// A file that is no shortcut of these kinds comes back as it is. A damaged or unreadable
// shortcut gives an error.
ResolvedShortcut ResolveShortcut(const std::filesystem::path& path,
                                 ShortcutField field = ShortcutField::kTarget);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_SHORTCUT_H_
