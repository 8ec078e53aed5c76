// Speed and memory of loading an 8000 × 6000 RGBA PNG: decode, colour conversion (on one
// thread and on every core) and orientation, each timed on its own. After the timings the
// conversion's speed-up over one thread is printed, and the peak resident memory of one
// complete load in a fresh process (raw buffer, pixel grid and preview grid included).
#include <IL/il.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "image/color_management.h"
#include "image/image_loader.h"
#include "image/load_pipeline.h"
#include "image/orientation.h"
#include "image/work_image.h"
#include "platform/data_folders.h"
#include "platform/notifier.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;
constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;
// A4 inside the default margins, points.
constexpr PrintableArea kPrintable{569.08, 815.97};

class SilentNotifier final : public Notifier {
 public:
  void Show(const std::string& title, const std::string& text, MessageIcon) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  }
  bool Ask(const std::string&, const std::string&, bool answer) override { return answer; }
};

// Writes the test picture: gradients in every channel and a border that fades out, so the
// file is neither trivial to decode nor one colour.
bool WritePicture(const fs::path& path) {
  std::vector<std::uint8_t> rgba(kPixels * 4);
  std::uint8_t* p = rgba.data();
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x, p += 4) {
      p[0] = static_cast<std::uint8_t>(x * 255 / kWidth);
      p[1] = static_cast<std::uint8_t>(y * 255 / kHeight);
      p[2] = static_cast<std::uint8_t>((x / 7 + y / 5) & 0xff);
      const int edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
      p[3] = static_cast<std::uint8_t>(std::min(edge * 2, 255));
    }
  }
  InitImageDecoder();
  ILuint id = 0;
  ilGenImages(1, &id);
  ilBindImage(id);
  bool ok = ilTexImage(kWidth, kHeight, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, rgba.data()) == IL_TRUE;
  ilEnable(IL_FILE_OVERWRITE);
  ok = ok && ilSave(IL_PNG, path.c_str()) == IL_TRUE;
  ilDeleteImages(1, &id);
  return ok;
}

ColourContext Colour(int threads) {
  ColourContext context;
  // Only the bundled profiles: nothing of the user's is looked at.
  context.folders.program = ResolveDataFolders().program;
  context.threads = threads;
  return context;
}

// The peak resident memory of this process so far, in bytes (VmHWM).
std::size_t PeakResident() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

// User and system processor time of every thread of this process so far, in seconds.
double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Shared {
  fs::path folder;
  fs::path picture;
  std::vector<std::uint8_t> rgba;     // the decoded picture, 5 bytes per pixel as the loader has it
  std::vector<std::uint8_t> records;  // the converted picture
  std::map<int, double> convert_seconds;  // by thread count (0: every core)
};

Shared& State() {
  static Shared shared;
  return shared;
}

// The decoded picture, decoded on first use so that every benchmark can run on its own.
const std::vector<std::uint8_t>& DecodedPicture() {
  Shared& shared = State();
  if (shared.rgba.empty()) {
    SilentNotifier notifier;
    NullProgress progress;
    WorkImage image;
    if (DecodeImageFile(shared.picture, false, image, notifier, progress)) {
      const auto rgba = image.DecodedRgba();
      shared.rgba.assign(rgba.begin(), rgba.end());
    }
  }
  return shared.rgba;
}

// The converted picture, likewise.
const std::vector<std::uint8_t>& ConvertedPicture() {
  Shared& shared = State();
  if (shared.records.empty() && !DecodedPicture().empty()) {
    SilentNotifier notifier;
    NullProgress progress;
    WorkImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.raw.assign(shared.rgba.begin(), shared.rgba.end());
    if (ConvertWorkImage(image, Colour(0), notifier, progress, nullptr) ==
        ConvertStatus::kConverted) {
      shared.records.assign(image.raw.begin(), image.raw.end());
    }
  }
  return shared.records;
}

void BM_Decode(benchmark::State& state) {
  Shared& shared = State();
  SilentNotifier notifier;
  NullProgress progress;
  for (auto _ : state) {
    WorkImage image;
    if (!DecodeImageFile(shared.picture, false, image, notifier, progress)) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(image.raw.data());
  }
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(kPixels) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Convert(benchmark::State& state) {
  Shared& shared = State();
  const int threads = static_cast<int>(state.range(0));
  SilentNotifier notifier;
  NullProgress progress;
  WorkImage image;
  image.width = kWidth;
  image.height = kHeight;
  const ColourContext context = Colour(threads);
  const std::vector<std::uint8_t>& rgba = DecodedPicture();
  double seconds = 0;
  double processor = 0;
  for (auto _ : state) {
    state.PauseTiming();
    image.raw.assign(rgba.begin(), rgba.end());
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const double processor_start = ProcessorSeconds();
    if (ConvertWorkImage(image, context, notifier, progress, nullptr) !=
        ConvertStatus::kConverted) {
      state.SkipWithError("conversion failed");
      return;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    processor += ProcessorSeconds() - processor_start;
  }
  // Processor time of all threads over wall time: how many cores the conversion really got.
  state.counters["cores_used"] = seconds > 0 ? processor / seconds : 0;
  shared.convert_seconds[threads] = seconds / static_cast<double>(state.iterations());
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(kPixels) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Orient(benchmark::State& state) {
  NullProgress progress;
  WorkImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.raw.assign(ConvertedPicture().begin(), ConvertedPicture().end());
  image.physical_width_pt = 72.0f * kWidth / 300;
  image.physical_height_pt = 72.0f * kHeight / 300;
  const bool rotate = state.range(0) != 0;
  for (auto _ : state) {
    if (!OrientWorkImage(image, OrientOptions{false, false, rotate}, kPrintable, progress)
             .oriented) {
      state.SkipWithError("orientation failed");
      return;
    }
    benchmark::DoNotOptimize(image.grid.data());
  }
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(kPixels) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

// Decode, convert and orient the picture once, the way the window loads it, and print the
// peak resident memory. Runs in a process of its own so that nothing else is counted.
int MeasurePeak(const fs::path& picture) {
  SilentNotifier notifier;
  NullProgress progress;
  const std::size_t before = PeakResident();
  LoadOptions options;
  options.printable = kPrintable;
  LoadSteps steps;
  steps.remove_background = StandardBackgroundRemoval(BackgroundRemovalOptions{});
  steps.convert = StandardConversion(Colour(0), notifier, nullptr);
  std::string path = picture.string();
  WorkImage image;
  const LoadOutcome outcome = LoadImageFile(path, options, steps, image, notifier, progress);
  if (!outcome.loaded) return 1;
  const std::size_t peak = PeakResident();
  std::printf(
      "peak resident memory of one load: %.1f MiB, %.2f bytes per pixel "
      "(%.2f before loading; raw %zu, grid %zu, preview %zu bytes per pixel)\n",
      peak / 1048576.0, static_cast<double>(peak) / kPixels, static_cast<double>(before) / kPixels,
      image.raw.size() / kPixels, image.grid.size() / kPixels, image.preview.size() / kPixels);
  return 0;
}

}  // namespace
}  // namespace kelvaro

BENCHMARK(kelvaro::BM_Decode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(kelvaro::BM_Convert)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
// Rates are per wall-clock second: the conversion's work happens on other threads.
BENCHMARK(kelvaro::BM_Orient)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("rotate")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using kelvaro::State;
  if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) {
    return kelvaro::MeasurePeak(argv[2]);
  }
  benchmark::Initialize(&argc, argv);

  std::string pattern = (fs::temp_directory_path() / "kelvaro-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  State().folder = pattern;
  State().picture = State().folder / "picture.png";
  std::printf("writing the 8000 x 6000 RGBA picture ...\n");
  if (!kelvaro::WritePicture(State().picture)) {
    std::fprintf(stderr, "could not write %s\n", State().picture.c_str());
    fs::remove_all(State().folder);
    return 1;
  }
  std::printf("%s: %.1f MB\n", State().picture.c_str(), fs::file_size(State().picture) / 1e6);

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const auto& seconds = State().convert_seconds;
  if (seconds.count(1) && seconds.count(0) && seconds.at(0) > 0) {
    std::printf("conversion: %.3f s on one thread, %.3f s on every core (%u): speed-up %.2f\n",
                seconds.at(1), seconds.at(0), std::thread::hardware_concurrency(),
                seconds.at(1) / seconds.at(0));
  }
  std::fflush(stdout);
  std::string command = "'";
  command += fs::read_symlink("/proc/self/exe").string();
  command += "' --peak-memory '";
  command += State().picture.string();
  command += "'";
  const int status = std::system(command.c_str());
  fs::remove_all(State().folder);
  return status == 0 ? 0 : 1;
}
