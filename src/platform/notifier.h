#ifndef KELVARO_PLATFORM_NOTIFIER_H_
#define KELVARO_PLATFORM_NOTIFIER_H_

#include <string>

namespace kelvaro {

// Window titles of the program's message boxes.
inline constexpr char kProgramTitle[] = "Kelvaro Pro";
inline constexpr char kStoreTitle[] = "Kelvaro";  // settings store and language messages

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };

// Messages to the user. The window shows modal message boxes, the command line writes to
// stderr, tests record them. Core code reports through this and never waits on a dialog
// itself.
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void Show(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  // A yes/no question. Returns true for yes. A front end with nobody to ask returns
  // `default_answer`.
  virtual bool Ask(const std::string& title, const std::string& text, bool default_answer) = 0;
};

// Status line texts and the progress bar of long steps.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetStatus(const std::string& text) = 0;
  // `value` of `maximum`; a maximum of 0 hides the bar.
  virtual void SetProgress(long long value, long long maximum) = 0;
};

// Discards progress; for runs nobody watches.
class NullProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string&) override {}
  void SetProgress(long long, long long) override {}
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_NOTIFIER_H_
