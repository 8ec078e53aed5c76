#include "image/profiles.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

TEST(ProfileNamesTest, EmptyValuesTakeTheDefaults) {
  ProfileNames names = MakeProfileNames("", "");
  EXPECT_EQ(names.input, "sRGB.icm");
  EXPECT_EQ(names.output, "OKC711P2.ICM");
  names = MakeProfileNames("Adobe.icc", "/profiles/My Printer.icc");
  EXPECT_EQ(names.input, "Adobe.icc");
  EXPECT_EQ(names.output, "/profiles/My Printer.icc");
}

TEST(ProfileNamesTest, ReadFromTheSettingsStore) {
  TestFolders test;
  RecordingNotifier notifier;
  SettingsStore store(test.folders(), notifier);
  EXPECT_EQ(ReadProfileNames(store).output, "OKC711P2.ICM");
  ASSERT_TRUE(store.WriteSetting("Active", "ICM Profile Out", "Film.icc"));
  ASSERT_TRUE(store.WriteSetting("Active", "ICM Profile In", ""));
  ProfileNames names = ReadProfileNames(store);
  EXPECT_EQ(names.output, "Film.icc");
  EXPECT_EQ(names.input, "sRGB.icm");
}

// The user folder wins over the common folder, which wins over the program's profiles.
TEST(ResolveProfilePathTest, SearchOrderUserCommonProgram) {
  TestFolders test(/*empty_program=*/true);
  const DataFolders& f = test.folders();
  const fs::path in_user = f.user / "Shop.icc";
  const fs::path in_common = f.common / "Shop.icc";
  const fs::path in_program = f.program / "profiles" / "Shop.icc";
  WriteFileBytes(in_program, "p");
  EXPECT_EQ(ResolveProfilePath("Shop.icc", f), in_program);
  WriteFileBytes(in_common, "c");
  EXPECT_EQ(ResolveProfilePath("Shop.icc", f), in_common);
  WriteFileBytes(in_user, "u");
  EXPECT_EQ(ResolveProfilePath("Shop.icc", f), in_user);
  fs::remove(in_common);
  EXPECT_EQ(ResolveProfilePath("Shop.icc", f), in_user);
  // A profile lying directly in the program folder (not in profiles/) is not found.
  fs::remove(in_user);
  fs::remove(in_program);
  WriteFileBytes(f.program / "Shop.icc", "x");
  EXPECT_EQ(ResolveProfilePath("Shop.icc", f), std::nullopt);
}

TEST(ResolveProfilePathTest, BareNamesMatchWithoutRegardToCase) {
  TestFolders test(/*empty_program=*/true);
  WriteFileBytes(test.folders().common / "okc711p2.icm", "x");
  EXPECT_EQ(ResolveProfilePath("OKC711P2.ICM", test.folders()),
            test.folders().common / "okc711p2.icm");
}

TEST(ResolveProfilePathTest, NamesWithFoldersAreNotSearched) {
  TestFolders test(/*empty_program=*/true);
  WriteFileBytes(test.folders().user / "Shop.icc", "u");
  const fs::path elsewhere = test.root() / "elsewhere" / "Shop.icc";
  EXPECT_EQ(ResolveProfilePath(elsewhere.string(), test.folders()), std::nullopt);
  WriteFileBytes(elsewhere, "e");
  EXPECT_EQ(ResolveProfilePath(elsewhere.string(), test.folders()), elsewhere);
}

TEST(ResolveProfilePathTest, DefaultPrinterProfileFallsBackToTheBundledOne) {
  TestFolders test;  // the staged program data with the bundled profiles
  const fs::path bundled = test.folders().program / "profiles" / "KelvaroWhiteToner.icc";
  ASSERT_TRUE(fs::exists(bundled)) << "the build writes the bundled profiles";
  EXPECT_EQ(ResolveProfilePath("OKC711P2.ICM", test.folders()), bundled);
  // An installed printer profile of that name is preferred.
  WriteFileBytes(test.folders().user / "OKC711P2.ICM", "x");
  EXPECT_EQ(ResolveProfilePath("OKC711P2.ICM", test.folders()),
            test.folders().user / "OKC711P2.ICM");
  // Any other missing name stays missing.
  EXPECT_EQ(ResolveProfilePath("Missing.icc", test.folders()), std::nullopt);
  EXPECT_EQ(ResolveProfilePath("", test.folders()), std::nullopt);
}

TEST(OpenNamedProfileTest, DefaultsOpenAsRgbAndCmyk) {
  TestFolders test;
  ProfileHandle input = OpenNamedProfile("sRGB.icm", test.folders());
  ProfileHandle output = OpenNamedProfile("OKC711P2.ICM", test.folders());
  ASSERT_TRUE(input);
  ASSERT_TRUE(output);
  EXPECT_EQ(cmsGetColorSpace(input.get()), cmsSigRgbData);
  EXPECT_EQ(cmsGetColorSpace(output.get()), cmsSigCmykData);
  EXPECT_EQ(cmsGetDeviceClass(output.get()), cmsSigOutputClass);
}

TEST(OpenNamedProfileTest, MissingSrgbFileFallsBackToTheBuiltInOne) {
  TestFolders test(/*empty_program=*/true);
  EXPECT_EQ(ResolveProfilePath("sRGB.icm", test.folders()), std::nullopt);
  ProfileHandle input = OpenNamedProfile("sRGB.icm", test.folders());
  ASSERT_TRUE(input);
  EXPECT_EQ(cmsGetColorSpace(input.get()), cmsSigRgbData);
  EXPECT_FALSE(OpenNamedProfile("OKC711P2.ICM", test.folders()));
}

TEST(OpenNamedProfileTest, DamagedFilesDoNotOpen) {
  TestFolders test(/*empty_program=*/true);
  WriteFileBytes(test.folders().user / "Garbage.icc", std::string(1000, 'x'));
  WriteFileBytes(test.folders().user / "Empty.icc", "");
  EXPECT_FALSE(OpenNamedProfile("Garbage.icc", test.folders()));
  EXPECT_FALSE(OpenNamedProfile("Empty.icc", test.folders()));
}

}  // namespace
}  // namespace kelvaro
