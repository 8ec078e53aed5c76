#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunPrintersCommand(const Args&) {
  std::fprintf(stderr, "kelvaro printers: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
