#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunTextsCommand(const Args&) {
  std::fprintf(stderr, "kelvaro texts: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
