#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunPresetsCommand(const Args&) {
  std::fprintf(stderr, "kelvaro presets: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
