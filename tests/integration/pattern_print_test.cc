// Pattern print through the whole chain: `kelvaro print --pattern` with a stored set-up, the
// job rendered by Ghostscript, and the share of the picture the screen knocks out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "support/pgm.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunCommand;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class PatternPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunCommand("command -v gs >/dev/null && test -x /usr/bin/convert").status != 0) {
      GTEST_SKIP() << "Ghostscript or ImageMagick is not installed";
    }
  }
  int Kelvaro(const std::string& args) {
    return RunCommand("cd " + Quoted(dir_.path()) + " && KELVARO_USER_DIR=user " +
                      "KELVARO_COMMON_DIR=common KELVARO_SYSFS_USB_ROOT=no-usb " +
                      "SOURCE_DATE_EPOCH=1700000000 " + Quoted(testing::KelvaroBinary()) + " " +
                      args + " 2>>stderr.txt")
        .status;
  }
  // The cyan separation of `job`, rendered at 300 dpi.
  std::optional<testing::Gray> CyanSeparation(const std::string& job) {
    const std::string render = "cd " + Quoted(dir_.path()) +
                               " && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiffsep"
                               " -sCompression=none -r300 -sOutputFile=sep.tif " +
                               job + " >gs.log 2>&1 && /usr/bin/convert 'sep(Cyan).tif' -depth 8 " +
                               "cyan.pgm";
    if (RunCommand(render).status != 0) return std::nullopt;
    return testing::ReadPgm(dir_.path() / "cyan.pgm");
  }
  testing::TempDir dir_;
};

TEST_F(PatternPrintTest, RectanglesKnockOutTheShareThePixelGridGives) {
  // A solid, opaque 2100 × 2100 picture at 300 dpi: exactly 60 pattern pitches each way.
  ASSERT_EQ(RunCommand("/usr/bin/convert -size 2100x2100 xc:'rgb(0,128,255)' -units "
                       "PixelsPerInch -density 300 " +
                       Quoted(dir_.path() / "solid.png"))
                .status,
            0);
  for (const char* setting :
       {"Shape Rectangle", "SizeX 2", "SizeY 2", "Gap 1", "Screen 0", "Mask 0"}) {
    ASSERT_EQ(Kelvaro(std::string("settings set 'RIP Patten Setup' ") + setting), 0);
  }
  ASSERT_EQ(Kelvaro("print solid.png --model C711WT --no-mirror --output solid.ps"), 0);
  ASSERT_EQ(Kelvaro("print solid.png --model C711WT --no-mirror --pattern --output screen.ps"), 0)
      << ReadFileBytes(dir_.path() / "stderr.txt");

  const std::optional<testing::Gray> solid = CyanSeparation("solid.ps");
  ASSERT_TRUE(solid) << ReadFileBytes(dir_.path() / "gs.log");
  // The picture's place on the page: where the solid print has ink (ink is 255 − level).
  long left = solid->width, top = solid->height, right = -1, bottom = -1;
  for (long y = 0; y < solid->height; ++y) {
    for (long x = 0; x < solid->width; ++x) {
      if (solid->At(x, y) == 255) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  ASSERT_GE(right, left);
  EXPECT_NEAR(right - left + 1, 2100, 3);

  const std::optional<testing::Gray> screen = CyanSeparation("screen.ps");
  ASSERT_TRUE(screen) << ReadFileBytes(dir_.path() / "gs.log");
  long knocked_out = 0;
  long area = 0;
  for (long y = top; y <= bottom; ++y) {
    for (long x = left; x <= right; ++x) {
      ++area;
      if (screen->At(x, y) == 255) ++knocked_out;
    }
  }
  // At 300 dpi a millimetre is 300 ÷ 25.4 = 11.811 pixels. The 2 mm box is round(23.62) = 24
  // pixels and the 3 mm pitch round(35.43) = 35 pixels, so each 35 × 35 cell keeps a 24 × 24
  // box and knocks out the rest between the boxes: 1 − (24 ÷ 35)² = 0.5298. The millimetre
  // drawing would give 1 − 4/9 = 0.5556.
  const double expected = 1.0 - (24.0 / 35.0) * (24.0 / 35.0);
  const double share = static_cast<double>(knocked_out) / static_cast<double>(area);
  EXPECT_NEAR(share, expected, expected * 0.005);
}

}  // namespace
}  // namespace kelvaro
