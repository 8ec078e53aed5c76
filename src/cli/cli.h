#ifndef KELVARO_CLI_CLI_H_
#define KELVARO_CLI_CLI_H_

#include <string>
#include <vector>

namespace kelvaro::cli {

// The words after the sub-command name.
using Args = std::vector<std::string>;

// Each sub-command lives in its own cmd_*.cc file and returns the process exit status:
// 0 done, 1 failed (the reason is on stderr), 2 bad usage.
int RunSettingsCommand(const Args& args);
int RunTextsCommand(const Args& args);
int RunPrintersCommand(const Args& args);
int RunPapersCommand(const Args& args);
int RunPresetsCommand(const Args& args);
int RunInfoCommand(const Args& args);
int RunPrintCommand(const Args& args);
int RunCostCommand(const Args& args);
int RunBlankCommand(const Args& args);
int RunModeCommand(const Args& args);
int RunStatsCommand(const Args& args);
int RunPreviewCommand(const Args& args);
int RunShapesCommand(const Args& args);
int RunWatchCommand(const Args& args);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_CLI_H_
