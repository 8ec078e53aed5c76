#include "settings/language_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TempDir;
using testing::WriteFileBytes;

std::vector<LanguageEntry> FixtureTable() {
  std::optional<std::vector<LanguageEntry>> table =
      ParseTextTable(ReadFileBytes(testing::FixtureFolder() / "settings" / "deutsch.txt"));
  EXPECT_TRUE(table.has_value());
  return table.value_or(std::vector<LanguageEntry>{});
}

// A file with the given raw lines after the header and comment, CR LF ended.
std::string RawFile(const std::vector<std::string>& lines,
                    const std::string& header = kLanguageHeaderV3) {
  std::string out = header + "\r\ncomment\r\n";
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::string Entry(int number, const std::string& text, int asterisks = 0) {
  return EncodeLanguageEntry({number, text}, asterisks).value();
}

UiText Defaults() {
  UiText texts;
  LoadDefaultTexts(texts);
  return texts;
}

void ExpectSameTable(const UiText& actual, const UiText& expected) {
  ASSERT_EQ(actual.last_entry(), expected.last_entry());
  for (int n = 0; n <= expected.last_entry(); ++n)
    EXPECT_EQ(actual.Get(n), expected.Get(n)) << "entry " << n;
}

TEST(Base64Test, KnownAnswers) {
  const std::pair<std::string, std::string> cases[] = {
      {"f", "Zg=="},          {"fo", "Zm8="},       {"foo", "Zm9v"},
      {"foobar", "Zm9vYmFy"}, {"\xff\xfe", "//4="}, {std::string("\0\0\0", 3), "AAAA"},
  };
  for (const auto& [plain, encoded] : cases) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    EXPECT_EQ(Base64Decode(encoded), plain) << encoded;
  }
}

TEST(Base64Test, RejectsWhatIsNotBase64) {
  for (const char* bad :
       {"", "Zg=", "Zm9v!A==", "Z=g=", "=Zg=", "Zm9v\xc3\xa4", "Zg==Zg==", "Zm 9v", "Zg\r\n"}) {
    EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
  }
}

TEST(Utf16Test, ConvertsBothWaysIncludingSurrogatePairs) {
  const std::string text = "5N\u20ac \U0001D11E";
  const std::optional<std::string> utf16 = Utf8ToUtf16Le(text);
  ASSERT_TRUE(utf16.has_value());
  EXPECT_EQ(Base64Encode(*utf16), "NQBOAKwgIAA02B7d");
  EXPECT_EQ(Utf16LeToUtf8(*utf16), text);
}

TEST(Utf16Test, RejectsMalformedInput) {
  EXPECT_FALSE(Utf8ToUtf16Le("\xc3").has_value());          // cut short
  EXPECT_FALSE(Utf8ToUtf16Le("\xc0\xaf").has_value());      // overlong
  EXPECT_FALSE(Utf8ToUtf16Le("\xed\xa0\x80").has_value());  // surrogate
  EXPECT_FALSE(Utf8ToUtf16Le("\xff").has_value());
  EXPECT_FALSE(Utf16LeToUtf8(std::string("A\0B", 3)).has_value());      // odd length
  EXPECT_FALSE(Utf16LeToUtf8(std::string("\x00\xd8", 2)).has_value());  // lone high
  EXPECT_FALSE(Utf16LeToUtf8(std::string("\x00\xdc"
                                         "A\0",
                                         4))
                   .has_value());  // lone low
}

TEST(LanguageEntryTest, DecodesKnownLines) {
  struct Case {
    const char* line;
    int number;
    const char* text;
  } cases[] = {
      {"MgA4AE4AUAByAGkAbgB0AA==", 28, "Print"},
      {"KgAqACoAMgA4AE4AUAByAGkAbgB0ACoAKgAqAA==", 28, "Print"},  // ***28NPrint***
      {"MgA5AE4AUAByAGkAbgB0ACAAVQB0AGkAbABpAHQAeQAgAEYAbwByACAAKgAqACoAKgAqACoA", 29,
       "Print Utility For ******"},
      {"MABOAEsAZQBsAHYAYQByAG8A  \r", 0, "Kelvaro"},  // trailing blanks
  };
  for (const Case& c : cases) {
    std::optional<LanguageEntry> entry = DecodeLanguageEntry(c.line);
    ASSERT_TRUE(entry.has_value()) << c.line;
    EXPECT_EQ(entry->number, c.number);
    EXPECT_EQ(entry->text, c.text);
  }
}

TEST(LanguageEntryTest, AsterisksComeOffInPairsOnly) {
  for (int stars : {0, 1, 3, 7}) {
    for (const std::string text : {"Plain", "Ends in ***", "*", ""}) {
      std::optional<LanguageEntry> entry = DecodeLanguageEntry(Entry(44, text, stars));
      ASSERT_TRUE(entry.has_value());
      EXPECT_EQ(entry->number, 44);
      EXPECT_EQ(entry->text, text) << stars;
    }
  }
}

TEST(LanguageEntryTest, OnlyTheFirstNSeparates) {
  std::optional<LanguageEntry> entry = DecodeLanguageEntry(Entry(28, "NEW N N"));
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->number, 28);
  EXPECT_EQ(entry->text, "NEW N N");
}

TEST(LanguageEntryTest, DamageIsNamed) {
  std::string damage;
  EXPECT_FALSE(DecodeLanguageEntry("Zm9v!A==", &damage).has_value());
  EXPECT_EQ(damage, "an entry is not Base64");
  EXPECT_FALSE(DecodeLanguageEntry(Base64Encode("odd"), &damage).has_value());
  EXPECT_EQ(damage, "an entry is not UTF-16 text");
  EXPECT_FALSE(DecodeLanguageEntry(Base64Encode(*Utf8ToUtf16Le("Print")), &damage).has_value());
  EXPECT_EQ(damage, "an entry does not start with its number");
  EXPECT_FALSE(DecodeLanguageEntry(Base64Encode(*Utf8ToUtf16Le("12")), &damage).has_value());
}

TEST(LanguageEntryTest, HugeNumbersFallOutsideEveryTable) {
  std::optional<LanguageEntry> entry =
      DecodeLanguageEntry(Base64Encode(*Utf8ToUtf16Le("99999999999999999999999NX")));
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->number, -1);
}

// The first `count` lines of `bytes`, each with its line end.
std::string CutAfterLines(const std::string& bytes, int count) {
  std::size_t at = 0;
  for (int i = 0; i < count && at != std::string::npos; ++i) {
    at = bytes.find('\n', at);
    if (at != std::string::npos) ++at;
  }
  return bytes.substr(0, at);
}

class LanguageFileTest : public ::testing::Test {
 protected:
  void Install(const std::string& name, const std::string& bytes) {
    WriteFileBytes(program_.path() / name, bytes);
  }
  LanguageLoadResult Load(const std::string& name) {
    return LoadLanguage(program_.path(), name, texts_, notifier_);
  }

  TempDir program_;
  UiText texts_;
  RecordingNotifier notifier_;
};

TEST_F(LanguageFileTest, ToolMadeFileRoundTripsEveryEntry) {
  const std::vector<LanguageEntry> table = FixtureTable();
  ASSERT_GT(table.size(), 10u);
  std::optional<std::string> file = WriteLanguageFile(table, "German");
  ASSERT_TRUE(file.has_value());
  Install("deutsch.lan3", *file);

  EXPECT_EQ(Load("deutsch.lan3"), LanguageLoadResult::kLoaded);
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_EQ(texts_.last_entry(), 312);
  for (const LanguageEntry& entry : table) {
    if (entry.number == 0) continue;
    EXPECT_EQ(texts_.Get(entry.number), ConvertBackslashN(entry.text)) << entry.number;
  }
  EXPECT_EQ(texts_.Get(0), "Kelvaro Pro");
  EXPECT_EQ(texts_.Get(28), "Drucken: NUR Neue Nummern");
  EXPECT_EQ(texts_.Get(29), "Druck-Werkzeug f\u00fcr ******");
  EXPECT_EQ(texts_.Get(176), "Eigene Medieneinstellungen installieren \r\nnur einmal!");
  EXPECT_EQ(texts_.Get(288), "F\u00fcr\\numcopy\\copies betragen die Gesamtkosten");
  // Entries missing from the file keep their built-in English text.
  EXPECT_EQ(texts_.Get(6), "OK");
  EXPECT_EQ(texts_.Get(122), ConvertBackslashN(DefaultText(122)));

  // And back to the same table text.
  ParsedLanguageFile parsed = ParseLanguageFile(*file);
  EXPECT_EQ(parsed.damage, "");
  EXPECT_EQ(parsed.entries, table);
}

TEST_F(LanguageFileTest, WriterMatchesTheCheckedInToolOutput) {
  // deutsch.lan3 was made with `lan3tool encode deutsch.txt deutsch.lan3 --comment ...` and
  // checked against an independent Base64/UTF-16 decoder.
  const std::string expected =
      ReadFileBytes(testing::FixtureFolder() / "settings" / "deutsch.lan3");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(WriteLanguageFile(FixtureTable(), "German sample made with lan3tool"), expected);
}

TEST_F(LanguageFileTest, TableTextRoundTrips) {
  const std::vector<LanguageEntry> table = FixtureTable();
  EXPECT_EQ(ParseTextTable(FormatTextTable(table)), table);
  // Real line breaks can only come from a file; they are written back as backslash-n.
  EXPECT_EQ(FormatTextTable({{3, "a\r\nb\nc"}}), "3\ta\\nb\\nc\n");
}

TEST_F(LanguageFileTest, AsteriskWrappedEntriesLoadLikePlainOnes) {
  Install("stars.lan3", RawFile({"312N" + Entry(0, "x"), Entry(28, "Print", 3),
                                 Entry(29, "Star ***", 3), Entry(30, "Plain"), ">>>"}));
  EXPECT_EQ(Load("stars.lan3"), LanguageLoadResult::kLoaded);
  EXPECT_EQ(texts_.Get(28), "Print");
  EXPECT_EQ(texts_.Get(29), "Star ***");
  EXPECT_EQ(texts_.Get(30), "Plain");
}

TEST_F(LanguageFileTest, CountDecidesTheTableSize) {
  Install("short.lan3", RawFile({"200N" + Entry(1, "Eins"), Entry(200, "Zweihundert")}));
  EXPECT_EQ(Load("short.lan3"), LanguageLoadResult::kLoaded);
  EXPECT_EQ(texts_.last_entry(), 312);
  EXPECT_EQ(texts_.Get(200), "Zweihundert");
  EXPECT_EQ(texts_.Get(5), "Cancel");  // not in the file: the built-in text stays
  EXPECT_EQ(texts_.Get(312), DefaultText(312));

  Install("long.lan3", RawFile({"400N" + Entry(1, "Eins"), Entry(399, "a"), Entry(400, "b")}));
  EXPECT_EQ(Load("long.lan3"), LanguageLoadResult::kLoaded);
  EXPECT_EQ(texts_.last_entry(), 400);
  EXPECT_EQ(texts_.Get(400), "b");
  EXPECT_EQ(texts_.Get(401), "");
}

TEST_F(LanguageFileTest, ReadingStopsAtMarkerCountOrLastNumber) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    int last_loaded;   // entry expected present
    int first_unread;  // entry expected unread: it keeps its built-in text
  } cases[] = {
      {"marker", {"312N" + Entry(1, "a"), Entry(2, "b"), ">>>", Entry(3, "c")}, 2, 3},
      // Count 2: stops once more than two lines after the count line are stored.
      {"count",
       {"2N" + Entry(1, "a"), Entry(0, "z"), Entry(1, "b"), Entry(1, "c"), Entry(1, "d")},
       1,
       -1},
      // An entry numbered at or above the count ends the entries.
      {"number", {"10N" + Entry(1, "a"), Entry(10, "b"), Entry(3, "c")}, 10, 3},
  };
  for (const Case& c : cases) {
    Install(std::string(c.name) + ".lan3", RawFile(c.lines));
    EXPECT_EQ(Load(std::string(c.name) + ".lan3"), LanguageLoadResult::kLoaded) << c.name;
    EXPECT_NE(texts_.Get(c.last_loaded), "") << c.name;
    if (c.first_unread >= 0) {
      EXPECT_EQ(texts_.Get(c.first_unread), DefaultText(c.first_unread)) << c.name;
    }
  }
  // The count case stored its third line "c" and never read the fourth.
  Install("count.lan3", RawFile(cases[1].lines));
  Load("count.lan3");
  EXPECT_EQ(texts_.Get(1), "c");
}

TEST_F(LanguageFileTest, OutdatedFilesGiveTheirMessageAndTheDefaults) {
  for (const char* header : {kLanguageHeaderV1, kLanguageHeaderV2}) {
    notifier_.messages.clear();
    Install("old.lan3", RawFile({"312N" + Entry(1, "Alt")}, std::string("  ") + header + " x"));
    EXPECT_EQ(Load("old.lan3"), LanguageLoadResult::kOutdated);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0].title, "Driftmark");
    EXPECT_EQ(notifier_.messages[0].text,
              "The Language file is out of date, please reinstall\nLoading Defaults");
    EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kWarning);
    ExpectSameTable(texts_, Defaults());
  }
}

TEST_F(LanguageFileTest, MissingFileNamesThePath) {
  EXPECT_EQ(Load("nowhere.lan3"), LanguageLoadResult::kMissing);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(notifier_.messages[0].text,
            (program_.path() / "nowhere.lan3").string() +
                " Missing\nLoading defaults - Please set language once open");
  ExpectSameTable(texts_, Defaults());

  // No name at all: the folder itself is reported.
  notifier_.messages.clear();
  EXPECT_EQ(Load(""), LanguageLoadResult::kMissing);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text.rfind((program_.path() / "").string() + " Missing\n", 0),
            0u);
}

TEST_F(LanguageFileTest, NamesOutsideTheFolderAreNotFollowed) {
  TempDir other;
  WriteFileBytes(other.path() / "x.lan3", RawFile({"312N" + Entry(1, "Fremd")}));
  const std::string escape = "../" + other.path().filename().string() + "/x.lan3";
  EXPECT_EQ(Load(escape), LanguageLoadResult::kMissing);
  EXPECT_EQ(texts_.Get(1), "No File");
}

TEST_F(LanguageFileTest, FileNameMatchesWithoutRegardToCase) {
  Install("Deutsch.lan3", RawFile({"312N" + Entry(1, "Keine Datei"), ">>>"}));
  EXPECT_EQ(Load("deutsch.lan3"), LanguageLoadResult::kLoaded);
  EXPECT_EQ(texts_.Get(1), "Keine Datei");
}

TEST_F(LanguageFileTest, DamagedFilesKeepTheBuiltInTexts) {
  const std::string good = Entry(2, "gut");
  const std::string odd_utf16 = Base64Encode("5N");
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"bad-base64", RawFile({"312N" + Entry(1, "a"), good, "MgA4AE4A$$$$AByAGkAbgB0AA==", ">>>"})},
      {"bad-length", RawFile({"312N" + Entry(1, "a"), good.substr(1), ">>>"})},
      {"bad-first", RawFile({"312NZm9v!A==", good})},
      {"odd-utf16", RawFile({"312N" + Entry(1, "a"), odd_utf16})},
      {"no-number", RawFile({"312N" + Base64Encode(*Utf8ToUtf16Le("Ohne Nummer"))})},
      {"no-count", RawFile({Entry(1, "a")})},
      {"count-no-n", RawFile({"312"})},
      {"huge-count", RawFile({"99999999999999N" + Entry(1, "a")})},
      {"negative-count", RawFile({"-5N" + Entry(1, "a")})},
      {"no-header", "Some other file\r\nx\r\n312N" + Entry(1, "a") + "\r\n"},
      {"two-lines", std::string(kLanguageHeaderV3) + "\r\ncomment\r\n"},
      {"empty", ""},
      {"binary", std::string("\0\xff\x00\x10", 4)},
      // Cut between two lines: every line left decodes, but entries and the end line are gone.
      {"cut-between-lines", RawFile({"312N" + Entry(1, "a"), Entry(2, "b")})},
      {"cut-fixture",
       CutAfterLines(ReadFileBytes(testing::FixtureFolder() / "settings" / "deutsch.lan3"), 8)},
  };
  for (const Case& c : cases) {
    // A table from an earlier load must not leak into the result either.
    texts_.Reset(400);
    texts_.Set(1, "old");
    notifier_.messages.clear();
    Install(std::string(c.name) + ".lan3", c.bytes);
    EXPECT_EQ(Load(std::string(c.name) + ".lan3"), LanguageLoadResult::kDamaged) << c.name;
    ASSERT_EQ(notifier_.messages.size(), 1u) << c.name;
    EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
    EXPECT_NE(notifier_.messages[0].text.find(" is damaged: "), std::string::npos);
    EXPECT_NE(notifier_.messages[0].text.find(c.name), std::string::npos);
    ExpectSameTable(texts_, Defaults());
  }
}

TEST_F(LanguageFileTest, WriterRefusesWhatTheLoaderCouldNotReadBack) {
  std::string error;
  EXPECT_FALSE(WriteLanguageFile({}, "", -1, &error).has_value());
  EXPECT_FALSE(WriteLanguageFile({{1, "a"}, {1, "b"}}, "", -1, &error).has_value());
  EXPECT_EQ(error, "entry 1 appears twice");
  EXPECT_FALSE(WriteLanguageFile({{1, "a"}, {20, "b"}}, "", 10, &error).has_value());
  EXPECT_FALSE(WriteLanguageFile({{1, "\xff"}}, "", -1, &error).has_value());
  EXPECT_FALSE(WriteLanguageFile({{1, "a"}}, "", kMaxLanguageEntryCount + 1, &error).has_value());
  // The count follows the highest entry when it is above 312.
  std::optional<std::string> file = WriteLanguageFile({{500, "x"}}, "");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(ParseLanguageFile(*file).count, 500);
}

TEST(TextTableTest, ReportsMalformedLines) {
  struct Case {
    const char* table;
    const char* error;
  } cases[] = {
      {"1\tok\nno tab here\n", "line 2: expected a number, a tab and the text"},
      {"x\ttext\n", "line 1: expected a number, a tab and the text"},
      {"1 2\ttext\n", "line 1: expected a number, a tab and the text"},
      {"4\ta\n# note\n\n4\tb\n", "line 4: entry 4 already on line 1"},
      {"123456\ta\n", "line 1: entry number above 9999"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseTextTable(c.table, &error).has_value()) << c.table;
    EXPECT_EQ(error, c.error);
  }
  std::optional<std::vector<LanguageEntry>> ok = ParseTextTable("# c\r\n7\t a\tb \r\n\r\n8\t\n");
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(*ok, (std::vector<LanguageEntry>{{7, " a\tb "}, {8, ""}}));
}

class LanguageListTest : public ::testing::Test {
 protected:
  void Add(const std::string& name, const std::string& first_line) {
    WriteFileBytes(program_.path() / name, first_line + "\r\nrest\r\n");
  }
  TempDir program_;
};

TEST_F(LanguageListTest, ListsOnlyV3FilesWithTheirDisplayNames) {
  Add("ENGLISH.lan3", kLanguageHeaderV3);
  Add("deutsch.lan3", kLanguageHeaderV3);
  Add("old.lan3", kLanguageHeaderV2);
  Add("plain.lan3", "just V3 somewhere");
  Add("notes.txt", kLanguageHeaderV3);
  Add("francais.LAN3", kLanguageHeaderV3);
  fs::create_directories(program_.path() / "folder.lan3");
  const std::vector<LanguageChoice> choices = ListLanguages(program_.path());
  std::vector<std::string> names;
  for (const LanguageChoice& choice : choices) names.push_back(choice.display_name);
  EXPECT_EQ(names, (std::vector<std::string>{"English", "Deutsch", "Francais", "Plain"}));
  EXPECT_EQ(choices[0].file_name, "ENGLISH.lan3");

  EXPECT_EQ(FindLanguageSelection(choices, "deutsch.lan3"), 1);
  EXPECT_EQ(FindLanguageSelection(choices, "English.lan3"), 0);
  EXPECT_EQ(FindLanguageSelection(choices, "ENGLISH"), 0);
  EXPECT_EQ(FindLanguageSelection(choices, "engl.lan3"), -1);
  EXPECT_EQ(FindLanguageSelection(choices, ""), -1);
}

TEST_F(LanguageListTest, AtMost31FilesAreLookedAt) {
  for (int i = 0; i < 40; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "lang%02d.lan3", i);
    Add(name, kLanguageHeaderV3);
  }
  const std::vector<LanguageChoice> choices = ListLanguages(program_.path());
  ASSERT_EQ(choices.size(), 31u);
  EXPECT_EQ(choices.front().display_name, "Lang00");
  EXPECT_EQ(choices.back().display_name, "Lang30");
}

TEST(LanguageDisplayNameTest, FollowsTheCaseRule) {
  EXPECT_EQ(LanguageDisplayName("ENGLISH.lan3"), "English");
  EXPECT_EQ(LanguageDisplayName("deutsch.lan3"), "Deutsch");
  EXPECT_EQ(LanguageDisplayName("pt.BR.lan3"), "Pt");
  EXPECT_EQ(LanguageDisplayName(".lan3"), "");
}

TEST(LanguageListNoFolderTest, MissingFolderGivesAnEmptyList) {
  EXPECT_TRUE(ListLanguages("/nonexistent/kelvaro-languages").empty());
}

}  // namespace
}  // namespace kelvaro
