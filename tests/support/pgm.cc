#include "support/pgm.h"

#include <cstdio>

#include "support/test_env.h"

namespace kelvaro::testing {

std::optional<Gray> ReadPgm(const std::filesystem::path& path) {
  const std::string data = ReadFileBytes(path);
  Gray image;
  int max = 0;
  int consumed = 0;
  if (std::sscanf(data.c_str(), "P5 %ld %ld %d%n", &image.width, &image.height, &max, &consumed) !=
          3 ||
      max != 255 || image.width < 0 || image.height < 0) {
    return std::nullopt;
  }
  image.bytes = data.substr(static_cast<std::size_t>(consumed) + 1);
  if (image.bytes.size() != static_cast<std::size_t>(image.width * image.height)) {
    return std::nullopt;
  }
  return image;
}

}  // namespace kelvaro::testing
