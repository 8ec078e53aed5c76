// Feeds arbitrary bytes to every resolution reader and to the name dispatch. The readers must
// never look outside the bytes they were given, whatever the offsets inside them say.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/resolution.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // libFuzzer hands over exactly `size` bytes, so any read past the end is caught.
  const std::span<const std::uint8_t> bytes(data, size);
  using namespace kelvaro;
  volatile float sink = 0;
  sink = sink + ReadPngResolution(bytes).x_dpi;
  sink = sink + ReadJpegResolution(bytes).x_dpi;
  sink = sink + ReadGifResolution(bytes).x_dpi;
  sink = sink + ReadTiffResolution(bytes).y_dpi;
  sink = sink + ReadBmpResolution(bytes).y_dpi;
  sink = sink + ReadPsdResolution(bytes).y_dpi;
  // The dispatch cuts the bytes to each reader's limit before reading.
  const FileResolution all = ReadResolutionFromBytes("f.png.jpg.gif.tif.bmp.psd", bytes);
  sink = sink + all.resolution.x_dpi;
  // Every answer must be a usable density: later steps divide by it.
  for (const Resolution r :
       {ReadPngResolution(bytes), ReadJpegResolution(bytes), ReadTiffResolution(bytes),
        ReadBmpResolution(bytes), ReadPsdResolution(bytes), all.resolution}) {
    if (!(r.x_dpi > 0) || !(r.y_dpi > 0)) __builtin_trap();
  }
  return 0;
}
