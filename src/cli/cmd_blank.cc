#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunBlankCommand(const Args&) {
  std::fprintf(stderr, "kelvaro blank: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
