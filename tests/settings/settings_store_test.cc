#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <map>

#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() : store_(folders_.folders(), notifier_) {
    fs::create_directories(folders_.folders().user);
  }
  TestFolders folders_;
  RecordingNotifier notifier_;
  SettingsStore store_;
};

TEST_F(SettingsStoreTest, FilesLiveInTheirFolders) {
  EXPECT_EQ(store_.UserSettingsFile(), folders_.folders().user / "KelvaroPro.ini");
  EXPECT_EQ(store_.CommonSettingsFile(), folders_.folders().common / "KelvaroPro.ini");
}

TEST_F(SettingsStoreTest, ReadsOfMissingThingsAreEmpty) {
  EXPECT_EQ(store_.ReadSetting("Active", "Printer"), "");
  EXPECT_EQ(store_.ReadCommonSetting("Active", "Language"), "");
  ASSERT_TRUE(store_.WriteSetting("Active", "Printer", "OKI"));
  EXPECT_EQ(store_.ReadSetting("Active", "Tray"), "");
  EXPECT_EQ(store_.ReadSetting("Stats", "Printer"), "");
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(SettingsStoreTest, UserAndCommonFilesAreSeparate) {
  ASSERT_TRUE(store_.WriteSetting("Active", "T_ORDER", "WL"));
  ASSERT_TRUE(store_.WriteCommonSetting("Active", "T_ORDER", "WF"));
  EXPECT_EQ(store_.ReadSetting("ACTIVE", "t_order"), "WL");
  EXPECT_EQ(store_.ReadCommonSetting("active", "T_ORDER"), "WF");
}

// The store keeps the file it parsed, but every change by another program shows at the next
// read: one of the same size made at once, in place, as well as a replacement.
TEST_F(SettingsStoreTest, ChangesByOthersShowAtTheNextRead) {
  const fs::path file = store_.UserSettingsFile();
  WriteFileBytes(file, "[Active]\r\nUnit=M\r\n");
  EXPECT_EQ(store_.ReadSetting("Active", "Unit"), "M");
  for (const char* unit : {"C", "I", "M"}) {
    WriteFileBytes(file, std::string("[Active]\r\nUnit=") + unit + "\r\n");
    EXPECT_EQ(store_.ReadSetting("Active", "Unit"), unit);
    EXPECT_EQ(store_.ReadSetting("Active", "Unit"), unit);
  }
  ASSERT_TRUE(WriteFileAtomically(file, "[Active]\r\nUnit=X\r\n").ok);
  EXPECT_EQ(store_.ReadSetting("Active", "Unit"), "X");
  fs::remove(file);
  EXPECT_EQ(store_.ReadSetting("Active", "Unit"), "");
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(SettingsStoreTest, CaseVariantsAddressOneEntry) {
  ASSERT_TRUE(store_.WriteSetting("Stats", "Option", "1"));
  ASSERT_TRUE(store_.WriteSetting("STATS", "OPTION", "2"));
  ASSERT_TRUE(store_.WriteSetting("others", "RightHand", "1"));
  ASSERT_TRUE(store_.WriteSetting("Others", "righthand", "0"));
  EXPECT_EQ(store_.ReadSetting("stats", "option"), "2");
  EXPECT_EQ(store_.ReadSetting("OTHERS", "RIGHTHAND"), "0");
  EXPECT_EQ(ReadFileBytes(store_.UserSettingsFile()),
            "[Stats]\r\nOption=2\r\n[others]\r\nRightHand=0\r\n");
}

TEST_F(SettingsStoreTest, LongValueReadsAsItsFirst254Characters) {
  const std::string value(400, 'p');
  ASSERT_TRUE(store_.WriteSetting("Active", "Shape Library", value));
  EXPECT_EQ(store_.ReadSetting("Active", "Shape Library"), std::string(254, 'p'));
}

TEST_F(SettingsStoreTest, FailedWriteShowsTheStoreMessage) {
  // The user folder is a regular file here, so the settings file has no folder.
  fs::remove_all(folders_.folders().user);
  WriteFileBytes(folders_.folders().user, "not a folder");
  EXPECT_FALSE(store_.WriteSetting("Active", "Unit", "M"));
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(notifier_.messages[0].text, "Failed to write to:- \n" +
                                            store_.UserSettingsFile().string() +
                                            "\nError 3 - Path not found");
}

TEST_F(SettingsStoreTest, ReadOnlyFileRefusesEveryWriteAndKeepsItsValues) {
  ASSERT_TRUE(store_.WriteSetting("Active", "TonerPercent", " 50"));
  fs::permissions(store_.UserSettingsFile(), fs::perms::owner_read | fs::perms::others_read);
  EXPECT_FALSE(store_.WriteSetting("Active", "TonerPercent", " 70"));
  EXPECT_FALSE(store_.WriteSetting("Stats", "Option", "3"));
  ASSERT_EQ(notifier_.messages.size(), 2u);
  for (const auto& message : notifier_.messages) {
    EXPECT_EQ(message.text, "Failed to write to:- \n" + store_.UserSettingsFile().string() +
                                "\nError 5 - Access denied (read only?)");
  }
  EXPECT_EQ(store_.ReadSetting("Active", "TonerPercent"), "50");
}

// A file that is there but cannot be read (a folder in its place here; tests run as root, who
// reads any file) is said once, whatever is read or written afterwards, and is not replaced.
TEST_F(SettingsStoreTest, UnreadableFileIsSaidOnceAndKept) {
  fs::create_directories(store_.UserSettingsFile() / "inside");
  EXPECT_EQ(store_.CheckUserSettingsFile().state, SettingsFileState::kUnreadable);
  EXPECT_EQ(store_.CheckUserSettingsFile().error_code, kErrorNotRegularFile);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(store_.ReadSetting("Active", "Printer"), "");
    EXPECT_FALSE(store_.WriteSetting("Active", "Unit", "M"));
  }
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_EQ(notifier_.messages[0].text,
            "The settings file cannot be read:- \n" + store_.UserSettingsFile().string() +
                "\nError 1920 - Not a regular file (a folder, device or pipe is in its place)");
  EXPECT_TRUE(fs::exists(store_.UserSettingsFile() / "inside"));

  fs::remove_all(store_.UserSettingsFile());
  EXPECT_EQ(store_.CheckUserSettingsFile().state, SettingsFileState::kMissing);
  EXPECT_TRUE(store_.WriteSetting("Active", "Unit", "M"));
  EXPECT_EQ(store_.CheckUserSettingsFile().state, SettingsFileState::kReadable);
}

TEST(ErrorCodeTest, ErrnoMapsToTheProgramsCodes) {
  const std::map<int, int> expected = {{ENOENT, 2}, {ENOTDIR, 3},     {EACCES, 5},
                                       {EPERM, 5},  {EISDIR, 1920},   {ELOOP, 1921},
                                       {EROFS, 19}, {ENOSPC, ENOSPC}, {EIO, EIO}};
  for (const auto& [errno_value, code] : expected) {
    EXPECT_EQ(WindowsErrorCode(errno_value), code) << errno_value;
  }
}

TEST(ErrorCodeTest, ErrorTexts) {
  EXPECT_EQ(WriteErrorText(2), "Error 2 - File not found");
  EXPECT_EQ(WriteErrorText(3), "Error 3 - Path not found");
  EXPECT_EQ(WriteErrorText(5), "Error 5 - Access denied (read only?)");
  EXPECT_EQ(WriteErrorText(19), "Error 19 - Write protected media");
  EXPECT_EQ(WriteErrorText(32), "Error 32");
  EXPECT_EQ(WriteErrorText(28), "Error 28 - No space left on device");
  EXPECT_EQ(WriteErrorText(1921), "Error 1921 - The name leads round a loop of symbolic links");
}

TEST(StoredNumberTest, LeadingNumberReading) {
  struct Case {
    const char* text;
    long number;
  };
  const Case cases[] = {{" 50", 50},
                        {"50", 50},
                        {"  7x", 7},
                        {"abc", 0},
                        {"", 0},
                        {"-12", -12},
                        {"+3", 3},
                        {"100%", 100},
                        {"1 2", 1},
                        {"-", 0},
                        {"\t9", 9},
                        {"x50", 0},
                        {"2.9", 2},
                        {"1307", 1307},
                        {"99999999999999999999999", LONG_MAX},
                        {"-99999999999999999999999", LONG_MIN}};
  for (const Case& c : cases) EXPECT_EQ(ReadLeadingNumber(c.text), c.number) << c.text;
}

TEST(StoredNumberTest, LeadingDecimalAndByteReading) {
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal("2.2"), 2.2);
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal(" 2.1abc"), 2.1);
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal(""), 0.0);
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal("v2"), 0.0);
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal("-.5"), -0.5);
  EXPECT_EQ(ReadLeadingByte(" 50"), 50);
  EXPECT_EQ(ReadLeadingByte("300"), 255);
  EXPECT_EQ(ReadLeadingByte("-4"), 0);
}

TEST(StoredNumberTest, StoreFormatHasLeadingBlankWhenNotNegative) {
  EXPECT_EQ(FormatStoredNumber(50), " 50");
  EXPECT_EQ(FormatStoredNumber(0), " 0");
  EXPECT_EQ(FormatStoredNumber(-3), "-3");
  EXPECT_EQ(ReadLeadingNumber(FormatStoredNumber(1017)), 1017);
}

TEST(DataFoldersTest, GetDataFoldersCreatesOnlyTheUserFolder) {
  testing::TempDir dir;
  const fs::path user = dir.path() / "a" / "KelvaroPro";
  const fs::path common = dir.path() / "common";
  const DataFolders folders =
      GetDataFolders([&](const std::string& name) -> std::optional<std::string> {
        if (name == "KELVARO_USER_DIR") return user.string();
        if (name == "KELVARO_COMMON_DIR") return common.string();
        return std::nullopt;
      });
  EXPECT_EQ(folders.user, user);
  EXPECT_TRUE(fs::is_directory(user));
  EXPECT_FALSE(fs::exists(common));
}

}  // namespace
}  // namespace kelvaro
