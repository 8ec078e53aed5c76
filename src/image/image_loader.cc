#include "image/image_loader.h"

#include <IL/il.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "image/decoder_guard.h"
#include "image/resolution.h"
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

// A failed call that left no error behind still must not pass as success.
bool Failed(bool call_ok, Notifier& notifier) {
  if (CheckImageError(notifier)) return true;
  if (call_ok) return false;
  notifier.Show(kProgramTitle, ImageErrorName(kUnknownError), MessageIcon::kError);
  return true;
}

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

bool DecodeImageFile(const std::filesystem::path& path, bool flip, WorkImage& image,
                     Notifier& notifier, ProgressSink& progress) {
  InitImageDecoder();
  // Again for every load: a later start of the decoder would have put back its own readers.
  InstallDecoderFileReaders();
  image = WorkImage{};
  progress.SetProgress(1, 100);

  std::optional<TempFileCopy> copy = TempFileCopy::Make(path, kTempCopyStem);
  const std::filesystem::path source = copy ? copy->path() : path;
  DrainErrors();

  if (!SafeToDecode(source)) {
    notifier.Show(kProgramTitle, ImageErrorName(IL_ILLEGAL_FILE_VALUE), MessageIcon::kError);
    return false;
  }
  ilEnable(IL_ORIGIN_SET);
  if (Failed(true, notifier)) return false;
  ilOriginFunc(flip ? IL_ORIGIN_LOWER_LEFT : IL_ORIGIN_UPPER_LEFT);
  if (Failed(true, notifier)) return false;
  DecoderImage decoded;
  if (Failed(decoded.id() != 0, notifier)) return false;
  ilBindImage(decoded.id());
  if (Failed(true, notifier)) return false;
  const bool loaded = ilLoadImage(source.c_str()) == IL_TRUE;
  if (copy) copy->Remove();
  if (Failed(loaded, notifier)) return false;

  const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
  if (Failed(true, notifier)) return false;
  const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
  if (Failed(true, notifier)) return false;

  // A picture too large to address is a failed copy, not a crash.
  const std::size_t pixels =
      static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
  bool allocated = width > 0 && height > 0 &&
                   pixels <= std::numeric_limits<std::size_t>::max() / 5 &&
                   width <= std::numeric_limits<std::int32_t>::max() &&
                   height <= std::numeric_limits<std::int32_t>::max();
  if (allocated) {
    try {
      image.raw.assign(pixels * 5, 0);
    } catch (const std::bad_alloc&) {
      allocated = false;
    }
  }
  progress.SetProgress(5, 100);
  const bool copied =
      allocated && ilCopyPixels(0, 0, 0, static_cast<ILuint>(width), static_cast<ILuint>(height), 1,
                                IL_RGBA, IL_UNSIGNED_BYTE, image.raw.data()) != 0;
  if (!copied) {
    notifier.Show(kProgramTitle, kFailedToConvertImage, MessageIcon::kWarning);
    CheckImageError(notifier);
    image = WorkImage{};
    return false;
  }
  progress.SetProgress(25, 100);
  if (CheckImageError(notifier)) {
    image = WorkImage{};
    return false;
  }
  image.width = width;
  image.height = height;
  return true;
}

LoadOutcome LoadImageFile(std::string& path, const LoadOptions& options, const LoadSteps& steps,
                          WorkImage& image, Notifier& notifier, ProgressSink& progress) {
  // The new picture is built beside the old one and replaces it only once it is complete, so a
  // damaged file costs the user nothing that was loaded before.
  WorkImage fresh;
  path = WithoutQuotes(path);
  if (!DecodeImageFile(path, options.flip, fresh, notifier, progress)) {
    path.clear();
    return LoadOutcome{};
  }
  const FileResolution found = ReadFileResolution(path);
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
