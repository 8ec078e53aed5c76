#ifndef KELVARO_PLATFORM_OUTCOME_H_
#define KELVARO_PLATFORM_OUTCOME_H_

#include <optional>
#include <string>
#include <utility>

namespace kelvaro {

// What an operation that can fail gives back: success, or the message that says why not.
struct [[nodiscard]] Outcome {
  std::optional<std::string> error;

  bool ok() const { return !error.has_value(); }
  static Outcome Success() { return {}; }
  static Outcome Failure(std::string message) { return {std::move(message)}; }
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_OUTCOME_H_
