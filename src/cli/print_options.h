#ifndef KELVARO_CLI_PRINT_OPTIONS_H_
#define KELVARO_CLI_PRINT_OPTIONS_H_

// The start of a run of `kelvaro print` and of the commands that take the same options (cost,
// info, preview, watch); the options themselves are in cli/option_table.h.

#include <filesystem>
#include <optional>
#include <string>

#include "app/print_setup.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/option_table.h"
#include "platform/notifier.h"

namespace kelvaro::cli {

// Starts a run of `session` (see Session::StartRun) with `image` loaded when given; a refusal
// is shown through the notifier of `cli`, and a picture that got no colour transform names the
// profile. false then.
bool StartRun(CliSession& cli, Session& session, const PrintChoices& choices,
              const std::optional<std::filesystem::path>& image);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_PRINT_OPTIONS_H_
