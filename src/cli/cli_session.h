#ifndef KELVARO_CLI_CLI_SESSION_H_
#define KELVARO_CLI_CLI_SESSION_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_context.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "platform/data_folders.h"
#include "platform/notifier.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro::cli {

// Messages of a run without a window: written to stderr, questions get their default answer.
class StderrNotifier final : public Notifier {
 public:
  void Show(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool Ask(const std::string& title, const std::string& text, bool default_answer) override;
  // The text of the last message shown, as shown (LF line breaks), for a caller that files
  // it (the hot folder).
  std::string last_message;
};

// What every sub-command works with: the data folders, the settings store and the loaded
// user-interface texts, after the start-up the command line shares with the window. `app`
// holds the rest of what start-up read (tone curves, job settings, recent files).
struct CliSession {
  explicit CliSession(DataFolders data_folders) : app(std::move(data_folders), notifier) {}
  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  StderrNotifier notifier;
  AppContext app;
  const DataFolders& folders = app.folders();
  SettingsStore& store = app.store;
  UiText& texts = app.texts;
};

// Runs the shared start-up for a command-line run (no single-instance check, no exit writes:
// a command may run while the window is open) and returns the session.
std::unique_ptr<CliSession> OpenCliSession();

// The start of a command whose only option is `--model KEY`: reads the words, runs the
// start-up and chooses the model. nullptr after a usage error (reported, `status` 2) or a
// failed start (`status` 1).
struct ModelCommand {
  std::unique_ptr<CliSession> session;
  ModelChoice model;
};
std::optional<ModelCommand> StartModelCommand(const Args& arguments, std::string_view command,
                                              std::string_view usage, int& status);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_CLI_SESSION_H_
