#include "image/profiles.h"

#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

// The regular file `name` in `folder`: the exact name first, then any spelling of it.
std::optional<fs::path> FindInFolder(const fs::path& folder, std::string_view name) {
  if (folder.empty()) return std::nullopt;
  std::error_code error;
  fs::path exact = folder / fs::path(std::string(name));
  if (fs::is_regular_file(exact, error)) return exact;
  fs::directory_iterator it(folder, error);
  if (error) return std::nullopt;
  for (const fs::directory_entry& entry : it) {
    if (EqualsIgnoringAsciiCase(entry.path().filename().string(), name) &&
        entry.is_regular_file(error)) {
      return entry.path();
    }
  }
  return std::nullopt;
}

std::string ColourSpaceName(cmsColorSpaceSignature space) {
  switch (space) {
    case cmsSigRgbData:
      return "an RGB";
    case cmsSigCmykData:
      return "a CMYK";
    case cmsSigCmyData:
      return "a CMY";
    case cmsSigGrayData:
      return "a grey";
    case cmsSigLabData:
      return "a Lab";
    default:
      return "an unusual";
  }
}

// The size the header of a profile file states (its first four bytes, big-endian); nullopt
// when the file cannot be read that far.
std::optional<std::uint64_t> StatedProfileSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char bytes[4] = {};
  if (!in.read(reinterpret_cast<char*>(bytes), 4)) return std::nullopt;
  return (std::uint64_t{bytes[0]} << 24) | (std::uint64_t{bytes[1]} << 16) |
         (std::uint64_t{bytes[2]} << 8) | std::uint64_t{bytes[3]};
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
  return MakeProfileNames(store.ReadSetting(keys::active::kInputProfile),
                          store.ReadSetting(keys::active::kOutputProfile));
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
  if (EqualsIgnoringAsciiCase(name, kDefaultOutputProfile) && !folders.program.empty()) {
    return FindInFolder(folders.program / kProfilesFolder, kBundledPrinterProfile);
  }
  return std::nullopt;
}

ProfileProblem FindProfileProblem(std::string_view name, ProfileRole role,
                                  const DataFolders& folders) {
  using Kind = ProfileProblem::Kind;
  const ProfileHandle profile = OpenNamedProfile(name, folders);
  if (!profile) return {Kind::kNotOpened, {}};
  // The library reads a profile's tables only when a transform needs them, so a file cut in
  // half opens; its header still says how long it should be.
  if (const std::optional<fs::path> path = ResolveProfilePath(name, folders)) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(*path, error);
    const std::optional<std::uint64_t> stated = StatedProfileSize(*path);
    if (!error && stated && size < *stated) {
      return {Kind::kDamaged, "is cut short: the file holds " + std::to_string(size) + " of the " +
                                  std::to_string(*stated) + " bytes its header states"};
    }
  }
  const cmsColorSpaceSignature wanted =
      role == ProfileRole::kInput ? cmsSigRgbData : cmsSigCmykData;
  const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
  if (space != wanted) {
    return {Kind::kDamaged,
            "is " + ColourSpaceName(space) + " profile; the " +
                (role == ProfileRole::kInput ? std::string("picture's profile must be an RGB")
                                             : std::string("printer's profile must be a CMYK")) +
                " profile"};
  }
  // A transform to or from Lab reads the tables the real one needs.
  const ProfileHandle lab(cmsCreateLab4Profile(nullptr));
  void* transform = role == ProfileRole::kInput
                        ? cmsCreateTransform(profile.get(), TYPE_RGB_8, lab.get(), TYPE_Lab_DBL,
                                             INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE)
                        : cmsCreateTransform(lab.get(), TYPE_Lab_DBL, profile.get(), TYPE_CMYK_8,
                                             INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
  if (transform == nullptr) {
    return {Kind::kDamaged, "is damaged: its colour tables cannot be read"};
  }
  cmsDeleteTransform(transform);
  return {};
}

ProfileHandle OpenNamedProfile(std::string_view name, const DataFolders& folders) {
  if (std::optional<fs::path> path = ResolveProfilePath(name, folders)) {
    return ProfileHandle(cmsOpenProfileFromFile(path->c_str(), "r"));
  }
  if (EqualsIgnoringAsciiCase(name, kDefaultInputProfile))
    return ProfileHandle(cmsCreate_sRGBProfile());
  return ProfileHandle();
}

}  // namespace kelvaro
