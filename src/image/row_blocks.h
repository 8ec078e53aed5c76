#ifndef KELVARO_IMAGE_ROW_BLOCKS_H_
#define KELVARO_IMAGE_ROW_BLOCKS_H_

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/notifier.h"
#include "platform/rounding.h"

namespace kelvaro {

// Pictures from this size on are worked on by several threads; smaller ones are not worth
// starting threads for.
inline constexpr std::size_t kParallelFromPixels = 1 << 20;
inline constexpr unsigned kMaxRowThreads = 8;

// Runs `work(first, end)` for the blocks of `block` rows that cover rows [0, height). The
// blocks must be independent of each other: a large picture's are shared out between the
// cores, every thread taking the next block not yet taken. This thread takes blocks too and
// reports the share of rows done as a percentage that only moves forward, from past
// `reported` up to 100.
template <typename Work>
void ShareRowBlocks(std::int32_t height, std::int32_t block, std::size_t pixels,
                    ProgressSink& progress, const Work& work, int reported = 0) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const unsigned workers = pixels < kParallelFromPixels ? 0u : std::min(cores, kMaxRowThreads) - 1u;
  std::atomic<std::int32_t> next{0};
  std::atomic<std::int32_t> rows_done{0};
  auto take_blocks = [&](bool report) {
    for (std::int32_t first; (first = next.fetch_add(block, std::memory_order_relaxed)) < height;) {
      const std::int32_t end = std::min(height, first + block);
      work(first, end);
      const std::int32_t done =
          rows_done.fetch_add(end - first, std::memory_order_acq_rel) + end - first;
      const int percent = RoundEven(100.0 * done / height);
      if (report && percent > reported) {
        progress.SetProgress(percent, 100);
        reported = percent;
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < workers; ++i) {
    try {
      threads.emplace_back(take_blocks, false);
    } catch (const std::system_error&) {
      break;  // fewer threads: this one takes the remaining blocks
    }
  }
  take_blocks(true);
  for (std::thread& thread : threads) thread.join();
  if (reported < 100) progress.SetProgress(100, 100);
}

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_ROW_BLOCKS_H_
