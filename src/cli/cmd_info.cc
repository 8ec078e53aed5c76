#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunInfoCommand(const Args&) {
  std::fprintf(stderr, "kelvaro info: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
