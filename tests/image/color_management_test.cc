#include "image/color_management.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <random>
#include <sstream>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::RunCommand;
using testing::TestFolders;
using testing::WriteFileBytes;

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(long long value, long long maximum) override {
    values.push_back(value);
    EXPECT_EQ(maximum, 100);
  }
  std::vector<std::string> statuses;
  std::vector<long long> values;
};

struct Rgba {
  std::uint8_t r, g, b, a;
};

WorkImage MakeImage(const std::vector<Rgba>& pixels, std::int32_t width) {
  WorkImage image;
  image.width = width;
  image.height = static_cast<std::int32_t>(pixels.size()) / width;
  image.raw.assign(5 * pixels.size(), 0);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    image.raw[4 * i] = pixels[i].r;
    image.raw[4 * i + 1] = pixels[i].g;
    image.raw[4 * i + 2] = pixels[i].b;
    image.raw[4 * i + 3] = pixels[i].a;
  }
  return image;
}

std::vector<Rgba> RandomPixels(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<Rgba> pixels(count);
  for (Rgba& p : pixels) {
    p = {static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)),
         static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random))};
  }
  return pixels;
}

class ColourManagementTest : public ::testing::Test {
 protected:
  ColourContext Context(int threads = 0) const {
    ColourContext context;
    context.folders = test_.folders();
    context.threads = threads;
    return context;
  }
  fs::path Bundled() const {
    return test_.folders().program / "profiles" / "KelvaroWhiteToner.icc";
  }
  fs::path Srgb() const { return test_.folders().program / "profiles" / "sRGB.icm"; }

  ConvertStatus Convert(WorkImage& image, const ColourContext& context) {
    return ConvertWorkImage(image, context, notifier_, progress_, [this] { ++load_defaults_; });
  }

  TestFolders test_;
  RecordingNotifier notifier_;
  RecordingProgress progress_;
  int load_defaults_ = 0;
};

// Runs transicc (Little CMS's own command-line converter, unoptimised floating point) over
// `lines` and returns its numbers, one row per line.
std::vector<std::vector<double>> Transicc(const fs::path& from, const fs::path& to,
                                          const std::string& lines, const fs::path& work) {
  const fs::path input = work / "transicc-in.txt";
  WriteFileBytes(input, lines);
  testing::CommandResult result =
      RunCommand("transicc -t0 -n '-i" + from.string() + "' '-o" + to.string() + "' < '" +
                 input.string() + "' 2>/dev/null");
  EXPECT_EQ(result.status, 0);
  std::vector<std::vector<double>> rows;
  std::istringstream out(result.out);
  std::string line;
  while (std::getline(out, line)) {
    std::istringstream numbers(line);
    std::vector<double> row;
    double value;
    while (numbers >> value) row.push_back(value);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

TEST_F(ColourManagementTest, MatchesTransiccThroughTheDefaultProfiles) {
  const std::vector<Rgba> colours = {
      {0, 0, 0, 255},      {255, 255, 255, 255}, {128, 128, 128, 255}, {255, 0, 0, 255},
      {0, 255, 0, 255},    {0, 0, 255, 255},     {200, 150, 100, 255}, {30, 90, 160, 255},
      {250, 220, 40, 255}, {90, 20, 60, 255}};
  std::string lines;
  for (const Rgba& c : colours) {
    lines += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
  }
  auto expected = Transicc(Srgb(), Bundled(), lines, test_.root());
  ASSERT_EQ(expected.size(), colours.size());

  WorkImage image = MakeImage(colours, static_cast<std::int32_t>(colours.size()));
  ASSERT_EQ(Convert(image, Context()), ConvertStatus::kConverted);
  ASSERT_EQ(image.raw.size(), 5 * colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    ASSERT_EQ(expected[i].size(), 4u);
    for (int channel = 0; channel < 4; ++channel) {
      // transicc gives percentages; the 8-bit transform may differ by a rounding step or two.
      EXPECT_NEAR(image.raw[5 * i + channel], expected[i][channel] * 2.55, 2.5)
          << "colour " << i << " channel " << channel;
    }
    EXPECT_EQ(image.raw[5 * i + 4], 255);
  }
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_EQ(load_defaults_, 0);
}

TEST_F(ColourManagementTest, ProofMatchesTransicc) {
  const std::vector<std::array<int, 4>> cmyk = {
      {0, 0, 0, 0},       {255, 0, 0, 0},   {0, 255, 0, 0},     {0, 0, 255, 0},
      {128, 128, 128, 0}, {40, 200, 90, 0}, {255, 255, 255, 0}, {10, 20, 30, 255}};
  std::string lines;
  std::vector<std::uint8_t> pixels;
  for (const auto& c : cmyk) {
    for (int v : c) {
      lines += std::to_string(v / 2.55) + " ";
      pixels.push_back(static_cast<std::uint8_t>(v));
    }
    lines += "\n";
    pixels.push_back(77);  // the spare byte is not converted
  }
  auto expected = Transicc(Bundled(), Srgb(), lines, test_.root());
  ASSERT_EQ(expected.size(), cmyk.size());

  const auto count = static_cast<std::int32_t>(cmyk.size());
  ASSERT_TRUE(ProofToScreen(pixels, count, 1, Context(), notifier_));
  ASSERT_EQ(pixels.size(), 4 * cmyk.size());
  for (std::size_t i = 0; i < cmyk.size(); ++i) {
    ASSERT_EQ(expected[i].size(), 3u);
    EXPECT_NEAR(pixels[4 * i + 2], expected[i][0], 2.5) << "red of " << i;
    EXPECT_NEAR(pixels[4 * i + 1], expected[i][1], 2.5) << "green of " << i;
    EXPECT_NEAR(pixels[4 * i + 0], expected[i][2], 2.5) << "blue of " << i;
    EXPECT_EQ(pixels[4 * i + 3], 0);
  }
  // Blank paper shows white; full cyan is blue-green.
  EXPECT_GE(pixels[0], 250);
  EXPECT_LT(pixels[4 + 2], pixels[4 + 1]);
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(ColourManagementTest, OpacityIsCarriedAroundTheTransform) {
  std::vector<Rgba> pixels = RandomPixels(5000, 7);
  pixels[0] = {255, 255, 255, 0};  // fully transparent white
  pixels[1] = {0, 0, 0, 0};        // fully transparent black: ink for RGB, but A stays 0
  WorkImage image = MakeImage(pixels, 100);
  ASSERT_EQ(Convert(image, Context()), ConvertStatus::kConverted);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    ASSERT_EQ(image.raw[5 * i + 4], pixels[i].a) << "pixel " << i;
  }
  EXPECT_EQ(image.raw[4], 0);
  EXPECT_EQ(image.raw[9], 0);
  EXPECT_GT(image.raw[5], 200) << "black still gets its colour";
}

// The reference: the same profiles, one transform with no flags, one call over every pixel.
std::vector<std::uint8_t> SingleCallReference(const fs::path& in, const fs::path& out,
                                              const std::vector<Rgba>& pixels) {
  cmsHPROFILE source = cmsOpenProfileFromFile(in.c_str(), "r");
  cmsHPROFILE target = cmsOpenProfileFromFile(out.c_str(), "r");
  EXPECT_NE(source, nullptr);
  EXPECT_NE(target, nullptr);
  cmsHTRANSFORM transform =
      cmsCreateTransform(source, TYPE_RGBA_8, target, TYPE_CMYK_8, INTENT_PERCEPTUAL, 0);
  cmsCloseProfile(source);
  cmsCloseProfile(target);
  EXPECT_NE(transform, nullptr);
  std::vector<std::uint8_t> cmyk(4 * pixels.size());
  cmsDoTransform(transform, pixels.data(), cmyk.data(),
                 static_cast<cmsUInt32Number>(pixels.size()));
  cmsDeleteTransform(transform);
  std::vector<std::uint8_t> records(5 * pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    std::copy_n(&cmyk[4 * i], 4, &records[5 * i]);
    records[5 * i + 4] = pixels[i].a;
  }
  return records;
}

TEST_F(ColourManagementTest, ParallelResultEqualsOneSingleCall) {
  struct Case {
    std::int32_t width, height;
    int threads;
  };
  // Sizes below, at and across the work-unit size (65536 pixels), thread counts 1 to 7.
  const Case cases[] = {{1, 1, 2},     {3, 5, 4},     {256, 256, 2}, {255, 257, 2},
                        {300, 500, 1}, {300, 500, 2}, {300, 500, 3}, {641, 479, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " threads " << c.threads);
    const std::vector<Rgba> pixels =
        RandomPixels(static_cast<std::size_t>(c.width) * c.height, c.width + c.height);
    WorkImage image = MakeImage(pixels, c.width);
    ASSERT_EQ(Convert(image, Context(c.threads)), ConvertStatus::kConverted);
    EXPECT_TRUE(std::ranges::equal(image.raw, SingleCallReference(Srgb(), Bundled(), pixels)));
  }
}

TEST_F(ColourManagementTest, BundledProfileNeverPutsInkInK) {
  std::vector<Rgba> pixels;
  for (int v = 0; v < 256; ++v) {  // every grey
    pixels.push_back({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                      static_cast<std::uint8_t>(v), 255});
  }
  for (int level : {64, 128, 192, 255}) {  // primaries and secondaries at several strengths
    const auto l = static_cast<std::uint8_t>(level);
    for (Rgba c : std::initializer_list<Rgba>{{l, 0, 0, 255},
                                              {0, l, 0, 255},
                                              {0, 0, l, 255},
                                              {l, l, 0, 255},
                                              {0, l, l, 255},
                                              {l, 0, l, 255}}) {
      pixels.push_back(c);
    }
  }
  for (const Rgba& p : RandomPixels(20000, 3)) pixels.push_back({p.r, p.g, p.b, 255});
  WorkImage image = MakeImage(pixels, static_cast<std::int32_t>(pixels.size()));
  ASSERT_EQ(Convert(image, Context()), ConvertStatus::kConverted);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    ASSERT_EQ(image.raw[5 * i + 3], 0) << "K of pixel " << i;
  }
  // Black is built from the three colours; white gets no toner at all.
  EXPECT_GE(image.raw[0], 240);
  EXPECT_GE(image.raw[1], 240);
  EXPECT_GE(image.raw[2], 240);
  const std::size_t white = 255 * 5;
  EXPECT_EQ(image.raw[white], 0);
  EXPECT_EQ(image.raw[white + 1], 0);
  EXPECT_EQ(image.raw[white + 2], 0);
  // Greys darken steadily: the ink sum never falls as the grey gets darker.
  int previous = 1000;
  for (int v = 0; v < 256; ++v) {
    const int sum = image.raw[5 * v] + image.raw[5 * v + 1] + image.raw[5 * v + 2];
    EXPECT_LE(sum, previous + 2) << "grey " << v;
    previous = sum;
  }
}

TEST_F(ColourManagementTest, EmptySettingsUseTheDefaultProfiles) {
  const std::vector<Rgba> pixels = RandomPixels(1000, 11);
  WorkImage image = MakeImage(pixels, 40);
  ColourContext context = Context();
  context.profiles = MakeProfileNames("", "");
  ASSERT_EQ(Convert(image, context), ConvertStatus::kConverted);
  EXPECT_TRUE(std::ranges::equal(image.raw, SingleCallReference(Srgb(), Bundled(), pixels)));
}

TEST_F(ColourManagementTest, ProfilesThatGiveNoTransformStopTheLoad) {
  const std::string real = ReadFileBytes(Bundled());
  ASSERT_GT(real.size(), 1000u);
  WriteFileBytes(test_.folders().user / "Garbage.icc", std::string(4000, '\x5a'));
  WriteFileBytes(test_.folders().user / "Truncated.icc", real.substr(0, 300));
  // A profile that is there but cannot serve is named after the fixed words.
  struct Case {
    std::string input, output, said;
  };
  const Case cases[] = {
      {"sRGB.icm", "Missing.icc", ""},  // a printer profile that is nowhere
      {"sRGB.icm", "Garbage.icc", ""},  // not a profile at all
      {"sRGB.icm", "Truncated.icc",
       "\r\nThe colour profile \"Truncated.icc\" is cut short: the file holds 300 of the " +
           std::to_string(real.size()) + " bytes its header states."},
      {"Garbage.icc", "OKC711P2.ICM", ""},  // a damaged image profile
      {"sRGB.icm", "sRGB.icm",
       "\r\nThe colour profile \"sRGB.icm\" is an RGB profile; the printer's profile must be a "
       "CMYK profile."},
      {"KelvaroWhiteToner.icc", "OKC711P2.ICM",
       "\r\nThe colour profile \"KelvaroWhiteToner.icc\" is a CMYK profile; the picture's "
       "profile must be an RGB profile."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input + " -> " + c.output);
    notifier_.messages.clear();
    load_defaults_ = 0;
    WorkImage image = MakeImage(RandomPixels(64, 1), 8);
    ColourContext context = Context();
    context.profiles = MakeProfileNames(c.input, c.output);
    context.messages.odd_image = "odd";
    context.messages.title = "title";
    EXPECT_EQ(Convert(image, context), ConvertStatus::kNoTransform);
    EXPECT_TRUE(image.raw.empty());
    EXPECT_EQ(load_defaults_, 1);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0].text, "odd" + c.said);
    EXPECT_EQ(notifier_.messages[0].title, "title");
    EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kWarning);
  }
}

TEST_F(ColourManagementTest, DefaultTextOfTheFailureMessage) {
  WorkImage image = MakeImage(RandomPixels(4, 1), 2);
  ColourContext context = Context();
  context.profiles.output = "Missing.icc";
  EXPECT_EQ(ConvertWorkImage(image, context, notifier_, progress_, nullptr),
            ConvertStatus::kNoTransform);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, "Something odd with this image");
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");
}

TEST_F(ColourManagementTest, BuffersOfTheWrongSizeAreRefused) {
  WorkImage image = MakeImage(RandomPixels(12, 1), 4);
  image.raw.resize(4 * 12 - 1);
  EXPECT_EQ(Convert(image, Context()), ConvertStatus::kBadBuffer);
  EXPECT_TRUE(image.raw.empty());

  WorkImage no_width = MakeImage(RandomPixels(12, 1), 4);
  no_width.width = 0;
  EXPECT_EQ(Convert(no_width, Context()), ConvertStatus::kBadBuffer);
  WorkImage negative = MakeImage(RandomPixels(12, 1), 4);
  negative.height = -3;
  EXPECT_EQ(Convert(negative, Context()), ConvertStatus::kBadBuffer);
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_EQ(load_defaults_, 0);

  // A buffer holding just the RGBA pixels is grown to take the records.
  const std::vector<Rgba> pixels = RandomPixels(12, 2);
  WorkImage tight = MakeImage(pixels, 4);
  tight.raw.resize(4 * 12);
  ASSERT_EQ(Convert(tight, Context()), ConvertStatus::kConverted);
  EXPECT_TRUE(std::ranges::equal(tight.raw, SingleCallReference(Srgb(), Bundled(), pixels)));
}

TEST_F(ColourManagementTest, ProgressClimbsToOneHundred) {
  WorkImage image = MakeImage(RandomPixels(400 * 500, 5), 400);
  ASSERT_EQ(Convert(image, Context(2)), ConvertStatus::kConverted);
  ASSERT_FALSE(progress_.values.empty());
  EXPECT_EQ(progress_.values.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress_.values.begin(), progress_.values.end()));
}

TEST_F(ColourManagementTest, MemoryMessageText) {
  EXPECT_EQ(MemoryMessage(1),
            "1 Unable to allocate memory.\r\nPlease Reduce resolution of the image\r\n"
            "Kelvaro Pro will close");
  EXPECT_EQ(MemoryMessage(2).substr(0, 2), "2 ");
}

TEST_F(ColourManagementTest, FailedProofLeavesThePixelsAlone) {
  WriteFileBytes(test_.folders().user / "Garbage.icc", std::string(4000, '\x5a'));
  std::vector<std::uint8_t> pixels(5 * 6);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> before = pixels;

  ColourContext context = Context();
  context.profiles.output = "Garbage.icc";
  EXPECT_FALSE(ProofToScreen(pixels, 3, 2, context, notifier_));
  EXPECT_EQ(pixels, before);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, "oops! Conversion failure");
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");

  // Sizes that do not match the buffer are refused without touching it.
  EXPECT_FALSE(ProofToScreen(pixels, 4, 2, Context(), notifier_));
  EXPECT_FALSE(ProofToScreen(pixels, 0, 2, Context(), notifier_));
  EXPECT_EQ(pixels, before);
  EXPECT_EQ(notifier_.messages.size(), 1u);
}

TEST_F(ColourManagementTest, ProofOfALargePictureEqualsOneSingleCall) {
  const std::size_t count = 200 * 400;
  std::vector<std::uint8_t> pixels(5 * count);
  std::mt19937 random(9);
  for (std::uint8_t& b : pixels) b = static_cast<std::uint8_t>(random());
  std::vector<std::uint8_t> copy = pixels;

  cmsHPROFILE source = cmsOpenProfileFromFile(Bundled().c_str(), "r");
  cmsHPROFILE target = cmsOpenProfileFromFile(Srgb().c_str(), "r");
  cmsHTRANSFORM transform =
      cmsCreateTransform(source, TYPE_CMYKA_8, target, TYPE_BGRA_8, INTENT_PERCEPTUAL, 0);
  cmsCloseProfile(source);
  cmsCloseProfile(target);
  ASSERT_NE(transform, nullptr);
  std::vector<std::uint8_t> expected(4 * count, 0);
  cmsDoTransform(transform, copy.data(), expected.data(), static_cast<cmsUInt32Number>(count));
  cmsDeleteTransform(transform);

  ASSERT_TRUE(ProofToScreen(pixels, 200, 400, Context(2), notifier_));
  EXPECT_TRUE(pixels == expected);
}

}  // namespace
}  // namespace kelvaro
