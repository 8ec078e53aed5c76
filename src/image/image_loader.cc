#include "image/image_loader.h"

#include <IL/il.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "image/decoded_rows.h"
#include "image/decoder_guard.h"
#include "image/picture_header.h"
#include "image/png_rows.h"
#include "image/resolution.h"
#include "platform/byte_block.h"
#include "platform/isolated_child.h"
#include "platform/temp_file.h"

namespace kelvaro {
namespace {

struct ErrorName {
  unsigned code;
  const char* text;
};

// The decoder's error codes and the names the user sees (byte for byte, trailing blanks
// included).
constexpr ErrorName kErrorNames[] = {
    {0x0501, "INVALID ENUM"},         {0x0502, "OUT OF MEMORY"},
    {0x0503, "FORMAT NOT SUPPORTED"}, {0x0504, "INTERNAL ERROR"},
    {0x0505, "INVALID VALUE"},        {0x0506, "ILLEGAL OPERATION"},
    {0x0507, "ILLEGAL FILE VALUE"},   {0x0508, "INVALID FILE HEADER"},
    {0x0509, "INVALID PARAMATER"},    {0x050A, "UNABLE TO OPEN FILE"},
    {0x050B, "INVALID EXTENSION"},    {0x050C, "FILE ALREADY EXISTS"},
    {0x050D, "OUT FORMAT SAME"},      {0x050E, "STACK OVERFLOW "},
    {0x050F, "STACK UNDERFLOW"},      {0x0510, "INVALID CONVERSION"},
    {0x0511, "BAD DIMENSIONS"},       {0x0512, "FILE READ ERROR "},
    {0x05E1, "LIB GIF ERROR"},        {0x05E2, "LIB JPEG ERROR"},
    {0x05E3, "LIB PNG ERROR"},        {0x05E4, "LIB TIFF ERROR"},
    {0x05E5, "LIB MNG ERROR"},        {0x05E6, "LIB JP2 ERROR"},
    {0x05E7, "LIB EXR ERROR"},        {0x05FF, "UNKNOWN ERROR"},
};
constexpr unsigned kUnknownError = 0x05FF;
constexpr int kMaxErrorReads = 200;

void DrainErrors() {
  for (int i = 0; i < kMaxErrorReads && ilGetError() != IL_NO_ERROR; ++i) {
  }
}

// Deletes the decoder's image when the load ends, however it ends: its pixels are copied out
// and it would otherwise stay in memory until the program closes.
class DecoderImage {
 public:
  DecoderImage() { ilGenImages(1, &id_); }
  ~DecoderImage() {
    if (id_ != 0) ilDeleteImages(1, &id_);
  }
  DecoderImage(const DecoderImage&) = delete;
  DecoderImage& operator=(const DecoderImage&) = delete;
  ILuint id() const { return id_; }

 private:
  ILuint id_ = 0;
};

// False for a Photoshop file whose image data would make the decoder write outside its
// buffers. Only files that start like one are read in full.
bool SafeToDecode(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  char signature[4] = {};
  if (!in.read(signature, 4) || std::string_view(signature, 4) != "8BPS") return true;
  in.seekg(0);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  return PsdImageDataIsSound(bytes);
}

// The path with its double quotes removed: a path pasted with quotes around it names the file
// between them. A file whose own name holds a quote (allowed here) is taken as it is named;
// without the quote the name could lead to another picture, or to none.
std::string WithoutQuotes(std::string text) {
  std::error_code ec;
  if (text.find('"') == std::string::npos || std::filesystem::is_regular_file(text, ec)) {
    return text;
  }
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

// Memory a decoder child may use whatever the picture: the decoder and its libraries.
constexpr std::uint64_t kDecoderBaseMemory = std::uint64_t{256} << 20;

std::uint64_t PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

enum class DecodeOutcome : std::int32_t { kDecoded, kDecoderError, kCopyFailed };

// What the decoder child hands back beside the pixels.
struct DecodeReport {
  DecodeOutcome outcome = DecodeOutcome::kDecoderError;
  std::uint32_t error_code = 0;  // the decoder's first error, 0 for none
  std::int32_t width = 0;
  std::int32_t height = 0;
  // 1 when the pixels are in the rows file the parent made (see RowHandoff), 0 when in the
  // child's own shared memory.
  std::int32_t in_rows_file = 0;
};

ILenum DecoderType(PictureFormat format) {
  switch (format) {
    case PictureFormat::kPng:
      return IL_PNG;
    case PictureFormat::kJpeg:
      return IL_JPG;
    case PictureFormat::kGif:
      return IL_GIF;
    case PictureFormat::kTiff:
      return IL_TIF;
    case PictureFormat::kBmp:
      return IL_BMP;
    case PictureFormat::kPsd:
      return IL_PSD;
    case PictureFormat::kUnknown:
      break;
  }
  return IL_TYPE_UNKNOWN;
}

// Where a plain PNG's rows go: the parent's rows file and its count of finished rows, when it
// takes them while they decode.
struct RowsTarget {
  int fd = -1;
  std::uint32_t* rows_done = nullptr;
  int channels = 4;  // bytes a pixel: 3 for a picture without opacity
};

// Runs in the decoder child: decodes `file` as `format` and writes its RGBA pixels into the
// shared memory.
std::string DecodeInChild(const std::filesystem::path& file, PictureFormat format, bool flip,
                          bool png_rows, int memory_fd, RowsTarget rows_target) {
  DecodeReport report;
  auto answer = [&report] {
    return std::string(reinterpret_cast<const char*>(&report), sizeof report);
  };
  // A damaged plain PNG goes to the general decoder too, which names the damage as always.
  if (format == PictureFormat::kPng && png_rows) {
    const bool to_parent = rows_target.fd >= 0;
    const PngRowsResult rows = to_parent
                                   ? ReadPlainPngRows(file, flip, rows_target.fd,
                                                      rows_target.rows_done, rows_target.channels)
                                   : ReadPlainPngRows(file, flip, memory_fd);
    if (rows.end == PngRowsEnd::kDecoded) {
      report = DecodeReport{DecodeOutcome::kDecoded, 0, rows.width, rows.height, to_parent};
      return answer();
    }
  }
  auto failed = [&report](bool call_ok) {
    const ILenum code = ilGetError();
    if (code == IL_NO_ERROR && call_ok) return false;
    report.outcome = DecodeOutcome::kDecoderError;
    report.error_code = code != IL_NO_ERROR ? code : kUnknownError;
    return true;
  };
  InstallDecoderFileReaders();
  DrainErrors();
  ilEnable(IL_ORIGIN_SET);
  ilOriginFunc(flip ? IL_ORIGIN_LOWER_LEFT : IL_ORIGIN_UPPER_LEFT);
  if (failed(true)) return answer();
  DecoderImage decoded;
  if (failed(decoded.id() != 0)) return answer();
  ilBindImage(decoded.id());
  if (failed(ilLoad(DecoderType(format), file.c_str()) == IL_TRUE)) return answer();
  report.height = ilGetInteger(IL_IMAGE_HEIGHT);
  report.width = ilGetInteger(IL_IMAGE_WIDTH);
  if (failed(true)) return answer();

  report.outcome = DecodeOutcome::kCopyFailed;
  if (report.width <= 0 || report.height <= 0) return answer();
  const std::uint64_t bytes = std::uint64_t{static_cast<std::uint32_t>(report.width)} *
                              static_cast<std::uint32_t>(report.height) * 4;
  if (ftruncate(memory_fd, static_cast<off_t>(bytes)) != 0) return answer();
  void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory_fd, 0);
  if (pixels == MAP_FAILED) return answer();
  const bool copied =
      ilCopyPixels(0, 0, 0, static_cast<ILuint>(report.width), static_cast<ILuint>(report.height),
                   1, IL_RGBA, IL_UNSIGNED_BYTE, pixels) != 0;
  munmap(pixels, bytes);
  const ILenum code = ilGetError();
  report.error_code = code;
  if (copied && code == IL_NO_ERROR) report.outcome = DecodeOutcome::kDecoded;
  return answer();
}

}  // namespace

void InitImageDecoder() {
  static const bool started = [] {
    ilInit();
    InstallDecoderFileReaders();
    return true;
  }();
  (void)started;
}

std::string ImageErrorName(unsigned code) {
  if (code == 0) return "";
  for (const ErrorName& entry : kErrorNames) {
    if (entry.code == code) return entry.text;
  }
  return "Error " + std::to_string(code);
}

bool CheckImageError(Notifier& notifier) {
  const ILenum code = ilGetError();
  if (code != IL_NO_ERROR) {
    notifier.Show(kProgramTitle, ImageErrorName(code), MessageIcon::kError);
  }
  DrainErrors();
  return code != IL_NO_ERROR;
}

namespace {

// What the checks before the decoder learnt of a picture file.
struct CheckedPicture {
  PictureFormat format = PictureFormat::kUnknown;
  PictureDimensions header;
  std::vector<std::uint8_t> first;  // the leading bytes, for a BMP header rewrite
};

// A refusal the user is shown: the text and its icon.
struct LoadRefusal {
  std::string text;
  MessageIcon icon = MessageIcon::kError;
};

LoadRefusal DecoderError(const std::string& file, unsigned code, const std::string& detail) {
  return {ImageErrorName(code) + "\n" + file + (detail.empty() ? "" : ": " + detail)};
}

// Opened without waiting, so that a pipe with no writer cannot hold the load; whatever it is,
// it is looked at before a byte is read. The regular file of a picture, or why not.
std::optional<LoadRefusal> RefuseFile(const std::string& file, const FileDescriptor& source) {
  if (source.fd() < 0) return DecoderError(file, IL_COULD_NOT_OPEN_FILE, std::strerror(errno));
  struct stat info {};
  if (fstat(source.fd(), &info) != 0) {
    return DecoderError(file, IL_COULD_NOT_OPEN_FILE, std::strerror(errno));
  }
  if (S_ISDIR(info.st_mode)) return LoadRefusal{file + ": this is a folder, not a picture file."};
  if (!S_ISREG(info.st_mode)) {
    return LoadRefusal{file +
                       ": this is not a regular file (a pipe, device or socket), so it is "
                       "not read."};
  }
  if (info.st_size == 0) return LoadRefusal{file + ": the file is empty (0 bytes)."};
  return std::nullopt;
}

ByteReader ReaderOf(int fd) {
  return [fd](std::uint64_t offset, std::span<std::uint8_t> out) -> std::size_t {
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t got =
          ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  };
}

// The format, header and damage checks the decoder is spared; the picture, or why not.
std::variant<CheckedPicture, LoadRefusal> CheckPicture(const std::string& file, int fd,
                                                       std::uint64_t memory) {
  struct stat info {};
  fstat(fd, &info);
  const ByteReader read = ReaderOf(fd);
  CheckedPicture picture;
  picture.first.resize(kBmpRewriteBytes);
  picture.first.resize(read(0, picture.first));
  picture.format = FormatFromLeadingBytes(picture.first);
  if (picture.format == PictureFormat::kUnknown) {
    return DecoderError(file, IL_FORMAT_NOT_SUPPORTED,
                        "this is not a PNG, JPEG, GIF, TIFF, BMP or PSD picture.");
  }
  const std::optional<PictureDimensions> header = ReadPictureDimensions(picture.format, read);
  if (!header) {
    return DecoderError(file, IL_INVALID_FILE_HEADER,
                        std::string("the ") + PictureFormatName(picture.format) +
                            " header is cut short or damaged.");
  }
  picture.header = *header;
  if (const auto refusal =
          CheckBeforeDecoding(picture.format, read, static_cast<std::uint64_t>(info.st_size))) {
    return DecoderError(file, refusal->code, refusal->detail);
  }
  if (const auto refusal = PictureSizeRefusal(file, picture.format, *header, memory)) {
    return LoadRefusal{*refusal};
  }
  return picture;
}

// The private copy the decoder reads. The extension stays the user's: the decoder is told the
// format, it does not guess it from the name.
std::optional<TempFileCopy> PrivateCopy(const std::filesystem::path& path, int fd,
                                        const CheckedPicture& picture) {
  std::optional<BmpRewrite> rewrite;
  if (picture.format == PictureFormat::kBmp) rewrite = ClassicBmpHeader(picture.first);
  if (rewrite) {
    return TempFileCopy::MakeFromOpenFile(fd, path.extension().string(), kTempCopyStem,
                                          rewrite->head, rewrite->skip);
  }
  return TempFileCopy::MakeFromOpenFile(fd, path.extension().string(), kTempCopyStem);
}

// The memory a plain PNG is decoded into when its rows are taken while it decodes: a file
// made here at the picture's size and sealed, so that the child cannot shrink it under this
// process's reading, and a page shared with the child where it counts its finished rows. A
// picture without opacity is decoded into it as R, G, B (`channels` 3).
class RowHandoff {
 public:
  static std::unique_ptr<RowHandoff> Make(std::int32_t width, std::int32_t height, int channels) {
    const std::size_t bytes = std::size_t{static_cast<std::uint32_t>(width)} *
                              static_cast<std::uint32_t>(height) *
                              static_cast<std::size_t>(channels);
    SharedMemory fd(memfd_create("kelvaro-rows", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (fd.fd() < 0 || ftruncate(fd.fd(), static_cast<off_t>(bytes)) != 0 ||
        fcntl(fd.fd(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
      return nullptr;
    }
    std::optional<SharedMapping> pixels = SharedMapping::Map(fd.fd(), bytes, false);
    std::optional<SharedMapping> count = SharedMapping::Anonymous(sizeof(std::uint32_t));
    if (!pixels || !count) return nullptr;
    return std::unique_ptr<RowHandoff>(
        new RowHandoff(std::move(fd), std::move(*pixels), std::move(*count), height, channels));
  }
  RowHandoff(const RowHandoff&) = delete;
  RowHandoff& operator=(const RowHandoff&) = delete;

  RowsTarget target() const { return RowsTarget{fd_.fd(), rows_done(), channels_}; }
  // The rows file, mapped; what the picture is when the child decoded into it.
  // Empty unless the child's picture is the one this file was made for and every row of it
  // went to the taker, which holds what it needs of every row given back. R, G, B rows the
  // taker did not keep all of come as RGBA, as the rest of the loader reads them.
  std::shared_ptr<SharedMapping> TakePixels(std::int32_t width, std::int32_t height) {
    const std::size_t pixels = std::size_t{static_cast<std::uint32_t>(width)} * height_;
    if (height != height_ || taken_ != height_ || lost_rows_ ||
        pixels_.size() != pixels * static_cast<std::size_t>(channels_)) {
      return nullptr;
    }
    if (channels_ == 3 && !all_kept_) return WithFullOpacity(pixels_, pixels);
    return std::make_shared<SharedMapping>(std::move(pixels_));
  }

  // Runs `decode` here while a thread of its own hands every band of rows the child has
  // finished to `rows`; the rows left when `decode` returns are handed on after it.
  // `decode` gets what to run once the child exists: the thread starts only then, so that
  // the child is never forked beside it.
  template <typename Decode>
  void DecodeWhileTaking(DecodedRowsTaker& rows, bool flip, const Decode& decode) {
    std::atomic<bool> ended{false};
    auto take_rows = [&] { TakeRows(rows, flip, ended); };
    std::optional<std::thread> taker;
    decode([&] {
      try {
        taker.emplace(take_rows);
      } catch (const std::system_error&) {
        // No second thread: the rows are all taken once the decode is over.
      }
    });
    ended.store(true, std::memory_order_release);
    if (taker) {
      taker->join();
    } else {
      take_rows();
    }
  }

 private:
  // Rows handed on at once: a few milliseconds of conversion, in several chunks for the cores
  // once the child is done.
  static constexpr std::int32_t kBandRows = 64;

  RowHandoff(SharedMemory fd, SharedMapping pixels, SharedMapping count, std::int32_t height,
             int channels)
      : fd_(std::move(fd)),
        pixels_(std::move(pixels)),
        count_(std::move(count)),
        height_(height),
        channels_(channels) {}

  // Where the child counts its finished rows.
  std::uint32_t* rows_done() const { return reinterpret_cast<std::uint32_t*>(count_.data()); }

  // `pixels` R, G, B pixels as RGBA, in memory of their own; null when it cannot be had.
  static std::shared_ptr<SharedMapping> WithFullOpacity(const SharedMapping& rgb,
                                                        std::size_t pixels) {
    std::optional<SharedMapping> rgba = SharedMapping::Anonymous(4 * pixels);
    if (!rgba) return nullptr;
    const std::uint8_t* from = rgb.data();
    std::uint8_t* to = rgba->data();
    for (std::size_t i = 0; i < pixels; ++i, from += 3, to += 4) {
      std::memcpy(to, from, 3);
      to[3] = 255;
    }
    return std::make_shared<SharedMapping>(std::move(*rgba));
  }

  // The child's count, which it may have written anything into, within the picture.
  std::int32_t RowsDone() const {
    const std::uint32_t done = std::atomic_ref(*rows_done()).load(std::memory_order_acquire);
    return static_cast<std::int32_t>(std::min<std::uint32_t>(done, height_));
  }

  void TakeRows(DecodedRowsTaker& rows, bool flip, const std::atomic<bool>& ended) {
    for (;;) {
      const bool decoding = !ended.load(std::memory_order_acquire);
      const std::int32_t ready = std::min(RowsDone(), taken_ + kBandRows);
      if (ready > taken_) {
        // With Flip the child fills the buffer from its last row up.
        const std::int32_t first = flip ? height_ - ready : taken_;
        const std::int32_t end = flip ? height_ - taken_ : ready;
        const std::size_t row_bytes = pixels_.size() / static_cast<std::size_t>(height_);
        PrefaultPages(pixels_.bytes().subspan(row_bytes * first, row_bytes * (end - first)), false);
        const bool done = rows.Take(pixels_.bytes(), first, end, decoding);
        // Rows given back before a band the taker could not take are lost to it as well.
        lost_rows_ = lost_rows_ || (!done && released_ > 0);
        all_kept_ = all_kept_ && done;
        taken_ = ready;
        // Bands go back only while the taker was done with every one so far.
        if (all_kept_) ReleaseTaken(flip);
      } else if (!decoding) {
        return;
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
    }
  }

  // Gives the pages of the rows taken so far back to the system: the child has finished them
  // and the taker is done with them. Only whole pages go; the one shared with a row still to
  // come stays until that row is taken too.
  void ReleaseTaken(bool flip) {
    const std::size_t page = PageBytes();
    const std::size_t total = pixels_.size();
    const std::size_t taken = total / static_cast<std::size_t>(height_) * taken_;
    // Bytes counted from the side the child starts at (the end with Flip).
    std::size_t whole = taken;
    if (taken < total)
      whole = flip ? total - (total - taken + page - 1) / page * page : taken / page * page;
    if (whole <= released_) return;
    const std::size_t from = flip ? total - whole : released_;
    ReleaseFileBytes(fd_.fd(), from, whole - released_);
    released_ = whole;
  }

  SharedMemory fd_;
  SharedMapping pixels_;
  SharedMapping count_;  // the page shared with the child for its count of finished rows
  std::int32_t height_;
  int channels_;
  std::int32_t taken_ = 0;    // rows handed to the taker, in the child's order
  std::size_t released_ = 0;  // bytes given back, counted as `whole` in ReleaseTaken
  bool lost_rows_ = false;    // rows were given back that nothing holds converted
  bool all_kept_ = true;      // the taker was done with every band so far
};

// Decodes `decoded_file` in a child process; the child's report and memory, or why not. With
// `handoff`, a plain PNG's rows go to `rows` while they decode.
std::variant<ChildResult, LoadRefusal> RunDecoder(const std::string& file,
                                                  const std::filesystem::path& decoded_file,
                                                  const CheckedPicture& picture, bool flip,
                                                  const DecodeLimits& limits, RowHandoff* handoff,
                                                  DecodedRowsTaker* rows) {
  ChildLimits child_limits;
  child_limits.time = limits.time;
  const std::uint64_t pixels = picture.header.width * picture.header.height;
  child_limits.extra_memory_bytes =
      pixels * (2 * std::uint64_t{picture.header.decoder_bytes_per_pixel} + 8) + kDecoderBaseMemory;
  const RowsTarget target = handoff != nullptr ? handoff->target() : RowsTarget{};
  ChildResult child;
  auto decode = [&](const std::function<void()>& started) {
    child = RunInChild(
        child_limits,
        [&](int memory_fd) {
          return DecodeInChild(decoded_file, picture.format, flip, limits.png_rows, memory_fd,
                               target);
        },
        started);
  };
  if (handoff != nullptr && rows != nullptr) {
    handoff->DecodeWhileTaking(*rows, flip, decode);
  } else {
    decode({});
  }
  if (child.end != ChildEnd::kFinished) {
    return LoadRefusal{file + ": " + kNotDecoded +
                       " (the decoder stopped: " + DescribeChildEnd(child, child_limits) + ")."};
  }
  if (child.report.size() != sizeof(DecodeReport)) {
    return LoadRefusal{file + ": " + kNotDecoded + " (the decoder gave no answer)."};
  }
  return child;
}

// The rows of a plain PNG taken while it decodes: dropped unless the picture handed on is the
// one they came from.
class RowsInFlight {
 public:
  RowsInFlight(DecodedRowsTaker* rows, const CheckedPicture& picture, const DecodeLimits& limits) {
    constexpr std::uint64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
    const PictureDimensions& size = picture.header;
    if (rows == nullptr || picture.format != PictureFormat::kPng || !limits.png_rows ||
        size.width == 0 || size.height == 0 || size.width > kMaxSide || size.height > kMaxSide) {
      return;
    }
    const auto width = static_cast<std::int32_t>(size.width);
    const auto height = static_cast<std::int32_t>(size.height);
    const int channels = size.rgb8 ? 3 : 4;
    if (!rows->Begin(width, height, channels)) return;
    rows_ = rows;
    handoff_ = RowHandoff::Make(width, height, channels);
    if (!handoff_) rows_ = nullptr, rows->Drop();
  }
  ~RowsInFlight() {
    if (rows_ != nullptr && !kept_) rows_->Drop();
  }
  RowsInFlight(const RowsInFlight&) = delete;
  RowsInFlight& operator=(const RowsInFlight&) = delete;
  RowHandoff* handoff() const { return handoff_.get(); }
  DecodedRowsTaker* rows() const { return rows_; }
  void Keep() { kept_ = true; }

 private:
  DecodedRowsTaker* rows_ = nullptr;
  std::unique_ptr<RowHandoff> handoff_;
  bool kept_ = false;
};

// Takes the decoded pixels of a child that finished: its shared memory, mapped. False after
// the messages when the pixels did not come through.
bool TakePixels(const std::string& file, ChildResult& child, const DecodeReport& report,
                RowHandoff* handoff, WorkImage& image, Notifier& notifier) {
  std::shared_ptr<SharedMapping> mapping;
  const std::uint64_t count = std::uint64_t{static_cast<std::uint32_t>(report.width)} *
                              static_cast<std::uint32_t>(report.height);
  if (report.outcome == DecodeOutcome::kDecoded && report.in_rows_file != 0 && handoff != nullptr) {
    mapping = handoff->TakePixels(report.width, report.height);
  } else if (report.outcome == DecodeOutcome::kDecoded) {
    if (auto mapped = SharedMapping::Map(child.memory.fd(), count * 4)) {
      mapping = std::make_shared<SharedMapping>(std::move(*mapped));
    }
  }
  child.memory = SharedMemory();  // the mapping keeps the pages
  if (!mapping) {
    notifier.Show(kProgramTitle, std::string(kFailedToConvertImage) + "\n" + file,
                  MessageIcon::kWarning);
    if (report.error_code != 0) {
      notifier.Show(kProgramTitle, ImageErrorName(report.error_code), MessageIcon::kError);
    }
    return false;
  }
  image.decoded = std::move(mapping);
  image.width = report.width;
  image.height = report.height;
  return true;
}

}  // namespace

bool DecodeImageFile(const std::filesystem::path& path, bool flip, WorkImage& image,
                     Notifier& notifier, ProgressSink& progress, const DecodeLimits& limits,
                     DecodedRowsTaker* rows) {
  InitImageDecoder();
  image = WorkImage{};
  progress.SetProgress(1, 100);
  const std::string file = path.string();
  auto refuse = [&](const LoadRefusal& refusal) {
    notifier.Show(kProgramTitle, refusal.text, refusal.icon);
    image = WorkImage{};
    return false;
  };
  const FileDescriptor source(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (const auto refusal = RefuseFile(file, source)) return refuse(*refusal);
  const std::uint64_t memory = limits.memory_bytes > 0 ? limits.memory_bytes : PhysicalMemory();
  auto checked = CheckPicture(file, source.fd(), memory);
  if (auto* refusal = std::get_if<LoadRefusal>(&checked)) return refuse(*refusal);
  const CheckedPicture& picture = std::get<CheckedPicture>(checked);
  RowsInFlight in_flight(rows, picture, limits);

  std::optional<TempFileCopy> copy = PrivateCopy(path, source.fd(), picture);
  const std::filesystem::path decoded_file = copy ? copy->path() : path;
  if (picture.format == PictureFormat::kPsd && !SafeToDecode(decoded_file)) {
    return refuse(DecoderError(file, IL_ILLEGAL_FILE_VALUE, "the PSD image data is damaged."));
  }
  auto ran =
      RunDecoder(file, decoded_file, picture, flip, limits, in_flight.handoff(), in_flight.rows());
  if (copy) copy->Remove();
  if (auto* refusal = std::get_if<LoadRefusal>(&ran)) return refuse(*refusal);
  ChildResult& child = std::get<ChildResult>(ran);
  DecodeReport report;
  std::memcpy(&report, child.report.data(), sizeof report);
  if (report.outcome == DecodeOutcome::kDecoderError) {
    return refuse(DecoderError(file, report.error_code ? report.error_code : kUnknownError, ""));
  }
  if (report.outcome == DecodeOutcome::kDecoded) {
    // The decoder's own idea of the size is checked as the header's was.
    const PictureDimensions decoded{static_cast<std::uint64_t>(std::max(report.width, 0)),
                                    static_cast<std::uint64_t>(std::max(report.height, 0)), 4};
    if (const auto refusal = PictureSizeRefusal(file, picture.format, decoded, memory)) {
      return refuse(LoadRefusal{*refusal});
    }
  }
  progress.SetProgress(5, 100);
  if (!TakePixels(file, child, report, in_flight.handoff(), image, notifier)) {
    image = WorkImage{};
    return false;
  }
  if (report.in_rows_file != 0) in_flight.Keep();
  progress.SetProgress(25, 100);
  return true;
}

namespace {

std::string Milliseconds(std::chrono::steady_clock::duration took) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count());
}

}  // namespace

LoadOutcome LoadImageFile(std::string& path, const LoadOptions& options, const LoadSteps& steps,
                          WorkImage& image, Notifier& notifier, ProgressSink& progress,
                          const DecodeLimits& limits) {
  // The new picture is built beside the old one and replaces it only once it is complete, so a
  // damaged file costs the user nothing that was loaded before.
  WorkImage fresh;
  path = WithoutQuotes(path);
  const FileResolution found = ReadFileResolution(path);
  bool decoded = false;
  {
    StepTimer timer(options.timings, "decode");
    // Without background removal nothing changes the colours before the conversion, so it
    // may start on the rows that are in while the next ones decode.
    RowConversion* rows = options.background_removal_on ? nullptr : steps.convert_rows.get();
    if (rows != nullptr) {
      // A picture printed once is laid out as it converts: nothing else needs its records.
      std::optional<OrientAhead> ahead;
      if (options.release_records && !options.preview) {
        ahead = OrientAhead{options.mirror, options.flip, options.rotate, found.resolution,
                            options.printable};
      }
      rows->PlaceOriented(ahead);
    }
    decoded = DecodeImageFile(path, options.flip, fresh, notifier, progress, limits, rows);
    if (rows != nullptr && rows->busy().count() > 0) {
      timer.SetNote("the conversion of its rows overlapped it, " + Milliseconds(rows->busy()) +
                    " ms of work");
    }
  }
  if (!decoded) {
    path.clear();
    return LoadOutcome{};
  }
  fresh.x_dpi = found.resolution.x_dpi;
  fresh.y_dpi = found.resolution.y_dpi;
  fresh.source_kind = found.source_kind;
  progress.SetProgress(70, 100);

  LoadOutcome outcome = RunLoadPipeline(fresh, options, steps, progress);
  if (!outcome.loaded) {
    path.clear();
    return outcome;
  }
  image = std::move(fresh);
  return outcome;
}

}  // namespace kelvaro
