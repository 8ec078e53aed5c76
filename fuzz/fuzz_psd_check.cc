// Feeds arbitrary bytes to the Photoshop image-data check that runs before the decoder. It must
// never look outside the bytes, and must finish quickly whatever sizes the header claims.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/decoder_guard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  volatile bool sound = kelvaro::PsdImageDataIsSound(std::span<const std::uint8_t>(data, size));
  (void)sound;
  return 0;
}
