#include "image/preview_png.h"

#include <IL/il.h>

#include <limits>
#include <string>
#include <vector>

#include "image/image_loader.h"
#include "platform/atomic_file.h"

namespace kelvaro {

Outcome WritePreviewPng(const std::filesystem::path& path, const PreviewCanvas& canvas) {
  const auto pixels = static_cast<std::size_t>(canvas.width) * canvas.height;
  if (canvas.width <= 0 || canvas.height <= 0 || canvas.rgba.size() != 4 * pixels) {
    return Outcome::Failure("There is no preview to write");
  }
  // Compressed, the picture is never larger than its pixels with a filter byte a row and the
  // headers of the file and its compressed blocks.
  const std::size_t bound = 4 * pixels + canvas.height + 5 * (4 * pixels / 16000 + 1) + 4096;
  if (bound > std::numeric_limits<ILuint>::max()) {
    return Outcome::Failure("The preview is too large for a PNG file");
  }
  InitImageDecoder();
  ILuint id = 0;
  ilGenImages(1, &id);
  ilBindImage(id);
  std::vector<std::uint8_t> file(bound);
  ILuint written = 0;
  if (ilTexImage(static_cast<ILuint>(canvas.width), static_cast<ILuint>(canvas.height), 1, 4,
                 IL_RGBA, IL_UNSIGNED_BYTE,
                 const_cast<std::uint8_t*>(canvas.rgba.data())) == IL_TRUE) {
    // The rows are given from the top.
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
    written = ilSaveL(IL_PNG, file.data(), static_cast<ILuint>(file.size()));
  }
  ilDeleteImages(1, &id);
  for (int i = 0; i < 200 && ilGetError() != IL_NO_ERROR; ++i) {
  }
  if (written == 0) return Outcome::Failure("The PNG file could not be made");
  const FileWriteResult result = WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(file.data()), written));
  if (!result.ok) {
    return Outcome::Failure("Cannot write " + path.string() + " (error " +
                            std::to_string(result.error_code) + ")");
  }
  return Outcome::Success();
}

}  // namespace kelvaro
