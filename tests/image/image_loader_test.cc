#include "image/image_loader.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image/decoded_rows.h"
#include "image/load_pipeline.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::kelvaro::testing::FixtureFolder;
using ::kelvaro::testing::ReadFileBytes;
using ::kelvaro::testing::RecordingNotifier;
using ::kelvaro::testing::TempDir;
using ::kelvaro::testing::TestFolders;
using ::kelvaro::testing::WriteFileBytes;

fs::path Fixture(const std::string& name) { return FixtureFolder() / "image" / name; }

// The "quad" fixtures are 32 × 24 pixels written by ImageMagick: four 16 × 12 quadrants, red
// top left, green (0, 255, 0) top right, blue bottom left, white bottom right. In
// quad_alpha.png the green quadrant is half transparent and the white one fully transparent.
struct Rgba {
  int r, g, b, a;
};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

Rgba PixelAt(const WorkImage& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 4;
  const std::span<const std::uint8_t> rgba = image.DecodedRgba();
  return Rgba{rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
}

void ExpectColour(const WorkImage& image, int x, int y, Rgba want, int tolerance) {
  const Rgba got = PixelAt(image, x, y);
  SCOPED_TRACE(::testing::Message() << "pixel " << x << "," << y);
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
  EXPECT_EQ(got.a, want.a);
}

class CountingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(long long value, long long) override { values.push_back(value); }
  std::vector<std::string> statuses;
  std::vector<long long> values;
};

struct DecodeCase {
  const char* name;
  int tolerance;  // JPEG is lossy; the others must come out exact
  float x_dpi;    // as the file declares it
  float y_dpi;
  SourceKind kind;
};

class DecodeFormatTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFormatTest, DecodesSizeOrientationAndColours) {
  const DecodeCase& c = GetParam();
  RecordingNotifier notifier;
  CountingProgress progress;
  WorkImage image;
  ASSERT_TRUE(DecodeImageFile(Fixture(c.name), false, image, notifier, progress));
  EXPECT_TRUE(notifier.messages.empty());
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 24);
  ASSERT_EQ(image.DecodedRgba().size(), 4u * 32 * 24);
  // The middle of each quadrant: the picture is upright and not mirrored.
  ExpectColour(image, 8, 6, kRed, c.tolerance);
  ExpectColour(image, 24, 6, kGreen, c.tolerance);
  ExpectColour(image, 8, 18, kBlue, c.tolerance);
  ExpectColour(image, 24, 18, kWhite, c.tolerance);
  EXPECT_EQ(progress.values, (std::vector<long long>{1, 5, 25}));

  // "Flip" turns the rows over at decode time.
  WorkImage flipped;
  ASSERT_TRUE(DecodeImageFile(Fixture(c.name), true, flipped, notifier, progress));
  ExpectColour(flipped, 8, 6, kBlue, c.tolerance);
  ExpectColour(flipped, 24, 6, kWhite, c.tolerance);
  ExpectColour(flipped, 8, 18, kRed, c.tolerance);
  ExpectColour(flipped, 24, 18, kGreen, c.tolerance);
}

TEST_P(DecodeFormatTest, LoadFindsResolutionAndKind) {
  const DecodeCase& c = GetParam();
  TestFolders folders;
  RecordingNotifier notifier;
  NullProgress progress;
  ColourContext colour;
  colour.folders = folders.folders();
  LoadOptions options;
  options.printable = PrintableArea{569.08, 815.93};  // A4 inside the default margins
  LoadSteps steps;
  steps.convert = StandardConversion(colour, notifier, nullptr);

  std::string path = Fixture(c.name).string();
  WorkImage image;
  const LoadOutcome outcome = LoadImageFile(path, options, steps, image, notifier, progress);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_EQ(path, Fixture(c.name).string());
  // A picture this small is never fitted, so the resolution is the file's own.
  EXPECT_NEAR(image.x_dpi, c.x_dpi, 0.02);
  EXPECT_NEAR(image.y_dpi, c.y_dpi, 0.02);
  EXPECT_EQ(image.scale_factor, 1);
  EXPECT_EQ(image.source_kind, c.kind);
  EXPECT_NEAR(image.physical_width_pt, 72.0 * 32 / c.x_dpi, 0.01);
  EXPECT_NEAR(image.physical_height_pt, 72.0 * 24 / c.y_dpi, 0.01);
  EXPECT_FALSE(outcome.rotate);
  EXPECT_EQ(image.output_width, 32);
  EXPECT_EQ(image.output_height, 24);
  EXPECT_EQ(image.grid.size(), 5u * 32 * 24);
  EXPECT_EQ(image.preview.size(), 4u * 32 * 24);
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeFormatTest,
                         ::testing::Values(
                             // 5905 pixels per metre.
                             DecodeCase{"quad_rgb_150.png", 0, 149.987f, 149.987f,
                                        SourceKind::kLossless},
                             DecodeCase{"quad.jpg", 6, 200, 100, SourceKind::kJpeg},
                             DecodeCase{"quad.gif", 0, 150, 150, SourceKind::kLossless},
                             DecodeCase{"quad.tif", 0, 120, 60, SourceKind::kLossless},
                             // 3779 pixels per metre.
                             DecodeCase{"quad.bmp", 0, 95.9866f, 95.9866f, SourceKind::kLossless},
                             DecodeCase{"quad.psd", 0, 72, 144, SourceKind::kLossless}),
                         [](const ::testing::TestParamInfo<DecodeCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(DecodeImageFileTest, KeepsTheOpacityOfAPngWithAlpha) {
  RecordingNotifier notifier;
  NullProgress progress;
  WorkImage image;
  ASSERT_TRUE(DecodeImageFile(Fixture("quad_alpha.png"), false, image, notifier, progress));
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 24);
  ExpectColour(image, 8, 6, kRed, 0);
  EXPECT_NEAR(PixelAt(image, 24, 6).a, 128, 1);
  EXPECT_EQ(PixelAt(image, 24, 6).g, 255);
  EXPECT_EQ(PixelAt(image, 24, 18).a, 0);
  ExpectColour(image, 8, 18, kBlue, 0);
}

// A `width` × `height` 8-bit PNG of `colour_type` (RGB or RGBA) whose byte `i` of row `y` is
// `byte(i, y)`, with a gAMA chunk of `gamma` (PNG fixed point) when that is not 0.
void WritePngOf(const fs::path& path, png_uint_32 width, png_uint_32 height, int colour_type,
                png_fixed_point gamma,
                const std::function<png_byte(std::size_t i, png_uint_32 y)>& byte) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (gamma != 0) png_set_gAMA_fixed(png, info, gamma);
  png_write_info(png, info);
  const std::size_t channels = colour_type == PNG_COLOR_TYPE_RGB ? 3 : 4;
  std::vector<png_byte> row(std::size_t{width} * channels, 0);
  for (png_uint_32 y = 0; y < height; ++y) {
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = byte(i, y);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// A 7 × 5 PNG of `colour_type` with varied pixels and, when `gamma` is not 0, a gAMA chunk of
// that value.
void WritePng(const fs::path& path, int colour_type, png_fixed_point gamma) {
  WritePngOf(path, 7, 5, colour_type, gamma,
             [](std::size_t i, png_uint_32 y) { return static_cast<png_byte>(37 * i + 91 * y); });
}

// Plain PNGs are read row by row with the PNG library; the pixels, and for damaged files the
// messages, are the general decoder's, whatever gamma the file states.
TEST(DecodeImageFileTest, PngsReadRowByRowGiveTheGeneralDecodersPixels) {
  TempDir dir;
  std::vector<fs::path> files;
  for (const char* name : {"quad_alpha.png", "quad_rgb_150.png", "dpi300.png", "rgba3x2.png"}) {
    files.push_back(Fixture(name));
  }
  const struct {
    int colour_type;
    png_fixed_point gamma;
  } made[] = {{PNG_COLOR_TYPE_RGB, 0},
              {PNG_COLOR_TYPE_RGB, 45455},
              {PNG_COLOR_TYPE_RGB_ALPHA, 45455},
              {PNG_COLOR_TYPE_RGB, 100000},
              {PNG_COLOR_TYPE_RGB_ALPHA, 70000}};
  for (const auto& m : made) {
    files.push_back(dir.path() / ("made_" + std::to_string(m.colour_type) + "_" +
                                  std::to_string(m.gamma) + ".png"));
    WritePng(files.back(), m.colour_type, m.gamma);
  }
  const std::string alpha = ReadFileBytes(Fixture("quad_alpha.png"));
  for (std::size_t length : {std::size_t{60}, alpha.size() / 2, alpha.size() - 13}) {
    files.push_back(dir.path() / ("cut_" + std::to_string(length) + ".png"));
    WriteFileBytes(files.back(), alpha.substr(0, length));
  }
  for (const fs::path& file : files) {
    for (const bool flip : {false, true}) {
      SCOPED_TRACE(file.filename().string() + (flip ? " flipped" : ""));
      DecodeLimits general;
      general.png_rows = false;
      RecordingNotifier rows_notifier, general_notifier;
      NullProgress progress;
      WorkImage by_rows, by_general;
      const bool rows_ok =
          DecodeImageFile(file, flip, by_rows, rows_notifier, progress, DecodeLimits{});
      const bool general_ok =
          DecodeImageFile(file, flip, by_general, general_notifier, progress, general);
      ASSERT_EQ(rows_ok, general_ok);
      auto texts = [](const RecordingNotifier& notifier) {
        std::vector<std::string> all;
        for (const auto& message : notifier.messages) all.push_back(message.text);
        return all;
      };
      EXPECT_EQ(texts(rows_notifier), texts(general_notifier));
      EXPECT_EQ(by_rows.width, by_general.width);
      EXPECT_TRUE(std::ranges::equal(by_rows.DecodedRgba(), by_general.DecodedRgba()));
    }
  }
}

// Files cut short anywhere: the decoder once spun for ever on cut PNG files and wrote past its
// buffers on cut Photoshop files. Each cut either decodes to the full size or is reported.
TEST(DecodeImageFileTest, FilesCutShortNeitherHangNorCrash) {
  TempDir dir;
  for (const char* name :
       {"quad_alpha.png", "quad.psd", "quad.jpg", "quad.gif", "quad.tif", "quad.bmp"}) {
    const std::string bytes = ReadFileBytes(Fixture(name));
    ASSERT_FALSE(bytes.empty()) << name;
    const fs::path cut_path = dir.path() / (std::string("cut_") + name);
    const std::size_t step = bytes.size() > 1000 ? 7 : 2;
    for (std::size_t length = 0; length < bytes.size(); length += step) {
      SCOPED_TRACE(::testing::Message() << name << " cut at " << length);
      WriteFileBytes(cut_path, bytes.substr(0, length));
      RecordingNotifier notifier;
      NullProgress progress;
      WorkImage image;
      if (DecodeImageFile(cut_path, false, image, notifier, progress)) {
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 24);
      } else {
        ASSERT_FALSE(notifier.messages.empty());
        EXPECT_EQ(notifier.messages[0].title, "Kelvaro Pro");
        EXPECT_TRUE(image.raw.empty());
      }
    }
  }
}

TEST(ImageErrorNameTest, NamesFromTheTable) {
  EXPECT_EQ(ImageErrorName(0), "");
  EXPECT_EQ(ImageErrorName(0x0501), "INVALID ENUM");
  EXPECT_EQ(ImageErrorName(0x0509), "INVALID PARAMATER");
  EXPECT_EQ(ImageErrorName(0x050E), "STACK OVERFLOW ");  // the blank is part of the name
  EXPECT_EQ(ImageErrorName(0x0512), "FILE READ ERROR ");
  EXPECT_EQ(ImageErrorName(0x05E3), "LIB PNG ERROR");
  EXPECT_EQ(ImageErrorName(0x05FF), "UNKNOWN ERROR");
  EXPECT_EQ(ImageErrorName(0x0513), "Error 1299");
  EXPECT_EQ(ImageErrorName(7), "Error 7");
}

// Loads through the whole pipeline with the bundled profiles.
class LoadImageFileTest : public ::testing::Test {
 protected:
  LoadImageFileTest() {
    colour_.folders = folders_.folders();
    options_.printable = PrintableArea{569.08, 815.93};
    steps_.remove_background = StandardBackgroundRemoval(BackgroundRemovalOptions{});
    steps_.convert = StandardConversion(colour_, notifier_, [this] { ++load_defaults_; });
  }

  LoadOutcome Load(std::string& path, WorkImage& image) {
    return LoadImageFile(path, options_, steps_, image, notifier_, progress_);
  }

  TestFolders folders_;
  ColourContext colour_;
  LoadOptions options_;
  LoadSteps steps_;
  RecordingNotifier notifier_;
  CountingProgress progress_;
  int load_defaults_ = 0;
};

// A taller PNG than WritePng's, of many bands: RGB, or RGBA with opacities from `lowest_alpha`
// up (50 and more counts as opaque, so the background step makes it fully opaque).
void WriteBandedPng(const fs::path& path, int colour_type, int lowest_alpha) {
  const std::size_t channels = colour_type == PNG_COLOR_TYPE_RGB ? 3 : 4;
  WritePngOf(path, 61, 150, colour_type, 0, [&](std::size_t i, png_uint_32 y) {
    const bool alpha = channels == 4 && i % 4 == 3;
    return static_cast<png_byte>(alpha ? lowest_alpha + (7 * i + y) % (256 - lowest_alpha)
                                       : 37 * i + 91 * y + (i * y) % 13);
  });
}

// The conversion that starts on a plain PNG's rows while the next ones decode gives the
// records and grid of the conversion of the whole picture: opaque, made opaque and transparent
// pictures, turned over or not, and pictures cut short (the rows converted before the cut
// are dropped; the general decoder decides, with its own messages). A picture printed once
// has its records put straight into the oriented grid: mirrored, turned, or as the fit turns it.

TEST_F(LoadImageFileTest, ConversionWhileDecodingGivesTheWholePicturesRecords) {
  TempDir dir;
  std::vector<fs::path> files = {Fixture("quad_alpha.png")};
  for (const auto& [type, lowest] :
       {std::pair{PNG_COLOR_TYPE_RGB, 0}, std::pair{PNG_COLOR_TYPE_RGB_ALPHA, 50},
        std::pair{PNG_COLOR_TYPE_RGB_ALPHA, 0}}) {
    files.push_back(dir.path() /
                    ("banded_" + std::to_string(type) + "_" + std::to_string(lowest) + ".png"));
    WriteBandedPng(files.back(), type, lowest);
  }
  const std::string whole = ReadFileBytes(files[1]);
  for (std::size_t length : {whole.size() / 2, whole.size() - 13}) {
    files.push_back(dir.path() / ("cut_" + std::to_string(length) + ".png"));
    WriteFileBytes(files.back(), whole.substr(0, length));
  }
  LoadSteps overlapped = steps_;
  SetStandardConversion(overlapped, colour_, notifier_, nullptr);
  struct Layout {
    bool once;  // printed once: records not kept, no preview
    bool mirror;
    std::optional<bool> rotate;
  };
  const Layout layouts[] = {{false, false, std::nullopt},
                            {true, true, false},
                            {true, false, true},
                            {true, true, std::nullopt}};
  for (const fs::path& file : files) {
    for (const auto& [flip, layout] :
         {std::pair{false, layouts[0]}, std::pair{true, layouts[0]}, std::pair{false, layouts[1]},
          std::pair{true, layouts[2]}, std::pair{true, layouts[3]}}) {
      SCOPED_TRACE(file.filename().string() + (flip ? " flipped" : "") +
                   (layout.once ? " printed once" : ""));
      options_.flip = flip;
      options_.mirror = layout.mirror;
      options_.rotate = layout.rotate;
      options_.release_records = layout.once;
      options_.preview = !layout.once;
      std::string path = file.string();
      WorkImage by_rows, by_whole;
      progress_.statuses.clear();
      const LoadOutcome rows_outcome =
          LoadImageFile(path, options_, overlapped, by_rows, notifier_, progress_);
      const auto rows_messages = notifier_.messages;
      const auto rows_statuses = progress_.statuses;
      notifier_.messages.clear();
      progress_.statuses.clear();
      path = file.string();
      const LoadOutcome whole_outcome = Load(path, by_whole);
      EXPECT_EQ(progress_.statuses, rows_statuses);  // the user sees the same steps
      ASSERT_EQ(rows_outcome.loaded, whole_outcome.loaded);
      EXPECT_EQ(rows_outcome.transparent, whole_outcome.transparent);
      EXPECT_EQ(notifier_.messages.size(), rows_messages.size());
      for (std::size_t i = 0; i < rows_messages.size(); ++i) {
        EXPECT_EQ(notifier_.messages[i].text, rows_messages[i].text);
      }
      notifier_.messages.clear();
      EXPECT_EQ(rows_outcome.rotate, whole_outcome.rotate);
      EXPECT_TRUE(by_rows.raw == by_whole.raw);
      EXPECT_TRUE(by_rows.grid == by_whole.grid);
      EXPECT_TRUE(by_rows.preview == by_whole.preview);
      EXPECT_EQ(by_rows.output_width, by_whole.output_width);
      EXPECT_EQ(by_rows.output_height, by_whole.output_height);
      EXPECT_EQ(by_rows.oriented_width_pt, by_whole.oriented_width_pt);
    }
  }
  EXPECT_GT(overlapped.convert_rows->busy().count(), 0);  // the rows did go that way
}

// Keeps a copy of every band as it is handed on, to be held against the finished picture.
class BandCopies final : public DecodedRowsTaker {
 public:
  bool Begin(std::int32_t width, std::int32_t height, int channels) override {
    width_ = width;
    channels_ = channels;
    copy_.assign(static_cast<std::size_t>(channels) * width * height, 0);
    taken_.assign(height, 0);
    return true;
  }
  bool Take(std::span<const std::uint8_t> pixels, std::int32_t first, std::int32_t end,
            bool decoding) override {
    const std::size_t row_bytes = static_cast<std::size_t>(channels_) * width_;
    std::copy(pixels.begin() + first * row_bytes, pixels.begin() + end * row_bytes,
              copy_.begin() + first * row_bytes);
    for (std::int32_t row = first; row < end; ++row) ++taken_[row];
    bands_while_decoding += decoding ? 1 : 0;
    return done_with_rows;
  }
  void Drop() override { ++drops; }
  std::chrono::steady_clock::duration busy() const override { return {}; }

  // The copy as RGBA pixels.
  std::vector<std::uint8_t> CopyAsRgba() const {
    if (channels_ == 4) return copy_;
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < copy_.size(); i += 3) {
      rgba.insert(rgba.end(), copy_.begin() + i, copy_.begin() + i + 3);
      rgba.push_back(255);
    }
    return rgba;
  }

  std::vector<std::uint8_t> copy_;
  int channels_ = 0;
  std::vector<int> taken_;
  int bands_while_decoding = 0;
  int drops = 0;
  bool done_with_rows = false;

 private:
  std::int32_t width_ = 0;
};

// Bands are handed on while the decoder still runs, each row once and only once it is
// decoded, from the top or, turned over, from the bottom; a cut file's bands are dropped.
TEST(DecodeImageFileTest, BandsAreHandedOnAsTheyAreDecoded) {
  // Large enough that the decode takes a good many bands' time.
  TempDir dir;
  const fs::path big = dir.path() / "big.png";
  {
    constexpr png_uint_32 kWidth = 2000, kHeight = 1500;
    std::FILE* file = std::fopen(big.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t{kWidth} * 3);
    for (png_uint_32 y = 0; y < kHeight; ++y) {
      for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<png_byte>(i * y + i / 7);
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
  }
  for (const bool flip : {false, true}) {
    for (const bool done_with_rows : {false, true}) {
      SCOPED_TRACE(std::string(flip ? "flipped" : "upright") +
                   (done_with_rows ? ", given back" : ""));
      BandCopies bands;
      bands.done_with_rows = done_with_rows;
      RecordingNotifier notifier;
      NullProgress progress;
      WorkImage image;
      ASSERT_TRUE(DecodeImageFile(big, flip, image, notifier, progress, {}, &bands));
      EXPECT_GT(bands.bands_while_decoding, 0);
      EXPECT_EQ(bands.drops, 0);
      EXPECT_TRUE(std::ranges::all_of(bands.taken_, [](int times) { return times == 1; }));
      // A picture without opacity comes as R, G, B.
      EXPECT_EQ(bands.channels_, 3);
      if (!done_with_rows) {
        // The taker kept none of them: the rest of the loader gets the same pixels as RGBA.
        EXPECT_TRUE(std::ranges::equal(bands.CopyAsRgba(), image.DecodedRgba()));
        continue;
      }
      // Every row was taken and the taker was done with it: all went back to the system as
      // it went, and reads as zero now (the picture itself is far from blank).
      const std::span<const std::uint8_t> rows = image.decoded->bytes();
      ASSERT_EQ(rows.size(), bands.copy_.size());
      EXPECT_TRUE(std::ranges::all_of(rows, [](std::uint8_t byte) { return byte == 0; }));
      EXPECT_LT(std::ranges::count(bands.copy_, 0), static_cast<std::ptrdiff_t>(rows.size()) / 2);
    }
  }
  const std::string bytes = ReadFileBytes(big);
  const fs::path cut = dir.path() / "cut.png";
  WriteFileBytes(cut, bytes.substr(0, bytes.size() / 2));
  BandCopies bands;
  RecordingNotifier notifier;
  NullProgress progress;
  WorkImage image;
  DecodeImageFile(cut, false, image, notifier, progress, {}, &bands);
  EXPECT_EQ(bands.drops, 1);
}

TEST_F(LoadImageFileTest, TransparentPngKeepsItsOpacityThroughTheConversion) {
  std::string path = "\"" + Fixture("quad_alpha.png").string() + "\"";  // quotes are dropped
  WorkImage image;
  const LoadOutcome outcome = Load(path, image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_EQ(path, Fixture("quad_alpha.png").string());
  EXPECT_TRUE(outcome.transparent);
  EXPECT_EQ(outcome.conversion, ConvertStatus::kConverted);
  ASSERT_EQ(image.grid.size(), 5u * 32 * 24);
  auto record = [&](int x, int y) { return &image.grid[image.GridOffset(x, y)]; };
  // Red: magenta and yellow, no cyan, never K (it prints white on these printers).
  EXPECT_LT(record(8, 6)[0], 30);
  EXPECT_GT(record(8, 6)[1], 200);
  EXPECT_GT(record(8, 6)[2], 200);
  EXPECT_EQ(record(8, 6)[3], 0);
  EXPECT_EQ(record(8, 6)[4], 255);
  EXPECT_NEAR(record(24, 6)[4], 128, 1);
  EXPECT_EQ(record(24, 18)[4], 0);
  // The status line shows the conversion caption; progress ends at the last oriented row.
  EXPECT_NE(std::find(progress_.statuses.begin(), progress_.statuses.end(),
                      "<<<<<  Conversion progress >>>>>"),
            progress_.statuses.end());
  EXPECT_EQ(progress_.values.back(), 100);
  // A transparent picture is not offered background removal.
  EXPECT_EQ(std::find(progress_.statuses.begin(), progress_.statuses.end(),
                      "<<<<<  background removal  >>>>>"),
            progress_.statuses.end());
  EXPECT_TRUE(notifier_.messages.empty());
}

// Quotes around a pasted path are dropped, but a quote in a file's own name is part of it:
// dropping it would load another picture, or none at all.
TEST_F(LoadImageFileTest, AQuoteInAFileNameIsKept) {
  TempDir dir;
  const fs::path quoted = dir.path() / "my\"art.png";
  fs::copy_file(Fixture("quad_alpha.png"), quoted);
  fs::copy_file(Fixture("rgba3x2.png"), dir.path() / "myart.png");  // the name without it
  std::string path = quoted.string();
  WorkImage image;
  ASSERT_TRUE(Load(path, image).loaded);
  EXPECT_EQ(path, quoted.string());
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.height, 24);

  fs::remove(dir.path() / "myart.png");
  path = quoted.string();
  ASSERT_TRUE(Load(path, image).loaded);
  EXPECT_EQ(image.width, 32);
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(LoadImageFileTest, OpaquePictureGoesThroughBackgroundRemoval) {
  options_.background_removal_on = true;
  BackgroundRemovalOptions removal;
  removal.removal_on = true;
  steps_.remove_background = StandardBackgroundRemoval(removal);
  std::string path = Fixture("quad.tif").string();
  WorkImage image;
  const LoadOutcome outcome = Load(path, image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_FALSE(outcome.transparent);
  // The first pixel is red: the red quadrant goes, the others stay.
  EXPECT_EQ(image.grid[image.GridOffset(8, 6) + 4], 0);
  EXPECT_EQ(image.grid[image.GridOffset(24, 6) + 4], 255);
  EXPECT_EQ(image.grid[image.GridOffset(8, 18) + 4], 255);
  EXPECT_EQ(image.grid[image.GridOffset(24, 18) + 4], 255);
}

TEST_F(LoadImageFileTest, DamagedFilesAreReportedAndTheLoadedPictureStays) {
  std::string good = Fixture("quad.bmp").string();
  WorkImage image;
  ASSERT_TRUE(Load(good, image).loaded);
  const WorkImage before = image;
  ASSERT_TRUE(notifier_.messages.empty());

  TempDir dir;
  const std::string png = ReadFileBytes(Fixture("quad_alpha.png"));
  ASSERT_GT(png.size(), 100u);
  std::string header_only = png.substr(0, 60);
  std::string broken_data = png;
  for (std::size_t i = 60; i < broken_data.size(); ++i) broken_data[i] = '\x5a';
  WriteFileBytes(dir.path() / "cut.png", header_only);
  WriteFileBytes(dir.path() / "scrambled.png", broken_data);
  WriteFileBytes(dir.path() / "letter.jpg", "Dear customer, this is not a picture.\n");
  WriteFileBytes(dir.path() / "empty.gif", "");
  const fs::path missing = dir.path() / "missing.png";

  for (const fs::path& bad : {dir.path() / "cut.png", dir.path() / "scrambled.png",
                              dir.path() / "letter.jpg", dir.path() / "empty.gif", missing}) {
    SCOPED_TRACE(bad.filename().string());
    notifier_.messages.clear();
    std::string path = bad.string();
    const LoadOutcome outcome = Load(path, image);
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(path, "");
    ASSERT_FALSE(notifier_.messages.empty());
    const RecordingNotifier::Message& message = notifier_.messages.front();
    EXPECT_EQ(message.title, "Kelvaro Pro");
    EXPECT_FALSE(message.text.empty());
    // Nothing of the previous picture is lost.
    EXPECT_EQ(image.raw, before.raw);
    EXPECT_EQ(image.grid, before.grid);
    EXPECT_EQ(image.preview, before.preview);
    EXPECT_EQ(image.width, before.width);
    EXPECT_EQ(image.x_dpi, before.x_dpi);
    EXPECT_EQ(image.oriented_width_pt, before.oriented_width_pt);
  }
  EXPECT_EQ(load_defaults_, 0);
}

TEST_F(LoadImageFileTest, ProfilesThatMakeNoTransformKeepThePreviousPicture) {
  std::string good = Fixture("quad.gif").string();
  WorkImage image;
  ASSERT_TRUE(Load(good, image).loaded);
  const WorkImage before = image;

  colour_.profiles.output = "NotInstalled.icc";
  steps_.convert = StandardConversion(colour_, notifier_, [this] { ++load_defaults_; });
  std::string path = Fixture("quad.psd").string();
  const LoadOutcome outcome = Load(path, image);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.conversion, ConvertStatus::kNoTransform);
  EXPECT_EQ(path, "");
  EXPECT_EQ(load_defaults_, 1);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, "Something odd with this image");
  EXPECT_EQ(image.raw, before.raw);
  EXPECT_EQ(image.grid, before.grid);
}

TEST_F(LoadImageFileTest, TemporaryCopyIsGoneAfterTheLoad) {
  TempDir temp;
  const char* old = std::getenv("TMPDIR");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("TMPDIR", temp.path().c_str(), 1);
  std::string good = Fixture("quad.jpg").string();
  std::string bad_path = (temp.path() / "bad.png").string();
  WriteFileBytes(bad_path, "not a png");
  WorkImage image;
  const bool loaded = Load(good, image).loaded;
  const bool bad_loaded = Load(bad_path, image).loaded;
  if (saved) {
    setenv("TMPDIR", saved->c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_TRUE(loaded);
  EXPECT_FALSE(bad_loaded);
  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::directory_iterator(temp.path())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{"bad.png"});
}

// 4000 × 3000 pixels at 300 dpi is 960 × 720 points. On a printable area of 540 × 780 points
// it is too wide and does not fit turned, but it is not too tall and not a tall picture
// (720 ÷ 960 is below 1.41): it is turned and scaled by 780 ÷ 960.
TEST_F(LoadImageFileTest, LargePictureIsTurnedAndScaledToThePrintableArea) {
  options_.printable = PrintableArea{540, 780};
  options_.unit = UnitCode::kMillimetres;
  std::string path = Fixture("big4000x3000.png").string();
  WorkImage image;
  const LoadOutcome outcome = Load(path, image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_EQ(image.width, 4000);
  EXPECT_EQ(image.height, 3000);
  EXPECT_TRUE(outcome.rotate);
  EXPECT_EQ(image.output_width, 3000);
  EXPECT_EQ(image.output_height, 4000);
  // The PNG stores 11811 pixels per metre: 299.9994 dpi.
  EXPECT_NEAR(image.physical_width_pt, 960, 0.01);
  EXPECT_NEAR(image.physical_height_pt, 720, 0.01);
  EXPECT_NEAR(image.scale_factor, 780.0 / 960.0, 1e-5);
  EXPECT_NEAR(image.x_dpi, 299.9994 * 960.0 / 780.0, 0.01);
  EXPECT_NEAR(image.y_dpi, 299.9994 * 960.0 / 780.0, 0.01);
  EXPECT_NEAR(image.oriented_width_pt, 585, 0.01);
  EXPECT_NEAR(image.oriented_height_pt, 780, 0.01);
  EXPECT_EQ(outcome.size_labels.width, "206.4");
  EXPECT_EQ(outcome.size_labels.height, "275.2");
  EXPECT_EQ(image.grid.size(), 5u * 4000 * 3000);
}

}  // namespace
}  // namespace kelvaro
