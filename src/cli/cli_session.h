#ifndef KELVARO_CLI_CLI_SESSION_H_
#define KELVARO_CLI_CLI_SESSION_H_

#include <memory>
#include <string>

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
};

// What every sub-command works with: the data folders, the settings store and the loaded
// user-interface texts, after the start-up the command line shares with the window.
struct CliSession {
  explicit CliSession(DataFolders data_folders)
      : folders(std::move(data_folders)), store(folders, notifier) {}
  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  StderrNotifier notifier;
  DataFolders folders;
  SettingsStore store;
  UiText texts;
};

// Runs the shared start-up for a command-line run and returns the session.
std::unique_ptr<CliSession> OpenCliSession();

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_CLI_SESSION_H_
