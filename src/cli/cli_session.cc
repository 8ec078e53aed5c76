#include "cli/cli_session.h"

#include <cstdio>

#include "app/startup.h"

namespace kelvaro::cli {
namespace {

// Message texts use CR LF line breaks; a terminal wants LF.
std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

}  // namespace

void StderrNotifier::Show(const std::string& title, const std::string& text, MessageIcon) {
  last_message = ForTerminal(text);
  std::fprintf(stderr, "%s: %s\n", title.c_str(), last_message.c_str());
}

bool StderrNotifier::Ask(const std::string& title, const std::string& text, bool default_answer) {
  std::fprintf(stderr, "%s: %s [%s]\n", title.c_str(), ForTerminal(text).c_str(),
               default_answer ? "yes" : "no");
  return default_answer;
}

std::unique_ptr<CliSession> OpenCliSession() {
  auto session = std::make_unique<CliSession>(GetDataFolders());
  RunStartup(session->app, StartupOptions::CommandLine());
  return session;
}

std::optional<ModelCommand> StartModelCommand(const Args& arguments, std::string_view command,
                                              std::string_view usage, int& status) {
  Args args = arguments;
  std::optional<UsageError> error;
  const std::optional<std::string> model_key = TakeModelOption(args, error);
  if (!error) error = CheckLeftovers(args, 0);
  if (error) {
    status = ReportUsageError(command, *error, usage);
    return std::nullopt;
  }
  ModelCommand started;
  started.session = OpenCliSession();
  if (!started.session) {
    status = 1;
    return std::nullopt;
  }
  started.model = ChooseModel(model_key, started.session->store);
  return started;
}

}  // namespace kelvaro::cli
