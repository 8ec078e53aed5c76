// `kelvaro mode on|off --printer QUEUE`: the Printer Mode window's two buttons.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/printer_mode.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/help.h"
#include "job/spool_output.h"
#include "platform/spooler.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "mode";
constexpr char kUsage[] = "mode on|off --printer QUEUE";

}  // namespace

int RunModeCommand(const Args& arguments) {
  Args args = arguments;
  std::optional<UsageError> error;
  if (TakeFlag(args, "help", error) && !error) {
    std::printf("usage: kelvaro %s\n\n", kUsage);
    std::fputs(std::string(CommandHelp(kCommand)).c_str(), stdout);
    return 0;
  }
  const std::optional<std::string> printer = TakeOption(args, "printer", error);
  if (!error) error = CheckLeftovers(args, 1);
  if (!error && !printer) error = UsageError{"--printer QUEUE is needed"};
  if (!error && args.size() != 1) error = UsageError{"say \"on\" or \"off\""};
  if (!error && args[0] != "on" && args[0] != "off") {
    error = UsageError{"\"" + args[0] + "\" is neither \"on\" nor \"off\""};
  }
  if (error) return ReportUsageError(kCommand, *error, kUsage);

  const std::unique_ptr<CliSession> session = OpenCliSession();
  if (!session) return 1;
  const std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  NullProgress progress;  // a mode job has no status line or progress
  const PrinterModeButton button =
      args[0] == "off" ? PrinterModeButton::kDriverOff : PrinterModeButton::kDriverOn;
  const PrinterModeServices services{
      session->store,
      {*spooler, session->notifier, progress, session->texts},
      [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); }};
  if (!PressPrinterModeButton(services, *printer, button)) return 1;
  std::printf("%s sent to %s\n",
              session
                  ->texts[button == PrinterModeButton::kDriverOff ? ui::kDriverOffButton
                                                                  : ui::kDriverOnButton]
                  .c_str(),
              printer->c_str());
  return 0;
}

}  // namespace kelvaro::cli
