#include <cstdio>

#include "cli/cli.h"

namespace kelvaro::cli {

int RunSettingsCommand(const Args&) {
  std::fprintf(stderr, "kelvaro settings: not available yet\n");
  return 2;
}

}  // namespace kelvaro::cli
