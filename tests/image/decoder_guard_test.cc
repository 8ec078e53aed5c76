#include "image/decoder_guard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FixtureBytes(const std::string& name) {
  const std::string text = testing::ReadFileBytes(testing::FixtureFolder() / "image" / name);
  return Bytes(text.begin(), text.end());
}

// quad.psd: 32 × 24, three 8-bit channels, run-length image data from byte 211 on (the
// compression field), then 3 × 24 row counts of 2 bytes.
constexpr std::size_t kCompressionAt = 211;
constexpr std::size_t kFirstRowAt = kCompressionAt + 2 + 2 * 3 * 24;

TEST(PsdImageDataTest, IntactFileAndOtherFormatsPass) {
  const Bytes psd = FixtureBytes("quad.psd");
  ASSERT_GT(psd.size(), kFirstRowAt);
  ASSERT_EQ(psd[kCompressionAt + 1], 1) << "the fixture is run-length coded";
  EXPECT_TRUE(PsdImageDataIsSound(psd));
  EXPECT_TRUE(PsdImageDataIsSound(Bytes(psd.begin(), psd.end() - 1)));
  EXPECT_TRUE(PsdImageDataIsSound(FixtureBytes("quad_alpha.png")));
  EXPECT_TRUE(PsdImageDataIsSound(Bytes{}));
  EXPECT_TRUE(PsdImageDataIsSound(Bytes{'8', 'B'}));
}

TEST(PsdImageDataTest, EveryCutThroughTheSectionsOrTheRowsFails) {
  const Bytes psd = FixtureBytes("quad.psd");
  // The image data is the last thing in the file, so every cut loses part of it; only the
  // last byte, a no-op header that pads the last row, may go.
  ASSERT_EQ(psd.back(), 128);
  for (std::size_t length = 4; length + 1 < psd.size(); ++length) {
    const Bytes cut(psd.begin(), psd.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(PsdImageDataIsSound(cut)) << "cut at " << length;
  }
}

TEST(PsdImageDataTest, RowsThatUnpackPastTheirWidthFail) {
  const Bytes psd = FixtureBytes("quad.psd");
  // The first row starts with a header byte; a literal or run of 128 bytes is far more than
  // the row's 32.
  Bytes literal = psd;
  literal[kFirstRowAt] = 127;
  EXPECT_FALSE(PsdImageDataIsSound(literal));
  Bytes run = psd;
  run[kFirstRowAt] = 129;
  EXPECT_FALSE(PsdImageDataIsSound(run));

  // Section lengths pointing past the end, and a header claiming absurd sizes.
  Bytes long_section = psd;
  long_section[26] = 0x7F;
  EXPECT_FALSE(PsdImageDataIsSound(long_section));
  Bytes huge = psd;
  huge[14] = 0x7F;  // height about two thousand million rows
  EXPECT_FALSE(PsdImageDataIsSound(huge));

  // Uncompressed data is read with plain reads and is left to the decoder.
  Bytes raw = psd;
  raw[kCompressionAt + 1] = 0;
  EXPECT_TRUE(PsdImageDataIsSound(raw));
}

}  // namespace
}  // namespace kelvaro
