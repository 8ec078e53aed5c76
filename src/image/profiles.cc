#include "image/profiles.h"

#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "settings/settings_store.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The regular file `name` in `folder`: the exact name first, then any spelling of it.
std::optional<fs::path> FindInFolder(const fs::path& folder, std::string_view name) {
  if (folder.empty()) return std::nullopt;
  std::error_code error;
  fs::path exact = folder / fs::path(std::string(name));
  if (fs::is_regular_file(exact, error)) return exact;
  fs::directory_iterator it(folder, error);
  if (error) return std::nullopt;
  for (const fs::directory_entry& entry : it) {
    if (EqualNoCase(entry.path().filename().string(), name) && entry.is_regular_file(error)) {
      return entry.path();
    }
  }
  return std::nullopt;
}

}  // namespace

void ProfileCloser::operator()(void* profile) const {
  if (profile != nullptr) cmsCloseProfile(profile);
}

ProfileNames MakeProfileNames(std::string_view stored_input, std::string_view stored_output) {
  ProfileNames names;
  if (!stored_input.empty()) names.input = std::string(stored_input);
  if (!stored_output.empty()) names.output = std::string(stored_output);
  return names;
}

ProfileNames ReadProfileNames(const SettingsStore& store) {
  return MakeProfileNames(store.ReadSetting(kProfileSection, kInputProfileKey),
                          store.ReadSetting(kProfileSection, kOutputProfileKey));
}

std::optional<fs::path> ResolveProfilePath(std::string_view name, const DataFolders& folders) {
  if (name.empty()) return std::nullopt;
  fs::path as_given{std::string(name)};
  if (as_given.has_parent_path()) {
    std::error_code error;
    if (fs::is_regular_file(as_given, error)) return as_given;
    return std::nullopt;
  }
  for (const fs::path& folder :
       {folders.user, folders.common,
        folders.program.empty() ? fs::path() : folders.program / kProfilesFolder}) {
    if (auto found = FindInFolder(folder, name)) return found;
  }
  if (EqualNoCase(name, kDefaultOutputProfile) && !folders.program.empty()) {
    return FindInFolder(folders.program / kProfilesFolder, kBundledPrinterProfile);
  }
  return std::nullopt;
}

ProfileHandle OpenNamedProfile(std::string_view name, const DataFolders& folders) {
  if (std::optional<fs::path> path = ResolveProfilePath(name, folders)) {
    return ProfileHandle(cmsOpenProfileFromFile(path->c_str(), "r"));
  }
  if (EqualNoCase(name, kDefaultInputProfile)) return ProfileHandle(cmsCreate_sRGBProfile());
  return ProfileHandle();
}

}  // namespace kelvaro
