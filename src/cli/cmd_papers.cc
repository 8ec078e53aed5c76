#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunPapersCommand(const Args&) {
  std::fprintf(stderr, "kelvaro papers: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
