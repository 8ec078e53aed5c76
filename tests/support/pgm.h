#ifndef KELVARO_TESTS_SUPPORT_PGM_H_
#define KELVARO_TESTS_SUPPORT_PGM_H_

#include <filesystem>
#include <optional>
#include <string>

namespace kelvaro::testing {

// A binary grey picture (PGM "P5", 255 levels): the planes the print dumps, or a separation
// Ghostscript rendered and ImageMagick converted.
struct Gray {
  long width = 0;
  long height = 0;
  std::string bytes;  // row by row from the top
  int At(long x, long y) const {
    return static_cast<unsigned char>(bytes[static_cast<std::size_t>(y * width + x)]);
  }
};

// nullopt for a file that is no such picture or is shorter than its size says.
std::optional<Gray> ReadPgm(const std::filesystem::path& path);

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_SUPPORT_PGM_H_
