// Runs `kelvaro info` on real pictures with its own user and common folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::FixtureFolder;
using testing::KelvaroBinary;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempDir;
using testing::WriteFileBytes;

fs::path Sample() { return testing::SampleArtwork(); }
fs::path Fixture(const std::string& name) { return FixtureFolder() / "image" / name; }

// The keys in the order they are printed.
const std::vector<std::string> kKeys = {"width",
                                        "height",
                                        "x_dpi",
                                        "y_dpi",
                                        "source_kind",
                                        "transparent",
                                        "rotate",
                                        "scale_factor",
                                        "physical_width_pt",
                                        "physical_height_pt",
                                        "oriented_width_pt",
                                        "oriented_height_pt",
                                        "output_width",
                                        "output_height",
                                        "white_edge",
                                        "white_edge_mm",
                                        "copies_across",
                                        "copies_down",
                                        "gap_across_pt",
                                        "gap_down_pt",
                                        "offset_x_pt",
                                        "offset_y_pt",
                                        "x_pixel",
                                        "y_pixel",
                                        "x_point",
                                        "y_point"};

class InfoCliTest : public ::testing::Test {
 protected:
  // The folders an installed program finds: the user's own and the machine-wide one.
  InfoCliTest() {
    fs::create_directories(User());
    fs::create_directories(dir_.path() / "common");
  }
  fs::path User() const { return dir_.path() / "user"; }
  std::string Errors() const { return ReadFileBytes(dir_.path() / "stderr.txt"); }

  testing::CommandResult Run(const std::string& arguments) {
    return RunCommand("KELVARO_USER_DIR='" + User().string() + "' KELVARO_COMMON_DIR='" +
                      (dir_.path() / "common").string() + "' '" + KelvaroBinary().string() + "' " +
                      arguments + " 2>'" + (dir_.path() / "stderr.txt").string() + "'");
  }

  // The object's values as printed, by key; fails the test when the shape is wrong.
  std::map<std::string, std::string> Parse(const std::string& out) {
    std::map<std::string, std::string> values;
    EXPECT_EQ(out.substr(0, 1), "{");
    EXPECT_EQ(out.size() >= 2 ? out.substr(out.size() - 2) : out, "}\n");
    const std::regex pair("\"([a-z_]+)\": ([^,}]+)");
    std::vector<std::string> order;
    for (auto it = std::sregex_iterator(out.begin(), out.end(), pair); it != std::sregex_iterator();
         ++it) {
      order.push_back((*it)[1]);
      values[(*it)[1]] = (*it)[2];
    }
    EXPECT_EQ(order, kKeys);
    return values;
  }

  static double Num(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    return it == values.end() ? -1 : std::stod(it->second);
  }

  TempDir dir_;
};

TEST_F(InfoCliTest, ReportsTheWhiteEdgeInForceAndRefusesWidthsOutOfRange) {
  EXPECT_EQ(Parse(Run("info '" + Sample().string() + "'").out).at("white_edge"), "\"off\"");
  // The width snaps to the 0.05 mm steps the window offers.
  const auto choke = Parse(Run("info --white-choke 0.33 '" + Sample().string() + "'").out);
  EXPECT_EQ(choke.at("white_edge"), "\"choke\"");
  EXPECT_EQ(choke.at("white_edge_mm"), "0.35");
  const auto spread = Parse(Run("info --white-spread 1 '" + Sample().string() + "'").out);
  EXPECT_EQ(spread.at("white_edge"), "\"spread\"");
  EXPECT_EQ(spread.at("white_edge_mm"), "1");
  for (const char* bad : {"--white-choke 1.05", "--white-spread -0.1", "--white-choke wide",
                          "--white-choke 0.2 --white-spread 0.2"}) {
    const testing::CommandResult result =
        Run(std::string("info ") + bad + " '" + Sample().string() + "'");
    EXPECT_NE(result.status, 0) << bad;
    EXPECT_TRUE(result.out.empty()) << bad;
    if (std::string(bad).find("--white-spread 0.2") == std::string::npos) {
      EXPECT_NE(Errors().find("from 0 to 1.0"), std::string::npos) << bad << ": " << Errors();
    }
  }
  // A run from the command line stores nothing.
  EXPECT_EQ(ReadFileBytes(User() / "KelvaroPro.ini").find("White Edge"), std::string::npos);
}

TEST_F(InfoCliTest, DescribesTheSamplePicture) {
  const testing::CommandResult result = Run("info '" + Sample().string() + "'");
  ASSERT_EQ(result.status, 0) << Errors();
  const auto values = Parse(result.out);
  EXPECT_EQ(values.at("width"), "600");
  EXPECT_EQ(values.at("height"), "400");
  // 5905 pixels per metre in its pHYs chunk.
  EXPECT_NEAR(Num(values, "x_dpi"), 149.987, 0.001);
  EXPECT_NEAR(Num(values, "y_dpi"), 149.987, 0.001);
  EXPECT_EQ(values.at("source_kind"), "1");
  EXPECT_EQ(values.at("transparent"), "true");
  EXPECT_EQ(values.at("rotate"), "false");
  EXPECT_EQ(values.at("scale_factor"), "1");
  EXPECT_NEAR(Num(values, "physical_width_pt"), 600 * 72 / 149.987, 0.01);
  EXPECT_NEAR(Num(values, "physical_height_pt"), 400 * 72 / 149.987, 0.01);
  EXPECT_EQ(values.at("oriented_width_pt"), values.at("physical_width_pt"));
  EXPECT_EQ(values.at("oriented_height_pt"), values.at("physical_height_pt"));
  EXPECT_EQ(values.at("output_width"), "600");
  EXPECT_EQ(values.at("output_height"), "400");
  // Looking at a picture changes no settings (the first start wrote the defaults).
  const std::string settings = ReadFileBytes(User() / "KelvaroPro.ini");
  EXPECT_EQ(Run("info '" + Sample().string() + "'").out, result.out);
  EXPECT_EQ(ReadFileBytes(User() / "KelvaroPro.ini"), settings);
}

// With margins that leave 540 × 780 points of A4, a picture of 960 × 720 points is turned and
// scaled by 780 ÷ 960.
TEST_F(InfoCliTest, FitsALargePictureToThePrintableArea) {
  for (const char* setting :
       {"'Top Margin' 3100", "'Bottom Margin' 3100", "'Left Margin' 2750", "'Right Margin' 2750"}) {
    ASSERT_EQ(Run(std::string("settings set Active ") + setting).status, 0) << Errors();
  }
  const std::string settings = ReadFileBytes(User() / "KelvaroPro.ini");
  const testing::CommandResult result = Run("info '" + Fixture("big4000x3000.png").string() + "'");
  ASSERT_EQ(result.status, 0) << Errors();
  const auto values = Parse(result.out);
  // The load turns it and scales it by 780 / 960 to 585 x 780 pt; still wider than the
  // 540 pt of the area, so the fit command follows, as in the window: 540 / 585 again.
  EXPECT_EQ(values.at("rotate"), "true");
  EXPECT_NEAR(Num(values, "scale_factor"), 0.75, 1e-5);
  EXPECT_NEAR(Num(values, "physical_width_pt"), 960, 0.01);
  EXPECT_NEAR(Num(values, "physical_height_pt"), 720, 0.01);
  EXPECT_NEAR(Num(values, "oriented_width_pt"), 540, 0.01);
  EXPECT_NEAR(Num(values, "oriented_height_pt"), 720, 0.01);
  EXPECT_NEAR(Num(values, "x_dpi"), 299.9994 / 0.75, 0.01);
  EXPECT_EQ(values.at("output_width"), "3000");
  EXPECT_EQ(values.at("output_height"), "4000");
  EXPECT_EQ(ReadFileBytes(User() / "KelvaroPro.ini"), settings);
}

TEST_F(InfoCliTest, OrientationOptionsAndPaper) {
  const std::string gif = "'" + Fixture("quad.gif").string() + "'";
  auto plain = Parse(Run("info " + gif).out);
  EXPECT_EQ(plain.at("x_dpi"), "150");
  EXPECT_EQ(plain.at("rotate"), "false");
  EXPECT_EQ(plain.at("output_width"), "32");

  const testing::CommandResult turned =
      Run("info --rotate --mirror --flip --paper 'A6 SEF' " + gif);
  ASSERT_EQ(turned.status, 0) << Errors();
  auto values = Parse(turned.out);
  EXPECT_EQ(values.at("rotate"), "true");
  EXPECT_EQ(values.at("output_width"), "24");
  EXPECT_EQ(values.at("output_height"), "32");
  EXPECT_EQ(values.at("oriented_width_pt"), plain.at("oriented_height_pt"));
  EXPECT_EQ(values.at("oriented_height_pt"), plain.at("oriented_width_pt"));

  const auto jpeg =
      Parse(Run("info --background-removal '" + Fixture("quad.jpg").string() + "'").out);
  EXPECT_EQ(jpeg.at("source_kind"), "2");
  EXPECT_EQ(jpeg.at("x_dpi"), "200");
  EXPECT_EQ(jpeg.at("y_dpi"), "100");
  EXPECT_EQ(jpeg.at("transparent"), "false");
}

// The layout `info` reports is the one the print makes: the job's grid size and placement.
TEST_F(InfoCliTest, ReportsTheLayoutThePrintWouldUse) {
  const std::string options = " --down 2 --optimal-layout --paper A4 ";
  const testing::CommandResult result = Run("info" + options + "'" + Sample().string() + "'");
  ASSERT_EQ(result.status, 0) << Errors();
  const auto values = Parse(result.out);
  EXPECT_EQ(values.at("copies_across"), "1");
  EXPECT_EQ(values.at("copies_down"), "2");
  const fs::path job = dir_.path() / "job.ps";
  ASSERT_EQ(
      Run("print" + options + "'" + Sample().string() + "' --output '" + job.string() + "'").status,
      0)
      << Errors();
  const std::string bytes = ReadFileBytes(job);
  EXPECT_NE(bytes.find("/cols  " + values.at("x_pixel") + " def\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("/rows  " + values.at("y_pixel") + " def\r\n"), std::string::npos);
  // The job translates to the grid's corner less the 13 points its page origin lies in.
  const long tx = std::stol(values.at("offset_x_pt")) - 13;
  const long ty = std::stol(values.at("offset_y_pt")) - 13;
  EXPECT_NE(bytes.find(" " + std::to_string(tx) + " " + std::to_string(ty) + " translate\r\n"),
            std::string::npos);
}

TEST_F(InfoCliTest, PicturesThatCannotBeLoadedFailWithTheMessage) {
  WriteFileBytes(dir_.path() / "letter.jpg", "Dear customer, this is not a picture.\n");
  const std::string png = ReadFileBytes(Fixture("quad_alpha.png"));
  WriteFileBytes(dir_.path() / "cut.png", png.substr(0, 60));
  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {(dir_.path() / "letter.jpg").string(),
       "Kelvaro Pro: FORMAT NOT SUPPORTED\n" + (dir_.path() / "letter.jpg").string() +
           ": this is not a PNG, JPEG, GIF, TIFF, BMP or PSD picture.\n"},
      {(dir_.path() / "cut.png").string(),
       "Kelvaro Pro: LIB PNG ERROR\n" + (dir_.path() / "cut.png").string() + "\n"},
      {(dir_.path() / "missing.png").string(), "Kelvaro Pro: UNABLE TO OPEN FILE\n" +
                                                   (dir_.path() / "missing.png").string() +
                                                   ": No such file or directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const testing::CommandResult result = Run("info '" + c.file + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    // The loader's message is the last thing on stderr, after whatever start-up had to say.
    const std::string errors = Errors();
    ASSERT_GE(errors.size(), c.message.size()) << errors;
    EXPECT_EQ(errors.substr(errors.size() - c.message.size()), c.message);
  }
}

TEST_F(InfoCliTest, BadUsage) {
  const std::string gif = "'" + Fixture("quad.gif").string() + "'";
  for (const std::string& arguments :
       {std::string("info"), "info " + gif + " " + gif, "info --turn " + gif, "info --paper " + gif,
        "info --output x.ps " + gif, "info --mirror=1 " + gif}) {
    SCOPED_TRACE(arguments);
    const testing::CommandResult result = Run(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(Errors().find("usage: kelvaro info IMAGE"), std::string::npos) << Errors();
  }
}

}  // namespace
}  // namespace kelvaro
