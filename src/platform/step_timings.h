#ifndef KELVARO_PLATFORM_STEP_TIMINGS_H_
#define KELVARO_PLATFORM_STEP_TIMINGS_H_

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

// The wall times of the steps of one run (decode, convert, orient, separate, compose+write),
// for a developer who wants to know where a print's time goes. The run that wants them holds
// one and hands it down; a null pointer means nobody asked. Steps are recorded by the thread
// that runs the run, one at a time.
class StepTimings {
 public:
  using Clock = std::chrono::steady_clock;

  StepTimings() : started_(Clock::now()) {}

  // Adds `took` to the step `name` (a step timed in parts is one line); `note` (may be empty)
  // is shown behind it, e.g. what overlapped it.
  void Add(std::string_view name, Clock::duration took, std::string_view note = {});
  // Milliseconds of step `name`; 0 when it was not recorded.
  double Milliseconds(std::string_view name) const;

  // One block for stderr: a line per step in the order first recorded ("decode  412.3 ms"),
  // then "other" (the run's time outside the steps) and "total" since this was made.
  std::string Format() const;

 private:
  struct Step {
    std::string name;
    Clock::duration took{};
    std::string note;
  };
  Clock::time_point started_;
  std::vector<Step> steps_;
};

// Times the scope it lives in as step `name` of `timings` (nothing when that is null).
class StepTimer {
 public:
  StepTimer(StepTimings* timings, std::string_view name)
      : timings_(timings), name_(name), started_(StepTimings::Clock::now()) {}
  ~StepTimer() {
    if (timings_ != nullptr) timings_->Add(name_, StepTimings::Clock::now() - started_, note_);
  }
  StepTimer(const StepTimer&) = delete;
  StepTimer& operator=(const StepTimer&) = delete;
  // Shown behind the step's time.
  void SetNote(std::string note) { note_ = std::move(note); }

 private:
  StepTimings* timings_;
  std::string_view name_;
  StepTimings::Clock::time_point started_;
  std::string note_;
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_STEP_TIMINGS_H_
