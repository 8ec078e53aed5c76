#ifndef KELVARO_IMAGE_PROFILES_H_
#define KELVARO_IMAGE_PROFILES_H_

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/data_folders.h"

namespace kelvaro {

class SettingsStore;

// The defaults of the two colour profiles ([Active] ICM Profile In and ICM Profile Out).
inline constexpr char kDefaultInputProfile[] = "sRGB.icm";
inline constexpr char kDefaultOutputProfile[] = "OKC711P2.ICM";

// The profile that stands in for the default printer profile when that is not installed:
// CMY only, K always 0 (the K slot of these printers prints white). Made at build time.
inline constexpr char kBundledPrinterProfile[] = "KelvaroWhiteToner.icc";
// The sub-folder of the program folder holding the bundled profiles.
inline constexpr char kProfilesFolder[] = "profiles";

// The two profile names in force: the image's RGB and the printer's CMYK.
struct ProfileNames {
  std::string input = kDefaultInputProfile;
  std::string output = kDefaultOutputProfile;
};

// The stored names with the defaults applied to empty values. Values are otherwise taken as
// they are.
ProfileNames MakeProfileNames(std::string_view stored_input, std::string_view stored_output);
ProfileNames ReadProfileNames(const SettingsStore& store);

// Where a profile name leads:
// - a name with folders in it ("/x/y.icc", "sub/y.icc") is used as it is;
// - a bare name is looked for in the user folder, then the common folder, then the program's
//   profiles folder; names match without regard to case, so that setting files made on
//   Windows keep working;
// - the default printer profile name, found nowhere, leads to the bundled white-toner profile.
// Returns nullopt when nothing is found (the default sRGB name included: the caller then
// makes the sRGB profile itself).
std::optional<std::filesystem::path> ResolveProfilePath(std::string_view name,
                                                        const DataFolders& folders);

// An open Little CMS profile; closes it when it goes.
struct ProfileCloser {
  void operator()(void* profile) const;
};
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;

// Opens the named profile for reading after ResolveProfilePath. The default sRGB name that is
// found nowhere gives Little CMS's built-in sRGB. Returns an empty handle when the file is
// missing or is not a profile Little CMS can read.
ProfileHandle OpenNamedProfile(std::string_view name, const DataFolders& folders);

// What a profile is used for: the picture's colours (RGB) or the printer's toners (CMYK).
enum class ProfileRole { kInput, kOutput };

// What is wrong with a named profile for its role.
struct ProfileProblem {
  enum class Kind {
    kNone,       // it opens, has the colour space of its role and gives a transform
    kNotOpened,  // not found, or no profile at all (OpenNamedProfile gives nothing)
    kDamaged,    // a profile, but one that cannot serve: cut short, of the wrong colour space
                 // or with tables that cannot be read
  };
  Kind kind = Kind::kNone;
  // For kDamaged, what is wrong, to follow the profile's name: "is cut short: the file holds
  // 1,000 of the 2,000 bytes its header states".
  std::string detail;
};
ProfileProblem FindProfileProblem(std::string_view name, ProfileRole role,
                                  const DataFolders& folders);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_PROFILES_H_
