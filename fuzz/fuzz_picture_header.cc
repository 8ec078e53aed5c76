// Feeds arbitrary bytes to the header dimension readers, the format test and the BMP header
// rewrite. They run on every picture before the decoder does, so they must never read outside
// the bytes, loop for ever or give sizes the size check then misjudges.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvaro;
  const std::span<const std::uint8_t> bytes(data, size);
  const ByteReader read = SpanReader(bytes);
  volatile std::uint64_t sink = static_cast<std::uint64_t>(FormatFromLeadingBytes(bytes));
  for (const PictureFormat format :
       {PictureFormat::kPng, PictureFormat::kJpeg, PictureFormat::kGif, PictureFormat::kTiff,
        PictureFormat::kBmp, PictureFormat::kPsd}) {
    const auto dimensions = ReadPictureDimensions(format, read);
    if (!dimensions) continue;
    if (dimensions->decoder_bytes_per_pixel < 4) __builtin_trap();
    // Every size either passes or gets its sentence; none may pass above the decoder's limit.
    const auto refusal = PictureSizeRefusal("f", format, *dimensions, std::uint64_t{1} << 33);
    if (!refusal && dimensions->width * dimensions->height * 6 >= kDecoderByteLimit) {
      __builtin_trap();
    }
    sink = sink + dimensions->width + (refusal ? refusal->size() : 0);
  }
  if (const auto rewrite = ClassicBmpHeader(bytes)) {
    // The rewritten head replaces exactly the bytes it skips, minus what was taken out.
    if (rewrite->skip > size || rewrite->head.size() > rewrite->skip) __builtin_trap();
    sink = sink + rewrite->head.size();
  }
  (void)sink;
  return 0;
}
