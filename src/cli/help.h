#ifndef KELVARO_CLI_HELP_H_
#define KELVARO_CLI_HELP_H_

#include <string>
#include <string_view>

namespace kelvaro::cli {

// What `kelvaro COMMAND --help` shows below the command's usage line: one line for each
// option. Empty for a command without options.
std::string CommandHelp(std::string_view command);

// The window's options that print, cost, info and preview take.
std::string WindowOptionsHelp();

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_HELP_H_
