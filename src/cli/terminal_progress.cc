#include "cli/terminal_progress.h"

#include <unistd.h>

#include <algorithm>

namespace kelvaro::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

TerminalProgress TerminalProgress::ForStderr() {
  return TerminalProgress(stderr, ::isatty(STDERR_FILENO) == 1);
}

void TerminalProgress::SetStatus(const std::string& text) {
  if (text.empty()) return;
  ClearBar();
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void TerminalProgress::SetProgress(long long value, long long maximum) {
  if (!terminal_) return;
  if (maximum <= 0) {
    ClearBar();
    return;
  }
  const int percent = static_cast<int>(std::clamp(value * 100 / maximum, 0LL, 100LL));
  if (percent == percent_) return;
  percent_ = percent;
  const int filled = percent * kBarWidth / 100;
  std::fprintf(out_, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(kBarWidth - filled, '.').c_str(), percent);
  std::fflush(out_);
}

// Takes the bar off its line, so that the next text starts on a clean line.
void TerminalProgress::ClearBar() {
  if (percent_ < 0) return;
  std::fprintf(out_, "\r%*s\r", kBarWidth + 8, "");
  std::fflush(out_);
  percent_ = -1;
}

}  // namespace kelvaro::cli
