// Pictures made to take a loader down: headers that claim huge sizes, a valid picture too large
// for the decoder, things that are not files at all, newer BMP headers and names that lie about
// the format. The folder is written by the generator below when the tests run; only the small
// fixtures are kept in the repository.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image/image_loader.h"
#include "image/picture_header.h"
#include "platform/isolated_child.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::kelvaro::testing::FixtureFolder;
using ::kelvaro::testing::ReadFileBytes;
using ::kelvaro::testing::RecordingNotifier;
using ::kelvaro::testing::TempDir;
using ::kelvaro::testing::WriteFileBytes;

std::string Le(std::uint32_t value, int size) {
  std::string out;
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}
std::string Be(std::uint32_t value, int size) {
  std::string out;
  for (int i = size - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i));
  return out;
}

// A BMP of `width` × `height` 24-bit pixels with an info header of `header_size` bytes (40,
// 108 or 124); pixels are filled by `pixel(x, y)` as B, G, R. Rows are stored from the bottom.
template <typename Pixel>
std::string Bmp(std::uint32_t header_size, std::int32_t width, std::int32_t height,
                const Pixel& pixel, int bits = 24) {
  const std::uint32_t bytes_per_pixel = static_cast<std::uint32_t>(bits / 8);
  const std::uint32_t row = (static_cast<std::uint32_t>(width) * bytes_per_pixel + 3) & ~3u;
  const bool fields = bits == 32;
  std::string info = Le(header_size, 4) + Le(static_cast<std::uint32_t>(width), 4) +
                     Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) + Le(bits, 2) +
                     Le(fields ? 3 : 0, 4) + Le(row * static_cast<std::uint32_t>(height), 4) +
                     Le(2835, 4) + Le(2835, 4) + Le(0, 4) + Le(0, 4);
  if (header_size > 40) {
    info += Le(0x00FF0000, 4) + Le(0x0000FF00, 4) + Le(0x000000FF, 4) + Le(0xFF000000, 4);
    info += "BGRs";                  // colour space: sRGB
    info.resize(header_size, '\0');  // end points, gamma, intent, profile fields
  }
  std::string data;
  // Headers that claim huge sizes come without their pixels.
  if (width > 0 && height > 0 && std::int64_t{width} * height <= (1 << 20)) {
    for (std::int32_t y = height - 1; y >= 0; --y) {
      std::string line;
      for (std::int32_t x = 0; x < width; ++x) {
        line += pixel(x, y);
        if (fields) line += '\xff';
      }
      line.resize(row, '\0');
      data += line;
    }
  }
  const std::uint32_t offset = 14 + static_cast<std::uint32_t>(info.size());
  return "BM" + Le(offset + static_cast<std::uint32_t>(data.size()), 4) + Le(0, 4) + Le(offset, 4) +
         info + data;
}

std::string PngChunk(const std::string& type, const std::string& data) {
  std::string body = type + data;
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return Be(static_cast<std::uint32_t>(data.size()), 4) + body +
         Be(static_cast<std::uint32_t>(crc), 4);
}

// A valid white RGB PNG of `side` × `side` pixels, compressed row by row.
std::string WhitePng(std::uint32_t side) {
  z_stream stream{};
  deflateInit(&stream, Z_BEST_SPEED);
  std::string row(1 + 3 * std::size_t{side}, '\xff');
  row[0] = '\0';  // no filter
  std::string compressed;
  std::vector<unsigned char> out(1 << 16);
  for (std::uint32_t y = 0; y < side; ++y) {
    stream.next_in = reinterpret_cast<Bytef*>(row.data());
    stream.avail_in = static_cast<uInt>(row.size());
    const int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      deflate(&stream, flush);
      compressed.append(reinterpret_cast<char*>(out.data()), out.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return "\x89PNG\r\n\x1a\n" +
         PngChunk("IHDR", Be(side, 4) + Be(side, 4) + "\x08\x02" + std::string(3, '\0')) +
         PngChunk("IDAT", compressed) + PngChunk("IEND", "");
}

std::string PngHeader(std::uint32_t width, std::uint32_t height) {
  return "\x89PNG\r\n\x1a\n" +
         PngChunk("IHDR", Be(width, 4) + Be(height, 4) + "\x08\x06" + std::string(3, '\0')) +
         PngChunk("IDAT", std::string(16, '\0')) + PngChunk("IEND", "");
}

std::string JpegHeader(std::uint32_t width, std::uint32_t height) {
  return std::string("\xff\xd8\xff\xe0") + Be(16, 2) + std::string("JFIF\0\1\1\0", 8) + Be(1, 2) +
         Be(1, 2) + std::string(2, '\0') + "\xff\xc0" + Be(17, 2) + "\x08" + Be(height, 2) +
         Be(width, 2) + "\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00" + std::string(64, '\0') +
         "\xff\xd9";
}

std::string GifHeader(std::uint32_t width, std::uint32_t height) {
  return "GIF89a" + Le(width, 2) + Le(height, 2) + std::string("\x80\0\0", 3) +
         std::string(6, '\0') + "," + std::string(4, '\0') + Le(width, 2) + Le(height, 2) +
         std::string("\0\x02\x02\x44\x01\0;", 7);
}

std::string PsdHeader(std::uint32_t width, std::uint32_t height) {
  return std::string("8BPS\0\1", 6) + std::string(6, '\0') + Be(3, 2) + Be(height, 4) +
         Be(width, 4) + Be(8, 2) + Be(3, 2) + Be(0, 4) + Be(0, 4) + Be(0, 4) + Be(0, 2) +
         std::string(64, '\0');
}

// Peak resident memory of this process and of its waited-for children, in bytes.
std::uint64_t PeakMemory() {
  rusage self{};
  rusage children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  return static_cast<std::uint64_t>(std::max(self.ru_maxrss, children.ru_maxrss)) * 1024;
}

// Points TMPDIR at a fresh folder for the test and restores it afterwards.
class HostilePicturesTest : public ::testing::Test {
 protected:
  HostilePicturesTest() {
    if (const char* old = std::getenv("TMPDIR")) saved_tmpdir_ = old;
    setenv("TMPDIR", temp_.path().c_str(), 1);
  }
  ~HostilePicturesTest() override {
    if (saved_tmpdir_) {
      setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  std::vector<std::string> LeftInTemp() const {
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(temp_.path())) {
      left.push_back(entry.path().filename().string());
    }
    return left;
  }

  TempDir temp_;
  TempDir pictures_;
  std::optional<std::string> saved_tmpdir_;
};

struct Refused {
  std::string name;
  std::string contents;
  std::string message;  // a part of the message besides the file's name
};

TEST_F(HostilePicturesTest, RefusedBeforeDecodingWithTheFileAndItsSize) {
  const auto black = [](int, int) { return std::string(3, '\0'); };
  const std::vector<Refused> cases = {
      {"huge.bmp", Bmp(40, 65536, 65536, black).substr(0, 118), "65,536 x 65,536 pixels"},
      {"huge.psd", PsdHeader(65536, 65536), "65,536 x 65,536 pixels"},
      {"huge.gif", GifHeader(65535, 65535), "65,535 x 65,535 pixels"},
      {"huge.jpg", JpegHeader(65000, 65000), "65,000 x 65,000 pixels"},
      {"huge.png", PngHeader(1000000, 1000000), "1,000,000 x 1,000,000 pixels"},
      {"big20000.png", WhitePng(20000), "20,000 x 20,000 pixels"},
      {"empty.gif", GifHeader(0, 0), "the picture is empty (0 x 0 pixels)"},
      {"zero.png", "", "the file is empty (0 bytes)"},
      {"letter.png", "Dear customer, this is not a picture.\n", "FORMAT NOT SUPPORTED"},
      {"cut.jpg", JpegHeader(100, 100).substr(0, 24), "INVALID FILE HEADER"},
  };
  for (const Refused& c : cases) WriteFileBytes(pictures_.path() / c.name, c.contents);
  const fs::path fifo = pictures_.path() / "waiting.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path folder = pictures_.path() / "folder.png";
  fs::create_directory(folder);

  std::vector<Refused> all = cases;
  all.push_back({fifo.filename().string(), "", "not a regular file"});
  all.push_back({folder.filename().string(), "", "a folder, not a picture file"});
  all.push_back({"missing.tif", "", "UNABLE TO OPEN FILE"});
  for (const Refused& c : all) {
    const fs::path file = pictures_.path() / c.name;
    SCOPED_TRACE(c.name);
    RecordingNotifier notifier;
    NullProgress progress;
    WorkImage image;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DecodeImageFile(file, false, image, notifier, progress));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].title, "Kelvaro Pro");
    EXPECT_NE(notifier.messages[0].text.find(file.string()), std::string::npos)
        << notifier.messages[0].text;
    EXPECT_NE(notifier.messages[0].text.find(c.message), std::string::npos)
        << notifier.messages[0].text;
    EXPECT_TRUE(image.raw.empty());
  }
  // /dev/zero would otherwise be copied until the disk is full.
  RecordingNotifier notifier;
  NullProgress progress;
  WorkImage image;
  EXPECT_FALSE(DecodeImageFile("/dev/zero", false, image, notifier, progress));
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text,
            "/dev/zero: this is not a regular file (a pipe, device or socket), so it is not read.");

  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
  EXPECT_LT(PeakMemory(), std::uint64_t{1} << 30);
}

// A GIF with a `screen` × `screen` logical screen and one `side` × `side` frame at left, top;
// `pixels` are its compressed data sub-blocks.
std::string Gif(std::uint32_t screen, std::uint32_t left, std::uint32_t top, std::uint32_t side,
                const std::string& pixels = std::string("\x02\x44\x01\0", 4)) {
  return "GIF89a" + Le(screen, 2) + Le(screen, 2) + std::string("\x80\0\0", 3) +
         std::string(6, '\0') + "," + Le(left, 2) + Le(top, 2) + Le(side, 2) + Le(side, 2) +
         std::string("\0\x02", 2) + pixels + ";";
}

// A 2 × 2 Photoshop file of `depth` bits whose image resources are `resources`.
std::string Psd(int depth, const std::string& resources) {
  return std::string("8BPS\0\1", 6) + std::string(6, '\0') + Be(3, 2) + Be(2, 4) + Be(2, 4) +
         Be(depth, 2) + Be(3, 2) + Be(0, 4) + Be(static_cast<std::uint32_t>(resources.size()), 4) +
         resources + Be(0, 4) + Be(0, 2) + std::string(12 * depth / 8, '\x40');
}

// Damage the decoder would read or write outside its buffers on, or would name only as an
// unknown error, is named before it runs, and the child never sees the file.
TEST_F(HostilePicturesTest, DamageIsNamedBeforeTheDecoderRuns) {
  const auto grey = [](int, int) { return std::string(3, '\x80'); };
  const std::string good_bmp = Bmp(40, 10, 10, grey);
  const std::string resource = "8BIM" + Be(1005, 2) + std::string(2, '\0');
  const std::vector<Refused> cases = {
      {"offset.gif", Gif(16, 8, 8, 16),
       "ILLEGAL FILE VALUE\n$: the GIF is damaged: frame 1 (16 x 16 pixels at 8,8) does not fit "
       "in its 16 x 16 screen."},
      {"far.gif", Gif(16, 60000, 60000, 16), "frame 1 (16 x 16 pixels at 60000,60000)"},
      {"noframe.gif", Gif(16, 0, 0, 16).substr(0, 19) + ";",
       "ILLEGAL FILE VALUE\n$: the GIF holds no picture frame."},
      {"cut.gif", Gif(16, 0, 0, 16).substr(0, 32),
       "ILLEGAL FILE VALUE\n$: the GIF data is cut short in the pixels of frame 1."},
      {"negative.bmp", Bmp(40, -100, 100, grey),
       "ILLEGAL FILE VALUE\n$: the BMP width is invalid (-100 pixels)."},
      {"cut.bmp", good_bmp.substr(0, good_bmp.size() - 40),
       "ILLEGAL FILE VALUE\n$: the BMP pixel data is cut short (the header states 372 bytes, the "
       "file holds 334)."},
      {"deep.psd", Psd(16, ""),
       "FORMAT NOT SUPPORTED\n$: 16-bit PSD pictures are not supported; save the picture with 8 "
       "bits per channel."},
      {"resource.psd", Psd(8, resource + Be(0x7fffffff, 4) + std::string(16, '\0')),
       "ILLEGAL FILE VALUE\n$: the PSD image data is damaged."},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = pictures_.path() / c.name;
    WriteFileBytes(file, c.contents);
    std::string expected = c.message;
    if (const auto at = expected.find('$'); at != std::string::npos) {
      expected.replace(at, 1, file.string());
    }
    RecordingNotifier notifier;
    NullProgress progress;
    WorkImage image;
    image.width = 7;  // a picture loaded before; a refused load leaves no half picture
    EXPECT_FALSE(DecodeImageFile(file, false, image, notifier, progress));
    ASSERT_EQ(notifier.messages.size(), 1u);
    if (c.message.find('$') != std::string::npos) {
      EXPECT_EQ(notifier.messages[0].text, expected);
    } else {
      EXPECT_NE(notifier.messages[0].text.find(expected), std::string::npos)
          << notifier.messages[0].text;
    }
    EXPECT_TRUE(image.raw.empty());
  }
  // The same shapes, sound, still load: a frame that touches the screen's edge, a resource
  // that fills its section exactly, a BMP whose last row comes without its padding.
  std::string edge = ReadFileBytes(FixtureFolder() / "image" / "plain.gif");  // 4 x 3 at 0,0
  ASSERT_EQ(edge.size(), 44u);
  edge.replace(6, 4, Le(16, 2) + Le(16, 2));
  edge.replace(0x1c, 4, Le(12, 2) + Le(13, 2));
  const std::vector<std::pair<std::string, std::string>> sound = {
      {"edge.gif", edge},
      {"resource.psd", Psd(8, resource + Be(4, 4) + "abcd")},
      {"unpadded.bmp", good_bmp.substr(0, good_bmp.size() - 2)},
  };
  for (const auto& [name, contents] : sound) {
    SCOPED_TRACE(name);
    const fs::path file = pictures_.path() / name;
    WriteFileBytes(file, contents);
    RecordingNotifier notifier;
    NullProgress progress;
    WorkImage image;
    EXPECT_TRUE(DecodeImageFile(file, false, image, notifier, progress))
        << (notifier.messages.empty() ? "" : notifier.messages[0].text);
  }
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

// Most programs write BMP files with the newer headers; they load like the classic ones.
TEST_F(HostilePicturesTest, BmpWithNewerHeadersLoads) {
  const auto colours = [](int x, int y) {
    return std::string{static_cast<char>(x * 40), static_cast<char>(y * 60), '\x80'};
  };
  struct Case {
    std::uint32_t header;
    int bits;
  };
  for (const Case c : {Case{40, 24}, Case{108, 24}, Case{124, 24}, Case{124, 32}}) {
    SCOPED_TRACE(::testing::Message() << "header " << c.header << ", " << c.bits << " bits");
    const fs::path file = pictures_.path() / "v.bmp";
    WriteFileBytes(file, Bmp(c.header, 5, 3, colours, c.bits));
    RecordingNotifier notifier;
    NullProgress progress;
    WorkImage image;
    ASSERT_TRUE(DecodeImageFile(file, false, image, notifier, progress))
        << (notifier.messages.empty() ? "" : notifier.messages[0].text);
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        const std::size_t at = (static_cast<std::size_t>(y) * 5 + x) * 4;
        const std::span<const std::uint8_t> rgba = image.DecodedRgba();
        EXPECT_EQ(rgba[at], 0x80) << x << "," << y;  // red
        EXPECT_EQ(rgba[at + 1], y * 60) << x << "," << y;
        EXPECT_EQ(rgba[at + 2], x * 40) << x << "," << y;
        EXPECT_EQ(rgba[at + 3], 255) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

// The leading bytes choose the decoder; the name still chooses the resolution reader and the
// source kind.
TEST_F(HostilePicturesTest, NamesThatLieAboutTheFormatStillLoad) {
  fs::copy_file(FixtureFolder() / "image" / "quad.jpg", pictures_.path() / "photo.png");
  fs::copy_file(FixtureFolder() / "image" / "quad_alpha.png", pictures_.path() / "art.jpg");
  LoadOptions options;
  options.printable = PrintableArea{569.08, 815.93};
  LoadSteps steps;
  steps.convert = [](WorkImage& image, ProgressSink&) {
    image.raw.resize(5 * static_cast<std::size_t>(image.width) * image.height);
    return ConvertStatus::kConverted;
  };
  for (const char* name : {"photo.png", "art.jpg"}) {
    SCOPED_TRACE(name);
    std::string path = (pictures_.path() / name).string();
    RecordingNotifier notifier;
    NullProgress progress;
    WorkImage image;
    ASSERT_TRUE(LoadImageFile(path, options, steps, image, notifier, progress).loaded);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 24);
    EXPECT_EQ(image.source_kind,
              std::string(name) == "art.jpg" ? SourceKind::kJpeg : SourceKind::kLossless);
  }
}

// A decoder that takes too long is stopped; the picture loaded before stays and no copy of the
// file is left behind.
TEST_F(HostilePicturesTest, ADecoderPastItsTimeEndsOnlyItsChild) {
  LoadOptions options;
  options.printable = PrintableArea{569.08, 815.93};
  LoadSteps steps;
  steps.convert = [](WorkImage& image, ProgressSink&) {
    image.raw.resize(5 * static_cast<std::size_t>(image.width) * image.height);
    return ConvertStatus::kConverted;
  };
  RecordingNotifier notifier;
  NullProgress progress;
  WorkImage image;
  std::string good = (FixtureFolder() / "image" / "quad.gif").string();
  ASSERT_TRUE(LoadImageFile(good, options, steps, image, notifier, progress).loaded);
  const PixelBytes before = image.raw;

  std::string big = (FixtureFolder() / "image" / "big4000x3000.png").string();
  const auto start = std::chrono::steady_clock::now();
  const DecodeLimits hurried{std::chrono::milliseconds(1), 0};
  EXPECT_FALSE(LoadImageFile(big, options, steps, image, notifier, progress, hurried).loaded);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(big, "");
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text,
            (FixtureFolder() / "image" / "big4000x3000.png").string() +
                ": the picture could not be decoded (the decoder stopped: it ran longer than "
                "1 ms).");
  EXPECT_EQ(image.raw, before);
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});

  // The same when the conversion takes the rows as they decode: the child alone is ended and
  // what was converted is dropped.
  {
    const testing::TestFolders folders;
    ColourContext colour;
    colour.folders = folders.folders();
    SetStandardConversion(steps, colour, notifier, nullptr);
    notifier.messages.clear();
    big = (FixtureFolder() / "image" / "big4000x3000.png").string();
    EXPECT_FALSE(LoadImageFile(big, options, steps, image, notifier, progress, hurried).loaded);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].text.find("it ran longer than 1 ms"), std::string::npos);
    EXPECT_EQ(image.raw, before);
  }
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

// The child process itself: a crash, a hang and a runaway allocation end only the child.
TEST(RunInChildTest, EndsOfAChild) {
  ChildLimits limits;
  limits.time = std::chrono::milliseconds(2000);
  limits.extra_memory_bytes = std::uint64_t{64} << 20;

  const ChildResult fine = RunInChild(limits, [](int fd) {
    const std::string pixels = "RGBA";
    if (write(fd, pixels.data(), pixels.size()) != 4) return std::string("no");
    return std::string("done");
  });
  ASSERT_EQ(fine.end, ChildEnd::kFinished);
  EXPECT_EQ(fine.report, "done");
  std::uint8_t back[4] = {};
  ASSERT_TRUE(fine.memory.CopyOut(0, 4, back));
  EXPECT_EQ(std::string(back, back + 4), "RGBA");
  EXPECT_FALSE(fine.memory.CopyOut(1, 4, back));

  const ChildResult crashed = RunInChild(limits, [](int) -> std::string { abort(); });
  EXPECT_EQ(crashed.end, ChildEnd::kCrashed);
  EXPECT_EQ(crashed.signal, SIGABRT);
  EXPECT_NE(DescribeChildEnd(crashed, limits).find("signal 6"), std::string::npos);

  const auto start = std::chrono::steady_clock::now();
  const ChildResult hung = RunInChild(limits, [](int) -> std::string {
    for (;;) pause();
  });
  EXPECT_EQ(hung.end, ChildEnd::kTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));

  const ChildResult runaway = RunInChild(limits, [](int) {
    for (int i = 0; i < 4096; ++i) {
      void* block = malloc(1 << 20);
      if (block == nullptr) return std::string("refused after ") + std::to_string(i) + " MB";
      memset(block, 1, 1 << 20);
    }
    return std::string("4 GB granted");
  });
  ASSERT_EQ(runaway.end, ChildEnd::kFinished);
  EXPECT_EQ(runaway.report.rfind("refused after ", 0), 0u) << runaway.report;
}

}  // namespace
}  // namespace kelvaro
