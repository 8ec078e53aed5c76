#include "platform/step_timings.h"

#include <algorithm>
#include <cstdio>

namespace kelvaro {
namespace {

double ToMilliseconds(StepTimings::Clock::duration took) {
  return std::chrono::duration<double, std::milli>(took).count();
}

std::string Line(std::string_view name, double milliseconds, std::string_view note) {
  char text[96];
  std::snprintf(text, sizeof text, "  %-14.*s %9.1f ms", static_cast<int>(name.size()), name.data(),
                milliseconds);
  std::string line = text;
  if (!note.empty()) line.append("  (").append(note).append(")");
  return line + "\n";
}

}  // namespace

void StepTimings::Add(std::string_view name, Clock::duration took, std::string_view note) {
  auto step = std::find_if(steps_.begin(), steps_.end(),
                           [name](const Step& known) { return known.name == name; });
  if (step == steps_.end()) {
    steps_.push_back(Step{std::string(name), took, std::string(note)});
    return;
  }
  step->took += took;
  if (!note.empty()) step->note = note;
}

double StepTimings::Milliseconds(std::string_view name) const {
  for (const Step& step : steps_) {
    if (step.name == name) return ToMilliseconds(step.took);
  }
  return 0;
}

std::string StepTimings::Format() const {
  const Clock::duration total = Clock::now() - started_;
  Clock::duration inside{};
  std::string text = "step timings (wall clock):\n";
  for (const Step& step : steps_) {
    text += Line(step.name, ToMilliseconds(step.took), step.note);
    inside += step.took;
  }
  text += Line("other", ToMilliseconds(std::max(total - inside, Clock::duration{})),
               "start-up, file checks, layout");
  text += Line("total", ToMilliseconds(total), "");
  return text;
}

}  // namespace kelvaro
