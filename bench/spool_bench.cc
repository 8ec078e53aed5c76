// Handing a 500 MB job to a CUPS scheduler of the benchmark's own: the program's spooler
// against `lp -o raw` of a file with the same bytes, alternating in the same run. The time
// ends when the scheduler has taken the whole job; its backend's copy is waited for (and
// deleted) outside the timed part, so that no round shares the disk with the one before.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/spooler.h"
#include "support/private_cupsd.h"
#include "support/test_env.h"

extern char** environ;

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kJobBytes = 500'000'000;
constexpr char kQueue[] = "C920WT_Bench";

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits until the backend has copied one job, then deletes the copy. false on timeout.
bool DrainCapture(const fs::path& folder) {
  const auto deadline = Clock::now() + std::chrono::minutes(3);
  while (Clock::now() < deadline) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
      if (entry.path().extension() == ".bin") {
        fs::remove(entry.path(), ec);
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int RunLp(const std::string& file) {
  std::vector<std::string> argv = {"lp", "-d", kQueue, "-o", "raw", "-s", file};
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "lp", nullptr, nullptr, args.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_SpoolAgainstLp(benchmark::State& state) {
  testing::PrivateCupsd cupsd;
  if (!cupsd.Start()) {
    state.SkipWithError(cupsd.reason().c_str());
    return;
  }
  std::string error;
  if (!cupsd.AddQueue(kQueue, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // The same pseudo-random bytes in memory (as the print path holds its image data) and in
  // a file for lp.
  std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(kJobBytes);
  std::uint64_t x = 0x9e3779b97f4a7c15ULL;
  for (std::size_t at = 0; at < kJobBytes; at += sizeof x) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    std::memcpy(data.get() + at, &x, std::min(sizeof x, kJobBytes - at));
  }
  testing::TempDir folder;
  const fs::path file = folder.path() / "job.prn";
  {
    std::ofstream out(file, std::ios::binary);
    out.write(data.get(), static_cast<std::streamsize>(kJobBytes));
  }
  const std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  double spool_seconds = 0, lp_seconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    const SpoolResult result = spooler->SendRaw(kQueue, "bench.png 1 x 1",
                                                {std::string_view(data.get(), kJobBytes)}, nullptr);
    const double spooled = SecondsSince(start);
    if (!result.ok) {
      state.SkipWithError(result.error.c_str());
      break;
    }
    spool_seconds += spooled;
    state.SetIterationTime(spooled);
    if (!DrainCapture(cupsd.capture_folder())) {
      state.SkipWithError("the scheduler did not pass the job on");
      break;
    }
    start = Clock::now();
    if (RunLp(file.string()) != 0) {
      state.SkipWithError("lp failed");
      break;
    }
    lp_seconds += SecondsSince(start);
    if (!DrainCapture(cupsd.capture_folder())) {
      state.SkipWithError("the scheduler did not pass lp's job on");
      break;
    }
  }
  const double rounds = static_cast<double>(state.iterations());
  if (rounds > 0 && lp_seconds > 0) {
    state.counters["spool_ms"] = 1000 * spool_seconds / rounds;
    state.counters["lp_ms"] = 1000 * lp_seconds / rounds;
    state.counters["spool_per_lp"] = spool_seconds / lp_seconds;
  }
  cupsd.Stop();
}

BENCHMARK(BM_SpoolAgainstLp)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
