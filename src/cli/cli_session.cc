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
  std::fprintf(stderr, "%s: %s\n", title.c_str(), ForTerminal(text).c_str());
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

}  // namespace kelvaro::cli
