#include "image/resolution.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

using ::kelvaro::testing::FixtureFolder;
using ::kelvaro::testing::ReadFileBytes;
using ::kelvaro::testing::TempDir;
using ::kelvaro::testing::WriteFileBytes;

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::filesystem::path Fixture(const std::string& name) { return FixtureFolder() / "image" / name; }

// Fixture files written by ImageMagick at known densities (the Exif ones carry a hand-made
// APP1 segment: 720/3 and 360/2).
struct FileCase {
  const char* name;
  float x_dpi;
  float y_dpi;
  SourceKind kind;
};

class FixtureResolutionTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(FixtureResolutionTest, ReadsDeclaredDensity) {
  const FileCase& c = GetParam();
  const FileResolution got = ReadFileResolution(Fixture(c.name));
  EXPECT_NEAR(got.resolution.x_dpi, c.x_dpi, 0.01) << c.name;
  EXPECT_NEAR(got.resolution.y_dpi, c.y_dpi, 0.01) << c.name;
  EXPECT_EQ(got.source_kind, c.kind) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Formats, FixtureResolutionTest,
                         ::testing::Values(
                             // 11811 pixels per metre, unit 1.
                             FileCase{"dpi300.png", 299.9994f, 299.9994f, SourceKind::kLossless},
                             // 11800 pixels per metre.
                             FileCase{"ppcm118.png", 299.72f, 299.72f, SourceKind::kLossless},
                             // pHYs present, unit 0.
                             FileCase{"nounit.png", 300, 300, SourceKind::kLossless},
                             FileCase{"jfif_inch.jpg", 240, 180, SourceKind::kJpeg},
                             FileCase{"jfif_cm.jpg", 299.72f, 299.72f, SourceKind::kJpeg},
                             FileCase{"jfif_nounit.jpg", 300, 300, SourceKind::kJpeg},
                             FileCase{"exif_ii.jpg", 240, 180, SourceKind::kJpeg},
                             FileCase{"exif_mm.jpg", 240, 180, SourceKind::kJpeg},
                             FileCase{"dpi200x100.tif", 200, 100, SourceKind::kLossless},
                             FileCase{"mm200x100.tif", 200, 100, SourceKind::kLossless},
                             FileCase{"dpi5.tif", 300, 300, SourceKind::kLossless},
                             FileCase{"dpi300.bmp", 299.9994f, 299.9994f, SourceKind::kLossless},
                             FileCase{"dpi2.bmp", 150, 150, SourceKind::kLossless},
                             FileCase{"dpi240x120.psd", 240, 120, SourceKind::kLossless},
                             FileCase{"plain.gif", 150, 150, SourceKind::kLossless}));

TEST(ReadFileResolutionTest, NameDecidesReaders) {
  TempDir dir;
  const std::string jfif = ReadFileBytes(Fixture("jfif_inch.jpg"));
  const std::string bmp = ReadFileBytes(Fixture("dpi2.bmp"));
  ASSERT_FALSE(jfif.empty());
  ASSERT_FALSE(bmp.empty());

  // Upper-case extension still counts as JPEG.
  WriteFileBytes(dir.path() / "Photo.JPG", jfif);
  FileResolution got = ReadFileResolution(dir.path() / "Photo.JPG");
  EXPECT_EQ(got.source_kind, SourceKind::kJpeg);
  EXPECT_FLOAT_EQ(got.resolution.x_dpi, 240);

  // ".jpeg" matches none of the readers.
  WriteFileBytes(dir.path() / "photo.jpeg", jfif);
  got = ReadFileResolution(dir.path() / "photo.jpeg");
  EXPECT_EQ(got.source_kind, SourceKind::kOther);
  EXPECT_EQ(got.resolution, (Resolution{300, 300}));

  // PNG reader first, then BMP: the BMP answer stands.
  WriteFileBytes(dir.path() / "picture.png.bmp", bmp);
  got = ReadFileResolution(dir.path() / "picture.png.bmp");
  EXPECT_EQ(got.source_kind, SourceKind::kLossless);
  EXPECT_EQ(got.resolution, (Resolution{150, 150}));

  // The order of the tests decides, not the order in the name: ".gif" is tested after ".jpg".
  WriteFileBytes(dir.path() / "a.gif.jpg", jfif);
  got = ReadFileResolution(dir.path() / "a.gif.jpg");
  EXPECT_EQ(got.source_kind, SourceKind::kLossless);
  EXPECT_EQ(got.resolution, (Resolution{150, 150}));
  // ".png" is tested before ".jpg", so the JPEG reader has the last word here.
  WriteFileBytes(dir.path() / "a.jpg.png", jfif);
  got = ReadFileResolution(dir.path() / "a.jpg.png");
  EXPECT_EQ(got.source_kind, SourceKind::kJpeg);
  EXPECT_EQ(got.resolution, (Resolution{240, 180}));
}

TEST(ReadFileResolutionTest, FolderNamesDoNotCount) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "scans.tif");
  const auto path = dir.path() / "scans.tif" / "photo.jpg";
  WriteFileBytes(path, ReadFileBytes(Fixture("jfif_inch.jpg")));
  const FileResolution got = ReadFileResolution(path);
  EXPECT_EQ(got.source_kind, SourceKind::kJpeg);
  EXPECT_FLOAT_EQ(got.resolution.x_dpi, 240);
}

// The file's leading bytes are read first, the rest only when they do not settle it: the
// answer is the one the reader gives on the whole file, wherever the first "pHYs" lies (near
// the start, cut by the end of the leading bytes, far into the file, or nowhere).
TEST(ReadFileResolutionTest, AResolutionFarIntoTheFileIsStillFound) {
  TempDir dir;
  // pHYs: 11811 pixels per metre (300 dpi) across, 5906 (150 dpi) down, in metres.
  const std::string phys = std::string("pHYs") + std::string("\0\0\x2e\x23\0\0\x17\x12\x01", 9);
  for (const std::size_t at : {std::size_t{40}, std::size_t{65530}, std::size_t{65536 - 13},
                               std::size_t{200000}, std::size_t{0}}) {
    SCOPED_TRACE(at);
    std::string bytes = "\x89PNG" + std::string(250000, 'x');
    if (at != 0) bytes.replace(at, phys.size(), phys);
    const auto path = dir.path() / "big.png";
    WriteFileBytes(path, bytes);
    const Resolution whole = ReadPngResolution(ToBytes(bytes));
    EXPECT_EQ(ReadFileResolution(path).resolution, whole);
    if (at != 0) {
      EXPECT_NEAR(whole.y_dpi, 150, 0.1);
    }
  }
}

TEST(ReadFileResolutionTest, MissingFileKeepsDefaultAndKind) {
  TempDir dir;
  const FileResolution got = ReadFileResolution(dir.path() / "gone.png");
  EXPECT_EQ(got.resolution, (Resolution{300, 300}));
  EXPECT_EQ(got.source_kind, SourceKind::kLossless);
}

// Every proper prefix of every fixture must read without touching bytes past its end and must
// give a usable density (AddressSanitizer builds catch the reads; this checks the answers).
TEST(ResolutionReadersTest, EveryTruncationGivesUsableDensity) {
  for (const char* name :
       {"dpi300.png", "jfif_inch.jpg", "jfif_cm.jpg", "exif_ii.jpg", "exif_mm.jpg",
        "dpi200x100.tif", "mm200x100.tif", "dpi300.bmp", "dpi240x120.psd"}) {
    const std::string whole = ReadFileBytes(Fixture(name));
    ASSERT_FALSE(whole.empty()) << name;
    for (std::size_t length = 0; length < whole.size(); ++length) {
      // A heap copy of exactly `length` bytes, so nothing valid lies beyond it.
      const Bytes cut(whole.begin(), whole.begin() + length);
      const FileResolution got = ReadResolutionFromBytes(name, cut);
      EXPECT_GT(got.resolution.x_dpi, 0) << name << " cut at " << length;
      EXPECT_GT(got.resolution.y_dpi, 0) << name << " cut at " << length;
    }
  }
}

TEST(PngResolutionTest, HostileChunks) {
  const std::string sig = "\x89PNG\r\n\x1a\n";
  // pHYs with values but the unit byte cut off.
  EXPECT_EQ(ReadPngResolution(ToBytes(sig + "pHYs" + std::string("\0\0\x2e\x23\0\0\x2e\x23", 8))),
            (Resolution{300, 300}));
  // pHYs as the very last bytes.
  EXPECT_EQ(ReadPngResolution(ToBytes(sig + "pHYs")), (Resolution{300, 300}));
  // Zero pixels per metre would divide the picture's size by zero.
  EXPECT_EQ(ReadPngResolution(ToBytes(sig + "pHYs" + std::string("\0\0\0\0\0\0\x2e\x23\x01", 9))),
            (Resolution{300, 300}));
  // Complete chunk: 11811 and 5906 per metre.
  const Resolution ok =
      ReadPngResolution(ToBytes(sig + "pHYs" + std::string("\0\0\x2e\x23\0\0\x17\x12\x01", 9)));
  EXPECT_NEAR(ok.x_dpi, 299.9994, 0.001);
  EXPECT_NEAR(ok.y_dpi, 150.0124, 0.001);
  EXPECT_EQ(ReadPngResolution({}), (Resolution{300, 300}));
}

// A JPEG start with an Exif header in the given byte order and the given IFD body.
Bytes ExifStart(bool big_endian, const Bytes& after_header) {
  Bytes bytes = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x40, 'E', 'x', 'i', 'f', 0, 0};
  if (big_endian) {
    bytes.insert(bytes.end(), {'M', 'M', 0, 42, 0, 0, 0, 8});
  } else {
    bytes.insert(bytes.end(), {'I', 'I', 42, 0, 8, 0, 0, 0});
  }
  bytes.insert(bytes.end(), after_header.begin(), after_header.end());
  return bytes;
}

TEST(JpegResolutionTest, ExifOffsetsOutsideTheBytesFallBack) {
  // XResolution and YResolution entries whose value offsets point far past the 400 bytes.
  const Bytes far =
      ExifStart(false, {2, 0, 0x1A, 1, 5, 0, 1, 0,    0, 0, 0xF0, 0xFF, 0xFF, 0xFF, 0x1B,
                        1, 5, 0,    1, 0, 0, 0, 0x10, 0, 0, 0,    0,    0,    0,    0});
  EXPECT_EQ(ReadJpegResolution(far), (Resolution{300, 300}));
  // Tag found, but its value offset field is cut off.
  EXPECT_EQ(ReadJpegResolution(ExifStart(false, {1, 0, 0x1A, 1, 5, 0, 1, 0})),
            (Resolution{300, 300}));
  // Zero denominators.
  const Bytes zero =
      ExifStart(true, {0, 2, 1, 0x1A, 0, 5, 0,  0, 0, 1, 0, 0, 0, 38, 1,  0x1B, 0, 5, 0,
                       0, 0, 1, 0,    0, 0, 38, 0, 0, 0, 0, 0, 0, 1,  44, 0,    0, 0, 0});
  EXPECT_EQ(ReadJpegResolution(zero), (Resolution{300, 300}));
  // The same with denominator 1 reads 300/1 in both directions, so the layout above is right.
  Bytes one = zero;
  one.back() = 1;
  EXPECT_EQ(ReadJpegResolution(one), (Resolution{300, 300}));
  one[one.size() - 6] = 2;  // numerator 0x022C = 556
  EXPECT_EQ(ReadJpegResolution(one), (Resolution{556, 556}));
}

TEST(JpegResolutionTest, JfifCases) {
  auto jfif = [](std::uint8_t unit, std::uint16_t x, std::uint16_t y) {
    return Bytes{0xFF,
                 0xD8,
                 0xFF,
                 0xE0,
                 0,
                 16,
                 'J',
                 'F',
                 'I',
                 'F',
                 0,
                 1,
                 1,
                 unit,
                 static_cast<std::uint8_t>(x >> 8),
                 static_cast<std::uint8_t>(x),
                 static_cast<std::uint8_t>(y >> 8),
                 static_cast<std::uint8_t>(y)};
  };
  EXPECT_EQ(ReadJpegResolution(jfif(1, 200, 100)), (Resolution{200, 100}));
  const Resolution cm = ReadJpegResolution(jfif(2, 118, 118));
  EXPECT_NEAR(cm.x_dpi, 299.72, 0.001);
  EXPECT_EQ(ReadJpegResolution(jfif(0, 200, 100)), (Resolution{300, 300}));
  EXPECT_EQ(ReadJpegResolution(jfif(3, 200, 100)), (Resolution{300, 300}));
  // Zero density in inches.
  EXPECT_EQ(ReadJpegResolution(jfif(1, 0, 100)), (Resolution{300, 300}));
  // Densities cut off.
  Bytes cut = jfif(1, 200, 100);
  cut.pop_back();
  EXPECT_EQ(ReadJpegResolution(cut), (Resolution{300, 300}));
  // Neither JFIF nor Exif.
  EXPECT_EQ(ReadJpegResolution(ToBytes("\xFF\xD8\xFF\xE2\x00\x10XXXXXXXXXXXX")),
            (Resolution{300, 300}));
}

// A little-endian TIFF start whose first directory is at `directory`.
Bytes TiffStart(std::uint32_t directory) {
  return Bytes{'I',
               'I',
               42,
               0,
               static_cast<std::uint8_t>(directory),
               static_cast<std::uint8_t>(directory >> 8),
               static_cast<std::uint8_t>(directory >> 16),
               static_cast<std::uint8_t>(directory >> 24)};
}

TEST(TiffResolutionTest, HostileDirectories) {
  // Directory offset past the end, offset 0, and a count promising more entries than there are.
  EXPECT_EQ(ReadTiffResolution(TiffStart(0xFFFFFFF0)), (Resolution{300, 300}));
  EXPECT_EQ(ReadTiffResolution(TiffStart(0)), (Resolution{300, 300}));
  Bytes many = TiffStart(8);
  many.insert(many.end(), {0xFF, 0xFF, 0x1A, 0x01, 5, 0, 1, 0, 0, 0});
  EXPECT_EQ(ReadTiffResolution(many), (Resolution{300, 300}));

  // One XResolution entry: rational at offset 26.
  Bytes entry = TiffStart(8);
  entry.insert(entry.end(), {1, 0, 0x1A, 0x01, 5, 0, 1, 0, 0, 0, 26, 0, 0, 0, 0, 0, 0, 0});
  Bytes good = entry;
  good.insert(good.end(), {0x90, 1, 0, 0, 2, 0, 0, 0});  // 400/2
  EXPECT_EQ(ReadTiffResolution(good), (Resolution{200, 300}));
  Bytes zero = entry;
  zero.insert(zero.end(), {0x90, 1, 0, 0, 0, 0, 0, 0});  // 400/0
  EXPECT_EQ(ReadTiffResolution(zero), (Resolution{300, 300}));
  Bytes five = entry;
  five.insert(five.end(), {5, 0, 0, 0, 1, 0, 0, 0});  // 5/1: below 10
  EXPECT_EQ(ReadTiffResolution(five), (Resolution{300, 300}));
  Bytes short_rational = entry;
  short_rational.insert(short_rational.end(), {0x90, 1, 0, 0, 2, 0});
  EXPECT_EQ(ReadTiffResolution(short_rational), (Resolution{300, 300}));
  // Wrong type (3, short) is ignored.
  Bytes wrong_type = good;
  wrong_type[12] = 3;
  EXPECT_EQ(ReadTiffResolution(wrong_type), (Resolution{300, 300}));
}

TEST(BmpResolutionTest, HeaderFields) {
  Bytes header(50, 0);
  header[0] = 'B';
  header[1] = 'M';
  auto put = [&header](int at, std::int32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(38, 11811);
  put(42, 3937);
  const Resolution ok = ReadBmpResolution(header);
  EXPECT_NEAR(ok.x_dpi, 299.9994, 0.001);
  EXPECT_NEAR(ok.y_dpi, 99.9998, 0.001);
  put(38, 100);  // 2.54 dpi
  EXPECT_EQ(ReadBmpResolution(header), (Resolution{150, 150}));
  put(38, -11811);
  EXPECT_EQ(ReadBmpResolution(header), (Resolution{150, 150}));
  // A zero vertical density would divide by zero later.
  put(38, 11811);
  put(42, 0);
  EXPECT_EQ(ReadBmpResolution(header), (Resolution{150, 150}));
  // Too short to hold the fields.
  EXPECT_EQ(ReadBmpResolution(Bytes(header.begin(), header.begin() + 45)), (Resolution{300, 300}));
}

TEST(PsdResolutionTest, ResourceNearTheEnd) {
  Bytes psd = ToBytes("8BPS");
  psd.resize(20, 0);
  const Bytes resource = {'8', 'B', 'I', 'M', 0x03, 0xED, 0,    0,    0, 0, 0, 16, 0x01, 0x2C,
                          0,   0,   0,   1,   0,    1,    0x00, 0x96, 0, 0, 0, 1,  0,    1};
  psd.insert(psd.end(), resource.begin(), resource.end());
  EXPECT_EQ(ReadPsdResolution(psd), (Resolution{300, 150}));
  // Cut inside the vertical value.
  EXPECT_EQ(ReadPsdResolution(Bytes(psd.begin(), psd.begin() + 20 + 21)), (Resolution{300, 300}));
  // Resource past the 65000 bytes read.
  Bytes far = ToBytes("8BPS");
  far.resize(65000, 0);
  far.insert(far.end(), resource.begin(), resource.end());
  EXPECT_EQ(ReadPsdResolution(far), (Resolution{300, 300}));
  // Zero resolution.
  Bytes zero = psd;
  zero[20 + 12] = 0;
  zero[20 + 13] = 0;
  EXPECT_EQ(ReadPsdResolution(zero), (Resolution{300, 300}));
}

TEST(GifResolutionTest, AlwaysLow) {
  EXPECT_EQ(ReadGifResolution({}), (Resolution{150, 150}));
  EXPECT_EQ(ReadGifResolution(ToBytes("GIF89a")), (Resolution{150, 150}));
}

}  // namespace
}  // namespace kelvaro
