#include "job/plane_dump.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

#include "image/separation.h"

namespace kelvaro {

namespace fs = std::filesystem;

Outcome DumpPlanes(const fs::path& folder, std::span<const std::uint8_t> block,
                   std::int64_t x_pixel, std::int64_t y_pixel) {
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
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "P5\n" << x_pixel << " " << y_pixel << "\n255\n";
    for (std::int64_t y = 0; y < y_pixel && out; ++y) {
      const std::uint8_t* bytes =
          block.data() + (static_cast<std::size_t>(y) * kPlanes + plane) * row;
      out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(row));
    }
    out.close();
    if (!out)
      return Outcome::Failure("Cannot write " + file.string() + ": " + std::strerror(errno));
  }
  return Outcome::Success();
}

}  // namespace kelvaro
