#ifndef KELVARO_CLI_TERMINAL_PROGRESS_H_
#define KELVARO_CLI_TERMINAL_PROGRESS_H_

#include <cstdio>
#include <string>

#include "platform/notifier.h"

namespace kelvaro::cli {

// Progress of a run without a window. The status lines are written as they come; on a
// terminal the progress of a long step (decoding, conversion, separation, composition,
// spooling) is also drawn as a bar on the line below, redrawn in place. Elsewhere (a pipe, a
// log file) only the status lines are written.
class TerminalProgress final : public ProgressSink {
 public:
  TerminalProgress(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  // stderr, drawn as a bar when stderr is a terminal.
  static TerminalProgress ForStderr();
  ~TerminalProgress() override { ClearBar(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;
  TerminalProgress(TerminalProgress&& other) noexcept
      : out_(other.out_), terminal_(other.terminal_), percent_(other.percent_) {
    other.percent_ = -1;
  }

  void SetStatus(const std::string& text) override;
  void SetProgress(long long value, long long maximum) override;

 private:
  void ClearBar();

  std::FILE* out_;
  bool terminal_;
  int percent_ = -1;  // the percentage the bar on screen shows; -1 with no bar
};

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_TERMINAL_PROGRESS_H_
