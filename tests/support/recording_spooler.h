#ifndef KELVARO_TESTS_SUPPORT_RECORDING_SPOOLER_H_
#define KELVARO_TESTS_SUPPORT_RECORDING_SPOOLER_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spooler.h"

namespace kelvaro::testing {

// Keeps every job it is handed instead of sending it; fails each job while `fail` is set.
class RecordingSpooler final : public Spooler {
 public:
  struct Job {
    std::string queue;
    std::string document;
    std::vector<std::string> blocks;
  };

  SpoolResult SendRaw(const std::string& queue, const std::string& document,
                      const std::vector<JobBlock>& blocks,
                      const std::function<void(std::size_t)>& before_block) override {
    Job job{queue, document, {}};
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (before_block) before_block(i);
      job.blocks.push_back(blocks[i].Collect());
    }
    jobs.push_back(std::move(job));
    if (on_send) on_send();
    return fail ? SpoolResult{false, "queue stopped"} : SpoolResult{true, {}};
  }

  std::vector<Job> jobs;
  bool fail = false;
  std::function<void()> on_send;  // called after each job was recorded
};

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_SUPPORT_RECORDING_SPOOLER_H_
