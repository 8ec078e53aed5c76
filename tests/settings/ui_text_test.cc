#include "settings/ui_text.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

TEST(UiTextTest, NewTableHas313EmptyEntriesAndEmptyOutsideReads) {
  UiText texts;
  EXPECT_EQ(texts.last_entry(), 312);
  EXPECT_EQ(texts.Get(0), "");
  EXPECT_EQ(texts.Get(312), "");
  EXPECT_EQ(texts.Get(313), "");
  EXPECT_EQ(texts.Get(-1), "");
  EXPECT_FALSE(texts.Set(313, "x"));
  EXPECT_FALSE(texts.Set(-1, "x"));
  EXPECT_TRUE(texts.Set(312, "x"));
  EXPECT_EQ(texts[312], "x");
}

TEST(UiTextTest, ResetNeverShrinksBelowTheBuiltInTable) {
  UiText texts;
  texts.Set(5, "x");
  texts.Reset(200);
  EXPECT_EQ(texts.last_entry(), 312);
  EXPECT_EQ(texts.Get(5), "");
  texts.Reset(400);
  EXPECT_EQ(texts.last_entry(), 400);
  EXPECT_TRUE(texts.Set(400, "y"));
}

struct DefaultCase {
  int number;
  const char* text;  // after line-break conversion
};

TEST(UiTextTest, DefaultTextsSampledAcrossTheTable) {
  const DefaultCase cases[] = {
      {0, "Kelvaro Pro"},
      {1, "No File"},
      {25, ""},
      {29, "Print Utility For ******"},
      {32, "<<<<<        no file       >>>>>"},
      {41, "<<<<<    Sent to Printer   >>>>>"},
      {73,
       "Note: The higher the value the more likely unwanted portions of the image will be "
       "removed. This value will be used next time a jpg/jpeg file is be opened"},
      {122, "MultiPurpose Tray"},
      {132, "Unable to Copy,\r\nPlease run with administrator permissions"},
      {135,
       "The original image is to big\r\nfor the requested copies\r\nPlease reduce the "
       "size/resolution"},
      {176, "Install Custom Media settings \r\nonce only!"},
      {200, ""},
      {205,
       "Note: Depending on your ArtWork Colors might print slightly different than in "
       "\u2018White Last Mode\u2019! Load \u2018WhiteFirstPhoto.qvcfg\u2019 Settings to print "
       "Photos."},
      {225, "Medium C Tip\""},
      {252,
       "Select the Shapes to remove. This will mark the name. Select again to unmark\r\n\r\nThe "
       "Cancel button will exit without deleting the marked Shape(s),OK completes the removal "
       "of the shapes"},
      {279, "Print && Statistics"},
      {287,
       "The approximate cost of printing the image on the\\printer\\at\\pagesize\\is\\calc\\ "
       "\\Currancy\\per copy."},
      {288, "For\\numcopy\\copies the overall cost is"},
      {292, "Select Profile"},
      {295, ""},
      {311, ""},
      {312, ""},
  };
  UiText texts;
  LoadDefaultTexts(texts);
  EXPECT_EQ(texts.last_entry(), 312);
  for (const DefaultCase& c : cases) EXPECT_EQ(texts.Get(c.number), c.text) << c.number;
}

TEST(UiTextTest, DefaultsCountAndNoStrayLineBreakMarkers) {
  UiText texts;
  LoadDefaultTexts(texts);
  int non_empty = 0;
  for (int n = 0; n <= 312; ++n) {
    const std::string& text = texts.Get(n);
    if (!text.empty()) ++non_empty;
    // After conversion the only backslash-n left is the backslash-num placeholder.
    for (std::size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1))
      EXPECT_EQ(text.compare(at, 4, "\\num"), 0) << n;
  }
  // 313 entries less 17 "not used", 17 "empty" and the 13 help entries a language supplies.
  EXPECT_EQ(non_empty, 313 - 17 - 17 - 13);
}

TEST(UiTextTest, LoadDefaultsDropsALongerLanguageTable) {
  UiText texts;
  texts.Reset(400);
  texts.Set(400, "extra");
  texts.Set(299, "Hilfe");
  LoadDefaultTexts(texts);
  EXPECT_EQ(texts.last_entry(), 312);
  EXPECT_EQ(texts.Get(400), "");
  EXPECT_EQ(texts.Get(299), "");
}

TEST(UiTextTest, ConvertBackslashN) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\\nb", "a\r\nb"},        {"\\n", "\r\n"},
      {"end\\", "end\\"},         {"For\\numcopy\\copies", "For\\numcopy\\copies"},
      {"\\nu", "\r\nu"},          {"\\nonce", "\r\nonce"},
      {"a\\n\\nb", "a\r\n\r\nb"}, {"no breaks", "no breaks"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ConvertBackslashN(in), out) << in;
}

}  // namespace
}  // namespace kelvaro
