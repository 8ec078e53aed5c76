#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/text_encoding.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Utf16Le(std::string_view utf8) { return UnitsToUtf16LeBytes(Utf8ToUtf16(utf8)); }

TEST(IniDocumentTest, NamesMatchWithoutRegardToCase) {
  const IniDocument doc =
      IniDocument::Parse("[Active]\r\nTonerPercent= 50\r\n[Others]\r\nLeftHand=0\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"Active", "TonerPercent", "50"},     {"ACTIVE", "tonerpercent", "50"},
      {"others", "LEFTHAND", "0"},          {"Stats", "Option", std::nullopt},
      {"Active", "LeftHand", std::nullopt},  // keys belong to their own section only
  };
  for (const Case& c : cases) {
    EXPECT_EQ(doc.Get(c.section, c.key), c.expected) << c.section << "/" << c.key;
  }
}

TEST(IniDocumentTest, ReadingTrimsBlanksAndQuotesAndCutsTo254Characters) {
  const std::string long_value(300, 'x');
  const std::string long_accented = std::string(253, 'a') + "\xC3\xA9\xC3\xA9";  // 255 chars
  const IniDocument doc = IniDocument::Parse(
      "[S]\n  Key  =  spaced value  \nQuoted=\"a b\"\nSingle='c'\n"
      "Long=" +
      long_value + "\nAccented=" + long_accented + "\nEmpty=\n");
  EXPECT_EQ(doc.Get("S", "Key"), "spaced value");
  EXPECT_EQ(doc.Get("S", "Quoted"), "a b");
  EXPECT_EQ(doc.Get("S", "Single"), "c");
  EXPECT_EQ(doc.Get("S", "Long"), std::string(254, 'x'));
  // The cut counts characters and never splits one.
  EXPECT_EQ(doc.Get("S", "Accented"), std::string(253, 'a') + "\xC3\xA9");
  EXPECT_EQ(doc.Get("S", "Empty"), "");
}

TEST(IniDocumentTest, FirstSectionAndFirstKeyWin) {
  const IniDocument doc = IniDocument::Parse("[A]\nk=1\nk=2\n[a]\nk=3\nother=4\n");
  EXPECT_EQ(doc.Get("A", "k"), "1");
  EXPECT_EQ(doc.Get("A", "other"), std::nullopt);
}

TEST(IniDocumentTest, CommentsAndLinesWithoutEqualsAreNotKeys) {
  const IniDocument doc = IniDocument::Parse("k=before any section\n[S]\n;k=comment\nk\n");
  EXPECT_EQ(doc.Get("S", "k"), std::nullopt);
  EXPECT_EQ(doc.Get("S", ";k"), std::nullopt);
}

TEST(IniDocumentTest, WritesCreateSectionThenKeyAndReplaceInPlace) {
  IniDocument doc;
  doc.Set("Active", "Printer", "OKI");
  doc.Set("Papers", "Number", "1");
  doc.Set("active", "Unit", "M");     // goes into [Active], not a new section
  doc.Set("ACTIVE", "printer", "X");  // replaces, keeping the stored spelling of the key
  EXPECT_EQ(doc.Serialize(), "[Active]\r\nPrinter=X\r\nUnit=M\r\n[Papers]\r\nNumber=1\r\n");
}

TEST(IniDocumentTest, WriteKeepsCommentsBlankLinesAndOtherLines) {
  IniDocument doc = IniDocument::Parse("; made by hand\n[A]\nx = 1\n\n[B]\ny=2\n");
  doc.Set("A", "z", "3");
  doc.Set("B", "y", " 4");
  EXPECT_EQ(doc.Serialize(), "; made by hand\r\n[A]\r\nx = 1\r\nz=3\r\n\r\n[B]\r\ny= 4\r\n");
}

TEST(IniDocumentTest, ValueWithLineBreakCannotAddLines) {
  IniDocument doc;
  doc.Set("A", "k", "first\r\n[Injected]\r\nk=evil");
  EXPECT_EQ(doc.Get("A", "k"), "first");
  EXPECT_EQ(doc.Get("Injected", "k"), std::nullopt);
}

TEST(IniDocumentTest, EncodingsAreReadAndKeptOnWrite) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string expected_after_write;
  };
  const Case cases[] = {
      {"utf8 lf", "[A]\nk=\xC3\xA9t\xC3\xA9\n", "[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nn=1\r\n"},
      {"utf8 bom", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\n",
       "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nn=1\r\n"},
      {"utf16le bom", "\xFF\xFE" + Utf16Le("[A]\r\nk=\xC3\xA9t\xC3\xA9\r\n"),
       "\xFF\xFE" + Utf16Le("[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nn=1\r\n")},
      {"utf16le no bom lf", Utf16Le("[A]\nk=\xC3\xA9t\xC3\xA9\n"),
       Utf16Le("[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nn=1\r\n")},
      // An ANSI file from an older installation: its own bytes stay, the value reads as text.
      {"ansi", "[A]\r\nk=\xE9t\xE9\r\n", "[A]\r\nk=\xE9t\xE9\r\nn=1\r\n"},
  };
  for (const Case& c : cases) {
    IniDocument doc = IniDocument::Parse(c.bytes);
    EXPECT_EQ(doc.Get("a", "K"), "\xC3\xA9t\xC3\xA9") << c.name;
    doc.Set("A", "n", "1");
    EXPECT_EQ(doc.Serialize(), c.expected_after_write) << c.name;
  }
}

TEST(IniFileTest, ReadMissingFileOrFolderGivesNothing) {
  TempDir dir;
  EXPECT_EQ(ReadIniValue(dir.path() / "none.ini", "A", "k"), std::nullopt);
  EXPECT_EQ(ReadIniValue(dir.path() / "no" / "none.ini", "A", "k"), std::nullopt);
  EXPECT_EQ(ReadIniValue(dir.path(), "A", "k"), std::nullopt);  // a folder
}

TEST(IniFileTest, WriteCreatesFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  const fs::path file = dir.path() / "KelvaroPro.ini";
  EXPECT_TRUE(WriteIniValue(file, "Active", "TonerPercent", " 50").ok);
  EXPECT_TRUE(WriteIniValue(file, "Stats", "Option", "3").ok);
  EXPECT_EQ(ReadFileBytes(file), "[Active]\r\nTonerPercent= 50\r\n[Stats]\r\nOption=3\r\n");
  EXPECT_EQ(ReadIniValue(file, "active", "tonerpercent"), "50");
  // Only the file and the lock file its writers share.
  std::set<std::string> entries;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    entries.insert(entry.path().filename().string());
  }
  EXPECT_EQ(entries, (std::set<std::string>{"KelvaroPro.ini", "KelvaroPro.ini.lock"}));
}

TEST(IniFileTest, FailedWritesReportCodeAndKeepTheFile) {
  TempDir dir;
  const fs::path plain = dir.path() / "plain";
  WriteFileBytes(plain, "[A]\r\nk=1\r\n");

  // A folder in the place of the file.
  fs::create_directories(dir.path() / "folder.ini");
  EXPECT_EQ(WriteIniValue(dir.path() / "folder.ini", "A", "k", "2").error_code,
            kErrorNotRegularFile);
  // A regular file where the folder should be.
  EXPECT_EQ(WriteIniValue(plain / "KelvaroPro.ini", "A", "k", "2").error_code, 3);
  // A missing folder is not created.
  EXPECT_EQ(WriteIniValue(dir.path() / "missing" / "x.ini", "A", "k", "2").error_code, 3);
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));

  // The read-only attribute holds even for users who could override file permissions.
  fs::permissions(plain, fs::perms::owner_read | fs::perms::group_read);
  const FileWriteResult result = WriteIniValue(plain, "A", "k", "2");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error_code, 5);
  EXPECT_EQ(ReadFileBytes(plain), "[A]\r\nk=1\r\n");
}

TEST(IniFileTest, WriteThroughSymbolicLinkKeepsTheLink) {
  TempDir dir;
  const fs::path real = dir.path() / "real.ini";
  const fs::path link = dir.path() / "link.ini";
  WriteFileBytes(real, "[A]\r\nk=1\r\n");
  fs::create_symlink(real, link);
  ASSERT_TRUE(WriteIniValue(link, "A", "k", "2").ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadIniValue(real, "A", "k"), "2");
}

TEST(IniFileTest, WriteKeepsPermissionBits) {
  TempDir dir;
  const fs::path file = dir.path() / "shared.ini";
  WriteFileBytes(file, "[A]\r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::group_write | fs::perms::others_read);
  ASSERT_TRUE(WriteIniValue(file, "A", "k", "1").ok);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::group_write | fs::perms::others_read);
}

}  // namespace
}  // namespace kelvaro
