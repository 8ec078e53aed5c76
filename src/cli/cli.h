#ifndef KELVARO_CLI_CLI_H_
#define KELVARO_CLI_CLI_H_

#include <string>
#include <vector>

namespace kelvaro::cli {

// The words after the sub-command name.
using Args = std::vector<std::string>;

// Each sub-command lives in its own cmd_*.cc file and returns the process exit status.
int RunSettingsCommand(const Args& args);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_CLI_H_
