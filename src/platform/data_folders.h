#ifndef KELVARO_PLATFORM_DATA_FOLDERS_H_
#define KELVARO_PLATFORM_DATA_FOLDERS_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kelvaro {

// The three folders the program keeps its files in.
struct DataFolders {
  std::filesystem::path user;     // per-user settings, recent files, shape library
  std::filesystem::path common;   // machine-wide settings and ready-made setting files
  std::filesystem::path program;  // language files, help, bundled profiles and samples
};

// Looks up an environment variable; returns nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const std::string&)>;

// The process environment.
std::optional<std::string> ProcessEnv(const std::string& name);

// Resolves the folders:
//   user:    $KELVARO_USER_DIR, else $XDG_CONFIG_HOME/KelvaroPro, else ~/.config/KelvaroPro
//            (the current folder when none of these can be told);
//   common:  $KELVARO_COMMON_DIR, else <prefix>/share/kelvaropro beside the executable;
//   program: $KELVARO_PROGRAM_DIR, else <prefix>/share/kelvaropro beside the executable, else
//            the source tree's data folder.
// Every folder comes back as a full path (a relative one is taken from the current folder)
// without a trailing separator. Creates nothing.
DataFolders ResolveDataFolders(const EnvLookup& env = ProcessEnv);

// The folder of the running executable; empty when it cannot be told.
std::filesystem::path ExecutableFolder();

// The program's version text, e.g. "0.1.0".
std::string ProgramVersion();

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_DATA_FOLDERS_H_
