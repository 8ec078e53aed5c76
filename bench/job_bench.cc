// Speed of the print path's big steps on an 8000 × 6000 picture, each set against a plain
// memcpy of the same number of output bytes measured in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "image/work_image.h"
#include "job/copies_grid.h"
#include "job/postscript_writer.h"
#include "platform/notifier.h"
#include "settings/ui_text.h"

namespace kelvaro {
namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;

// A picture with gradients in every channel and a transparent border, so every branch of
// the colour builder is taken somewhere.
WorkImage MakePicture() {
  WorkImage image;
  image.output_width = kWidth;
  image.output_height = kHeight;
  image.grid.resize(static_cast<std::size_t>(kWidth) * kHeight * 5);
  std::uint8_t* p = image.grid.data();
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x, p += 5) {
      p[0] = static_cast<std::uint8_t>(x * 255 / kWidth);
      p[1] = static_cast<std::uint8_t>(y * 255 / kHeight);
      p[2] = static_cast<std::uint8_t>((x + y) & 0xff);
      p[3] = static_cast<std::uint8_t>((x ^ y) & 0xff);
      const bool border = x < 200 || y < 200 || x >= kWidth - 200 || y >= kHeight - 200;
      p[4] = border ? static_cast<std::uint8_t>((x + y) % 180) : 255;
    }
  }
  return image;
}

SeparationParams TypicalParams() {
  SeparationParams params;
  params.brightness = 0;
  params.contrast = 20;
  params.black_removal = true;
  params.black_removal_fuzz = 12.5;
  return params;
}

const std::size_t kSeparationBytes = static_cast<std::size_t>(kWidth) * kHeight * 5;

struct Shared {
  WorkImage picture = MakePicture();
  ToneCurveTable table = BuildToneCurveTable({{{{{255, 253}, {165, 165}, {87, 86}, {0, 0}}},
                                               {{{255, 253}, {165, 165}, {87, 86}, {0, 0}}},
                                               {{{255, 253}, {165, 165}, {87, 86}, {0, 0}}}}});
  std::optional<SeparationSet> separation;
  std::optional<PostScriptJob> job;  // the 2 x 2 job, made on first use
};

Shared& Data() {
  static Shared shared;
  return shared;
}

CopiesGridInput TwoByTwo() {
  CopiesGridInput input;
  input.copies_across = 2;
  input.copies_down = 2;
  input.copy_width_pt = kWidth * 72.0f / 600.0f;
  input.copy_height_pt = kHeight * 72.0f / 600.0f;
  input.gap_x_pt = 10;
  input.gap_y_pt = 10;
  input.printable_width_pt = 1e6f;
  input.printable_height_pt = 1e6f;
  return input;
}

std::size_t ComposedBytes() {
  CopiesGridInput input = TwoByTwo();
  input.copy_width_px = kWidth;
  input.copy_height_px = kHeight;
  return static_cast<std::size_t>(ComputeCopiesGrid(input).block_bytes);
}

// Copies `bytes` bytes into a destination that was written before (no page faults).
void MemcpyWarm(benchmark::State& state, std::size_t bytes) {
  std::vector<std::uint8_t> source(bytes, 7);
  std::vector<std::uint8_t> dest(bytes, 1);
  for (auto _ : state) {
    std::memcpy(dest.data(), source.data(), bytes);
    benchmark::DoNotOptimize(dest.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// Copies into a fresh allocation each time, page faults included, as a composition must.
void MemcpyFresh(benchmark::State& state, std::size_t bytes) {
  std::vector<std::uint8_t> source(bytes, 7);
  for (auto _ : state) {
    auto* dest = static_cast<std::uint8_t*>(std::malloc(bytes));
    std::memcpy(dest, source.data(), bytes);
    benchmark::DoNotOptimize(dest);
    benchmark::ClobberMemory();
    std::free(dest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_MemcpySeparationBytesWarm(benchmark::State& state) { MemcpyWarm(state, kSeparationBytes); }
void BM_MemcpySeparationBytesFresh(benchmark::State& state) {
  MemcpyFresh(state, kSeparationBytes);
}

void BM_Separation(benchmark::State& state) {
  Shared& data = Data();
  NullProgress progress;
  for (auto _ : state) {
    SeparationOutcome outcome =
        BuildSeparation(data.picture, TypicalParams(), data.table, std::nullopt, progress);
    if (!outcome.ok()) state.SkipWithError("separation failed");
    benchmark::DoNotOptimize(outcome.set.bytes.data());
    if (!data.separation) {
      state.PauseTiming();
      data.separation = std::move(outcome.set);
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSeparationBytes));
}

void BM_MemcpyComposedBytesWarm(benchmark::State& state) { MemcpyWarm(state, ComposedBytes()); }
void BM_MemcpyComposedBytesFresh(benchmark::State& state) { MemcpyFresh(state, ComposedBytes()); }

class DiscardingNotifier final : public Notifier {
 public:
  void Show(const std::string&, const std::string&, MessageIcon) override {}
  bool Ask(const std::string&, const std::string&, bool answer) override { return answer; }
};

void BM_Compose2x2(benchmark::State& state) {
  Shared& data = Data();
  if (!data.separation) {
    NullProgress progress;
    data.separation =
        BuildSeparation(data.picture, TypicalParams(), data.table, std::nullopt, progress).set;
  }
  DiscardingNotifier notifier;
  NullProgress progress;
  for (auto _ : state) {
    // The block is made row by row as it is sent; here it is sent nowhere.
    ComposeResult result =
        ComposeTiledImage(std::make_shared<const SeparationSet>(*data.separation), TwoByTwo(),
                          kDefaultGridTooBigText, notifier, progress);
    if (!result.ok()) state.SkipWithError("composition failed");
    result.image.Send([](std::string_view piece) {
      benchmark::DoNotOptimize(piece.data());
      return true;
    });
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ComposedBytes()));
}

// Where the writing benchmarks put their files: $KELVARO_BENCH_DIR, else the current folder.
std::filesystem::path BenchFolder() {
  const char* dir = std::getenv("KELVARO_BENCH_DIR");
  return dir != nullptr && *dir != '\0' ? std::filesystem::path(dir)
                                        : std::filesystem::current_path();
}
const std::filesystem::path& JobFile() {
  static const std::filesystem::path path = BenchFolder() / "kelvaro-bench-job.ps";
  return path;
}

PostScriptJob& TwoByTwoJob() {
  Shared& data = Data();
  if (!data.job) {
    NullProgress progress;
    if (!data.separation) {
      data.separation =
          BuildSeparation(data.picture, TypicalParams(), data.table, std::nullopt, progress).set;
    }
    DiscardingNotifier notifier;
    PostScriptJob job;
    job.image = ComposeTiledImage(std::make_shared<const SeparationSet>(*data.separation),
                                  TwoByTwo(), kDefaultGridTooBigText, notifier, progress)
                    .image;
    UiText texts;
    LoadDefaultTexts(texts);
    // Built in one piece: assigning the short strings one by one into a default-made input
    // made GCC warn about a field it thought unset.
    const PostScriptJobInput input{.model_name = "C711WT",
                                   .paper_name = "A3",
                                   .page_width_pt = 842,
                                   .page_height_pt = 1191,
                                   .tray_text = {},
                                   .media_text = {},
                                   .number_of_prints = "1",
                                   .caption = {},
                                   .created = {}};
    const HeaderImage image{job.image.x_pixel, job.image.y_pixel, job.image.x_point,
                            job.image.y_point};
    job.header = BuildJobHeader(input, texts, image, JobKind::kImage, 1);
    job.trailer = BuildJobTrailer();
    data.job = std::move(job);
  }
  return *data.job;
}

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writing the whole job to a file, as the job-file destination does, against `cat` of a file
// of the same size into the same folder. The two alternate, and the page cache is written
// back before each, so that neither inherits the other's pending writes.
void BM_WriteJobAgainstCat(benchmark::State& state) {
  const PostScriptJob& job = TwoByTwoJob();
  const std::filesystem::path copy = BenchFolder() / "kelvaro-bench-cat.ps";
  const std::string cat = "cat '" + JobFile().string() + "' > '" + copy.string() + "'";
  double write_seconds = 0;
  double cat_seconds = 0;
  for (auto _ : state) {
    ::sync();
    Clock::time_point start = Clock::now();
    const int fd = ::open(JobFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || !WritePostScriptJob(fd, job) || ::close(fd) != 0) {
      state.SkipWithError("cannot write the job file");
      break;
    }
    const double written = SecondsSince(start);
    write_seconds += written;
    state.SetIterationTime(written);
    ::sync();
    start = Clock::now();
    if (std::system(cat.c_str()) != 0) {
      state.SkipWithError("cat failed");
      break;
    }
    cat_seconds += SecondsSince(start);
  }
  const double rounds = static_cast<double>(state.iterations());
  state.counters["write_ms"] = 1000 * write_seconds / rounds;
  state.counters["cat_ms"] = 1000 * cat_seconds / rounds;
  state.counters["write_per_cat"] = cat_seconds > 0 ? write_seconds / cat_seconds : 0;
  std::error_code ec;
  std::filesystem::remove(copy, ec);
  std::filesystem::remove(JobFile(), ec);
}

BENCHMARK(BM_MemcpySeparationBytesWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MemcpySeparationBytesFresh)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Separation)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MemcpyComposedBytesWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MemcpyComposedBytesFresh)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Compose2x2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteJobAgainstCat)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// Prints the usual table, then each step as a multiple of its memcpy baselines.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        // Keyed by the function name, without "/min_time:..." and the like.
        const std::string name = run.benchmark_name();
        times_[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    PrintRatio("separation", "BM_Separation", "BM_MemcpySeparationBytes");
    PrintRatio("composition 2 x 2", "BM_Compose2x2", "BM_MemcpyComposedBytes");
  }

 private:
  void PrintRatio(const char* what, const std::string& step, const std::string& baseline) {
    const auto s = times_.find(step);
    const auto warm = times_.find(baseline + "Warm");
    const auto fresh = times_.find(baseline + "Fresh");
    if (s == times_.end() || warm == times_.end() || fresh == times_.end()) return;
    std::printf("%s: %.2f x memcpy into written memory, %.2f x memcpy into fresh memory\n", what,
                s->second / warm->second, s->second / fresh->second);
  }
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace kelvaro

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kelvaro::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
