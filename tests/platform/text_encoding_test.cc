#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

TEST(TextEncodingTest, Utf8RoundTripsThroughUtf16) {
  const std::string samples[] = {"", "plain",
                                 "/home/j\xC3\xBC"
                                 "rgen/\xE5\x9B\xBE.png",
                                 "emoji \xF0\x9F\x96\xA8 printer"};
  for (const std::string& text : samples) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  }
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x96\xA8"), std::u16string({0xD83D, 0xDDA8}));
}

TEST(TextEncodingTest, BytesThatAreNotUtf8SurviveTheTrip) {
  // A Latin-1 file name, a truncated sequence and an overlong encoding.
  const std::string samples[] = {"caf\xE9.png", "x\xE2\x82", "\xC0\xAF"};
  for (const std::string& name : samples) {
    EXPECT_FALSE(IsValidUtf8(name));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(name)), name);
  }
}

TEST(TextEncodingTest, UnpairedSurrogatesBecomeReplacementCharacter) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string({u'a', 0xD800, u'b'})),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(std::u16string({0xDC00})), "\xEF\xBF\xBD");
}

TEST(TextEncodingTest, LittleEndianBytes) {
  EXPECT_EQ(UnitsToUtf16LeBytes(u"A\u00E9"), std::string("A\0\xE9\0", 4));
  EXPECT_EQ(Utf16LeBytesToUnits(std::string("A\0\xE9\0\x42", 5)), u"A\u00E9");  // odd byte dropped
}

TEST(TextEncodingTest, WindowsAnsiBecomesUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("\x80 \xE9 \x81"), "\xE2\x82\xAC \xC3\xA9 \xEF\xBF\xBD");
}

TEST(TextEncodingTest, CuttingCountsCharacters) {
  EXPECT_EQ(CutToChars("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(CutToChars("ab", 5), "ab");
  EXPECT_EQ(CountChars("a\xC3\xA9\xF0\x9F\x96\xA8\xFF"), 4u);
}

}  // namespace
}  // namespace kelvaro
