#include "job/plane_dump.h"

#include <string>
#include <system_error>

#include "image/separation.h"
#include "platform/atomic_file.h"
#include "settings/settings_store.h"

namespace kelvaro {

namespace fs = std::filesystem;

Outcome DumpPlanes(const fs::path& folder, const JobBlock& block, std::int64_t x_pixel,
                   std::int64_t y_pixel) {
  constexpr int kPlanes = SeparationSet::kPlanes;
  if (x_pixel <= 0 || y_pixel <= 0 ||
      block.size() != static_cast<std::size_t>(kPlanes * x_pixel * y_pixel)) {
    return Outcome::Failure("The image data block does not match its size");
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::size_t row = static_cast<std::size_t>(x_pixel);
  for (int plane = 0; plane < kPlanes; ++plane) {
    const fs::path file = folder / ("plane" + std::to_string(plane + 1) + ".pgm");
    std::string bytes =
        "P5\n" + std::to_string(x_pixel) + " " + std::to_string(y_pixel) + "\n255\n";
    bytes.reserve(bytes.size() + row * static_cast<std::size_t>(y_pixel));
    // The block comes in pieces of whole rows; this plane's row of each is kept.
    const bool whole_rows = block.Send([&](std::string_view piece) {
      if (piece.size() % (kPlanes * row) != 0) return false;
      for (std::size_t at = plane * row; at < piece.size(); at += kPlanes * row) {
        bytes.append(piece.substr(at, row));
      }
      return true;
    });
    if (!whole_rows) return Outcome::Failure("The image data block does not match its size");
    // Through a temporary file, as the job file: a full disk leaves no cut plane behind.
    const FileWriteResult written = WriteFileAtomically(file, bytes);
    if (!written.ok) {
      return Outcome::Failure("Cannot write " + file.string() + ": " +
                              WriteErrorText(written.error_code));
    }
  }
  return Outcome::Success();
}

}  // namespace kelvaro
