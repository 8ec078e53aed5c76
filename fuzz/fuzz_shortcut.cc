// The shortcut reader on arbitrary bytes: a dropped .lnk file may be damaged or not one at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/shortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto link = kelvaro::ParseShellLink(bytes);
  // Whatever was read came from the input: no text can be longer than the bytes it came from
  // when expanded from 8-bit code pages (at most three UTF-8 bytes per byte).
  if (link && link->target.size() > 3 * size + 3) std::abort();
  return 0;
}
