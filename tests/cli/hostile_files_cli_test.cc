// The `kelvaro` program against files a careless or hostile user puts in its way: setting
// files with values out of range, things that are no regular file where a settings file
// should be, a settings file and a shape library far beyond any real one, a profile of the
// wrong kind and a disk that fills while separations are written. Each is refused with a
// message that names it, within a time and memory limit, and the stored settings stay.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pattern/shape_record.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class HostileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The first run writes the default settings; every case starts from them.
    ASSERT_EQ(Kelvaro("settings get Active Unit").status, 0) << errors_;
    stored_ = ReadFileBytes(SettingsFile());
  }

  // Runs kelvaro in the test folder with at most a minute and (but under the address
  // sanitizer, which reserves far more address space) 1 GiB of address space.
  testing::CommandResult Kelvaro(const std::string& args) {
    const fs::path err = dir_.path() / "stderr.txt";
    testing::CommandResult result = testing::RunCommand(
        "cd " + Quoted(dir_.path()) + " && { [ -n \"$ASAN_OPTIONS\" ] || ulimit -v 1048576; } && " +
        "KELVARO_USER_DIR=user KELVARO_COMMON_DIR=common KELVARO_SYSFS_USB_ROOT=no-usb " +
        "SOURCE_DATE_EPOCH=1700000000 timeout 60 " + Quoted(testing::KelvaroBinary()) + " " + args +
        " 2>" + Quoted(err));
    errors_ = ReadFileBytes(err);
    return result;
  }
  fs::path SettingsFile() const { return dir_.path() / "user" / "KelvaroPro.ini"; }
  void ExpectStoredSettingsKept() { EXPECT_EQ(ReadFileBytes(SettingsFile()), stored_); }

  testing::TempDir dir_;
  std::string errors_;
  std::string stored_;
};

TEST_F(HostileFilesTest, ASettingFileWithAValueOutOfRangeIsRefusedByItsKey) {
  const struct {
    const char* line;
    const char* said;
  } kCases[] = {
      {"Right Margin=abc", "[Active] Right Margin=abc (it must be a number from 0 to 99999"},
      {"Top Margin=-5", "[Active] Top Margin=-5 (it must be a number from 0 to 99999"},
      {"Left Margin=12345678901234567890", "[Active] Left Margin=12345678901234567890"},
      {"White Mask %=250%", "[Active] White Mask %=250% (it must be a percentage from 0 to 100)"},
      {"TonerOn=7", "[Active] TonerOn=7 (it must be 0 or 1)"},
      {"White Edge mm=3.5", "[Active] White Edge mm=3.5 (it must be a number of millimetres"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    // The good values come first: none of them may be stored either.
    WriteFileBytes(dir_.path() / "bad.qvcfg", std::string("[Active]\r\nBottom Margin=2000\r\n") +
                                                  "PaperSize=A3\r\n" + c.line + "\r\n");
    EXPECT_EQ(Kelvaro("settings load bad.qvcfg").status, 1);
    EXPECT_THAT(errors_, HasSubstr("bad.qvcfg\nholds a value out of range: "));
    EXPECT_THAT(errors_, HasSubstr(c.said));
    ExpectStoredSettingsKept();
  }
  // The same file with sound values loads, and a print goes on with them.
  WriteFileBytes(dir_.path() / "good.qvcfg",
                 "[Active]\r\nRight Margin=1500\r\nTop Margin= 1400\r\nWhite Mask %=80%\r\n");
  EXPECT_EQ(Kelvaro("settings load good.qvcfg").status, 0) << errors_;
  EXPECT_EQ(Kelvaro("print " + Quoted(testing::SampleArtwork()) + " --output job.ps").status, 0)
      << errors_;
}

TEST_F(HostileFilesTest, WhatIsNoRegularFileIsSaidSo) {
  constexpr char kNotRegular[] = "Error 1920 - Not a regular file";
  constexpr char kLoop[] = "Error 1921 - The name leads round a loop of symbolic links";
  using Make = void (*)(const fs::path&);
  const struct {
    const char* what;
    Make make;
    const char* said;
  } kCases[] = {
      {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, kNotRegular},
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, kNotRegular},
      {"a link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       kNotRegular},
      {"a link to itself", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }, kLoop},
  };
  const fs::path moved = dir_.path() / "settings.kept";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // As a setting file to load.
    const fs::path odd = dir_.path() / "odd.qvcfg";
    c.make(odd);
    EXPECT_EQ(Kelvaro("settings load odd.qvcfg").status, 1);
    EXPECT_THAT(errors_, HasSubstr("Failed to read:- \nodd.qvcfg\n" + std::string(c.said)));
    ExpectStoredSettingsKept();
    fs::remove_all(odd);

    // In the place of the settings file: no value passes for an empty one, no write replaces it.
    fs::rename(SettingsFile(), moved);
    c.make(SettingsFile());
    const testing::CommandResult got = Kelvaro("settings get Active Printer");
    EXPECT_EQ(got.status, 1);
    EXPECT_EQ(got.out, "");
    EXPECT_THAT(errors_, HasSubstr("The settings file cannot be read:- \n"));
    EXPECT_THAT(errors_, HasSubstr("KelvaroPro.ini\n" + std::string(c.said)));
    EXPECT_EQ(Kelvaro("settings set Active Unit C").status, 1);
    EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(SettingsFile())));
    fs::remove_all(SettingsFile());
    fs::rename(moved, SettingsFile());
  }
  ExpectStoredSettingsKept();
}

// A settings file of 5 MB (a few kilobytes is usual): refused at once, in bounded memory,
// rather than parsed again at each of the hundreds of values a print reads.
TEST_F(HostileFilesTest, ASettingsFileFarBeyondAnyRealOneIsRefused) {
  std::string big = stored_;
  big += "[Padding]\r\n";
  for (int i = 0; big.size() < 5u * 1024 * 1024; ++i) {
    big += "Line" + std::to_string(i) + "=some value\r\n";
  }
  WriteFileBytes(SettingsFile(), big);
  const testing::CommandResult got = Kelvaro("settings get Active Unit");
  EXPECT_EQ(got.status, 1);
  EXPECT_THAT(errors_, HasSubstr("The settings file cannot be read:- \n"));
  EXPECT_THAT(errors_, HasSubstr("KelvaroPro.ini\nError 223 - The file is too large to be read"));
  EXPECT_EQ(Kelvaro("print " + Quoted(testing::SampleArtwork()) + " --output job.ps").status, 1);
  EXPECT_FALSE(fs::exists(dir_.path() / "job.ps"));
  EXPECT_EQ(fs::file_size(SettingsFile()), big.size());
}

// Writes a library of `names` (one record each), and free records up to `total_bytes` when
// that is larger: a sparse file, so that it costs no disk.
void MakeLibrary(const fs::path& file, const std::vector<std::string>& names,
                 std::uintmax_t total_bytes = 0) {
  std::string bytes;
  for (const std::string& name : names) {
    ShapeRecord shape;
    shape.name = name;
    shape.polygons.push_back({{{0, 0}, {1, 0}, {0.5f, 1}}, kShapeBlack});
    bytes += *EncodeShapeRecord(shape);
  }
  WriteFileBytes(file, bytes);
  if (total_bytes > bytes.size()) fs::resize_file(file, total_bytes);
}

TEST_F(HostileFilesTest, ShapeLibrariesBeyondTheEditAreSaidSo) {
  const fs::path library = dir_.path() / "shapes.lib";
  ASSERT_EQ(Kelvaro("settings set Active 'Shape Library' " + Quoted(library)).status, 0);
  std::vector<std::string> names;
  for (int i = 1; i <= 250; ++i) names.push_back("S" + std::to_string(i));
  MakeLibrary(library, names);
  const std::string before = ReadFileBytes(library);

  const testing::CommandResult listed = Kelvaro("shapes list");
  EXPECT_EQ(listed.status, 0) << errors_;
  EXPECT_THAT(listed.out, HasSubstr("\nS220\n"));
  EXPECT_EQ(Kelvaro("shapes delete S220").status, 1);
  EXPECT_THAT(errors_, HasSubstr("\"S220\" is record 220 of the library; only the first 200 "
                                 "records can be edited"));
  EXPECT_EQ(ReadFileBytes(library), before);
  EXPECT_EQ(Kelvaro("shapes delete Nothing").status, 1);
  EXPECT_THAT(errors_, HasSubstr("the library holds no shape \"Nothing\""));
  EXPECT_EQ(Kelvaro("shapes delete S20").status, 0) << errors_;
}

// 3 GiB, nearly all of it free records: listing it and printing one of its shapes read one
// record at a time in bounded memory; an edit, which rewrites the whole library, refuses it.
TEST_F(HostileFilesTest, AHugeSparseShapeLibraryIsReadRecordByRecord) {
  const fs::path library = dir_.path() / "huge.lib";
  MakeLibrary(library, {"Star"}, std::uintmax_t{3} << 30);
  ASSERT_EQ(Kelvaro("settings set Active 'Shape Library' " + Quoted(library)).status, 0);
  const std::string settings = ReadFileBytes(SettingsFile());

  const testing::CommandResult listed = Kelvaro("shapes list");
  EXPECT_EQ(listed.status, 0) << errors_;
  EXPECT_EQ(listed.out, "Star\n");
  EXPECT_EQ(Kelvaro("shapes delete Star").status, 1);
  EXPECT_THAT(errors_, HasSubstr("kelvaro shapes: Error 223 - The library holds more than 2000 "
                                 "records, more than can be edited"));
  EXPECT_EQ(fs::file_size(library), std::uintmax_t{3} << 30);
  EXPECT_EQ(Kelvaro("shapes list").out, "Star\n");
  EXPECT_EQ(ReadFileBytes(SettingsFile()), settings);
}

TEST_F(HostileFilesTest, AProfileOfTheWrongKindIsNamed) {
  const fs::path cmyk = testing::StagedDataFolder() / "profiles" / "KelvaroWhiteToner.icc";
  ASSERT_TRUE(fs::exists(cmyk));
  const std::string bytes = ReadFileBytes(cmyk);
  WriteFileBytes(dir_.path() / "half.icc", bytes.substr(0, bytes.size() / 2));
  const struct {
    std::string option;
    std::string said;
  } kCases[] = {
      {"--profile-in " + Quoted(cmyk),
       "The colour profile \"" + cmyk.string() +
           "\" is a CMYK profile; the picture's profile must be an RGB profile"},
      {"--profile-out ./half.icc",
       "The colour profile \"./half.icc\" is cut short: the file holds " +
           std::to_string(bytes.size() / 2) + " of the " + std::to_string(bytes.size()) +
           " bytes its header states"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.option);
    EXPECT_EQ(Kelvaro("print " + Quoted(testing::SampleArtwork()) + " --output job.ps " + c.option)
                  .status,
              1);
    EXPECT_THAT(errors_, HasSubstr(c.said));
    EXPECT_THAT(errors_, Not(HasSubstr("Something odd")));
    EXPECT_FALSE(fs::exists(dir_.path() / "job.ps"));
    ExpectStoredSettingsKept();
  }
}

// The planes go through temporary files, as the job does: a disk that fills (a file system
// of 600 KB, in a mount namespace of the test's own) leaves no cut plane behind.
TEST_F(HostileFilesTest, SeparationsThatDoNotFitLeaveNoCutPlane) {
  const fs::path planes = dir_.path() / "planes";
  fs::create_directory(planes);
  const std::string mount = "mount -t tmpfs -o size=600k tmpfs " + Quoted(planes);
  if (testing::RunCommand("unshare -rm sh -c \"" + mount + "\" 2>/dev/null").status != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  // The file system goes with the namespace: what is left in it is listed from inside.
  const testing::CommandResult result = testing::RunCommand(
      "cd " + Quoted(dir_.path()) + " && unshare -rm sh -c \"" + mount +
      " && KELVARO_USER_DIR=user KELVARO_COMMON_DIR=common KELVARO_SYSFS_USB_ROOT=no-usb " +
      "timeout 60 " + Quoted(testing::KelvaroBinary()) + " print " +
      Quoted(testing::SampleArtwork()) + " --output job.ps --dump-separations planes " +
      "2>stderr.txt; echo status \\$?; ls -a planes | sort; wc -c <planes/plane1.pgm\"");
  errors_ = ReadFileBytes(dir_.path() / "stderr.txt");
  // Two planes of 242,019 bytes fit, the third does not.
  EXPECT_EQ(result.out, "status 1\n.\n..\nplane1.pgm\nplane2.pgm\n242019\n");
  EXPECT_THAT(errors_, HasSubstr("Cannot write planes/plane3.pgm: Error 28 - No space left on "
                                 "device"));
  EXPECT_FALSE(fs::exists(dir_.path() / "job.ps"));
}

}  // namespace
}  // namespace kelvaro
