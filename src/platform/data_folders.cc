#include "platform/data_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace kelvaro {
namespace fs = std::filesystem;

std::optional<std::string> ProcessEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path();
}

std::string ProgramVersion() { return KELVARO_VERSION; }

namespace {

bool NonEmpty(const std::optional<std::string>& value) { return value && !value->empty(); }

// <prefix>/share/kelvaropro for an executable in <prefix>/bin; empty when it is not there.
fs::path InstalledDataFolder() {
  fs::path exe_dir = ExecutableFolder();
  if (exe_dir.empty()) return {};
  fs::path candidate = exe_dir.parent_path() / "share" / "kelvaropro";
  std::error_code ec;
  if (fs::is_directory(candidate, ec)) return candidate;
  return {};
}

// A folder as a full path without a trailing separator. Paths made from these folders are
// stored in the settings (the shape library's, the last setting file's folder) and must still
// name the same place when the program next starts from another working folder.
fs::path FullFolderPath(const fs::path& folder) {
  std::error_code ec;
  fs::path full = fs::absolute(folder, ec);
  if (ec) full = folder;
  if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
  return full;
}

}  // namespace

DataFolders ResolveDataFolders(const EnvLookup& env) {
  DataFolders folders;
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);

  if (auto dir = env("KELVARO_USER_DIR"); NonEmpty(dir)) {
    folders.user = *dir;
  } else if (auto xdg = env("XDG_CONFIG_HOME"); NonEmpty(xdg)) {
    folders.user = fs::path(*xdg) / "KelvaroPro";
  } else if (auto home = env("HOME"); NonEmpty(home)) {
    folders.user = fs::path(*home) / ".config" / "KelvaroPro";
  } else {
    folders.user = cwd;
  }

  const fs::path installed = InstalledDataFolder();
  if (auto dir = env("KELVARO_COMMON_DIR"); NonEmpty(dir)) {
    folders.common = *dir;
  } else if (!installed.empty()) {
    folders.common = installed;
  } else {
    folders.common = cwd;
  }

  if (auto dir = env("KELVARO_PROGRAM_DIR"); NonEmpty(dir)) {
    folders.program = *dir;
  } else if (!installed.empty()) {
    folders.program = installed;
  } else {
    folders.program = KELVARO_SOURCE_DATA_DIR;
  }
  folders.user = FullFolderPath(folders.user);
  folders.common = FullFolderPath(folders.common);
  folders.program = FullFolderPath(folders.program);
  return folders;
}

}  // namespace kelvaro
