// `kelvaro preview` as a user runs it: the page as a PNG and the published layout as JSON.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class PreviewCommandTest : public ::testing::Test {
 protected:
  testing::CommandResult Kelvaro(const std::string& args) {
    const fs::path err = dir_.path() / "stderr.txt";
    testing::CommandResult result = testing::RunCommand(
        "cd " + Quoted(dir_.path()) + " && KELVARO_USER_DIR=" + Quoted(dir_.path() / "user") +
        " KELVARO_COMMON_DIR=" + Quoted(dir_.path() / "common") +
        " KELVARO_SYSFS_USB_ROOT=" + Quoted(dir_.path() / "no-usb") + " " +
        Quoted(testing::KelvaroBinary()) + " " + args + " 2>" + Quoted(err));
    errors_ = testing::ReadFileBytes(err);
    return result;
  }
  testing::TempDir dir_;
  std::string errors_;
};

TEST_F(PreviewCommandTest, WritesThePageAndPrintsTheLayout) {
  const testing::CommandResult result =
      Kelvaro("preview " + Quoted(testing::SampleArtwork()) +
              " --output page.png --width 406 --across 2 --down 3 --no-print-white");
  ASSERT_EQ(result.status, 0) << errors_;
  // 400 × 566 pixels: 1.414 × (406 − 6) high, A4 wide.
  EXPECT_THAT(result.out, HasSubstr("{\"canvas_width\": 400, \"canvas_height\": 566"));
  EXPECT_THAT(result.out, HasSubstr("\"copies_across\": 2, \"copies_down\": 3"));
  EXPECT_THAT(result.out, HasSubstr("\"zoom\": \"100.0%\"}"));
  const std::string png = testing::ReadFileBytes(dir_.path() / "page.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x01\x90\0\0\x02\x36", 8));  // 400 × 566
}

// The white view: the printed white plane in grey on a black page, the layout as in colour.
TEST_F(PreviewCommandTest, TheWhiteViewIsWrittenWithTheSameLayout) {
  const std::string common =
      "preview " + Quoted(testing::SampleArtwork()) + " --width 406 --no-threshold";
  const testing::CommandResult colour = Kelvaro(common + " --output colour.png --view colour");
  ASSERT_EQ(colour.status, 0) << errors_;
  const testing::CommandResult white = Kelvaro(common + " --output white.png --view white");
  ASSERT_EQ(white.status, 0) << errors_;
  const testing::CommandResult choked =
      Kelvaro(common + " --output choked.png --view white --white-choke 1");
  ASSERT_EQ(choked.status, 0) << errors_;
  EXPECT_EQ(white.out, colour.out);
  const std::string colour_png = testing::ReadFileBytes(dir_.path() / "colour.png");
  const std::string white_png = testing::ReadFileBytes(dir_.path() / "white.png");
  const std::string choked_png = testing::ReadFileBytes(dir_.path() / "choked.png");
  ASSERT_GT(white_png.size(), 24u);
  EXPECT_EQ(white_png.substr(16, 8), colour_png.substr(16, 8));  // the same size
  EXPECT_NE(white_png, colour_png);
  EXPECT_NE(white_png, choked_png);
}

TEST_F(PreviewCommandTest, RefusesWhatItCannotDo) {
  const struct {
    const char* options;
    const char* message;
  } kCases[] = {
      {"", "preview needs --output PAGE.png"},
      {"--output p.png --dump-separations d", "--printer and --dump-separations do not apply"},
      {"--output p.png --placement 10", "The placement must be from 0 to 9"},
      {"--output p.png --width 3", "The preview width must be from 7 to 20000"},
      {"--output p.png --display-white --no-display-white", "both given"},
      {"--output p.png --view grey", "--view grey: the view is colour or white"},
      {"--output p.png --white-spread 1.01", "from 0 to 1.0"},
  };
  for (const auto& test : kCases) {
    const testing::CommandResult result =
        Kelvaro("preview " + Quoted(testing::SampleArtwork()) + " " + test.options);
    EXPECT_NE(result.status, 0) << test.options;
    EXPECT_THAT(errors_, HasSubstr(test.message)) << test.options;
    EXPECT_FALSE(fs::exists(dir_.path() / "p.png")) << test.options;
  }
}

}  // namespace
}  // namespace kelvaro
