#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunPrintCommand(const Args&) {
  std::fprintf(stderr, "kelvaro print: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
