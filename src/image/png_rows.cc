#include "image/png_rows.h"

#include <png.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <span>

#include "platform/byte_block.h"

namespace kelvaro {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The library's messages are not the user's: a warning is ignored, an error ends the read.
void IgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}
[[noreturn]] void StopRead(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }

// The PNG library's state for one read; destroyed however the read ends.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopRead, IgnoreWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  bool ok() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Whether the general decoder would hand this picture on unchanged but for the filler byte. A
// transparent colour (which it turns into opacity) and significant-bit chunks are left to it.
// Like it, the read applies no gamma.
bool IsPlain(png_structp png, png_infop info) {
  const int depth = png_get_bit_depth(png, info);
  const int colour = png_get_color_type(png, info);
  if (depth != 8 || (colour != PNG_COLOR_TYPE_RGB && colour != PNG_COLOR_TYPE_RGB_ALPHA)) {
    return false;
  }
  if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) return false;
  return png_get_valid(png, info, PNG_INFO_tRNS | PNG_INFO_sBIT) == 0;
}

// The part that may end in the library's long jump: only plain data lives here, so that
// nothing with a destructor is skipped. Returns the end; `pixels` is the mapping once made.
// Rows decoded between two counts published to the reader.
constexpr png_uint_32 kPublishRows = 16;

void Publish(std::uint32_t* rows_done, png_uint_32 rows) {
  if (rows_done != nullptr) std::atomic_ref(*rows_done).store(rows, std::memory_order_release);
}

// The memory file at `bytes`: grown when it is smaller (a file made for the picture by the
// reader is already of its size and may be sealed against any change of it).
bool SizeMemory(int memory_fd, std::size_t bytes) {
  struct stat info {};
  if (fstat(memory_fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) == bytes) {
    return true;
  }
  return ftruncate(memory_fd, static_cast<off_t>(bytes)) == 0;
}

PngRowsEnd ReadRows(png_structp png, png_infop info, std::FILE* file, bool flip, int memory_fd,
                    std::uint32_t* rows_done, int channels, PngRowsResult& result, void*& pixels,
                    std::size_t& bytes) {
  if (setjmp(png_jmpbuf(png))) return PngRowsEnd::kFailed;
  png_init_io(png, file);
  png_read_info(png, info);
  if (!IsPlain(png, info)) return PngRowsEnd::kNotPlain;
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > 0x7fffffffu || height > 0x7fffffffu) {
    return PngRowsEnd::kNotPlain;
  }
  const bool rgb = png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB;
  if (channels == 3 && !rgb) return PngRowsEnd::kNotPlain;
  if (channels == 4 && rgb) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  const std::size_t row_bytes = std::size_t{width} * static_cast<std::size_t>(channels);
  bytes = row_bytes * height;
  if (png_get_rowbytes(png, info) != row_bytes || !SizeMemory(memory_fd, bytes)) {
    return PngRowsEnd::kFailed;
  }
  pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory_fd, 0);
  if (pixels == MAP_FAILED) {
    pixels = nullptr;
    return PngRowsEnd::kFailed;
  }
  auto* out = static_cast<png_bytep>(pixels);
  for (png_uint_32 row = 0; row < height; ++row) {
    if (row % kPublishRows == 0) {
      // The next rows' pages at once, rather than a fault for each of them.
      const png_uint_32 end = std::min(row + kPublishRows, height);
      const png_uint_32 top = flip ? height - end : row;
      PrefaultPages(std::span(out + row_bytes * top, row_bytes * (end - row)), true);
    }
    png_read_row(png, out + row_bytes * (flip ? height - 1 - row : row), nullptr);
    if ((row + 1) % kPublishRows == 0) Publish(rows_done, row + 1);
  }
  Publish(rows_done, height);
  png_read_end(png, nullptr);
  result.width = static_cast<std::int32_t>(width);
  result.height = static_cast<std::int32_t>(height);
  return PngRowsEnd::kDecoded;
}

}  // namespace

PngRowsResult ReadPlainPngRows(const std::filesystem::path& file, bool flip, int memory_fd,
                               std::uint32_t* rows_done, int channels) {
  PngRowsResult result;
  if (channels != 3 && channels != 4) return result;
  const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  PngReader reader;
  if (!in || !reader.ok()) return result;
  void* pixels = nullptr;
  std::size_t bytes = 0;
  result.end = ReadRows(reader.png(), reader.info(), in.get(), flip, memory_fd, rows_done, channels,
                        result, pixels, bytes);
  if (pixels != nullptr) munmap(pixels, bytes);
  return result;
}

}  // namespace kelvaro
