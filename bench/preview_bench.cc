// Speed of one preview refresh (RefreshPreview: layout, colour steps, the proof with the kept
// transform, the page canvas) for pictures of 3, 12 and 48 megapixels laid out turned to fill
// an A4 page, on a canvas of 999 × 1414 pixels (a preview area 1006 pixels wide), with the
// samples kept as the window keeps them, and for flat artwork of 12 megapixels. The cost should
// follow the canvas, not the picture: after the timings the mean of each size and the ratio of
// the largest to the smallest are printed, with the once-per-picture sampling of each size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/main_window_model.h"
#include "app/preview_refresh.h"
#include "app/print_setup.h"
#include "image/color_management.h"
#include "platform/data_folders.h"
#include "platform/notifier.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

class SilentNotifier final : public Notifier {
 public:
  void Show(const std::string& title, const std::string& text, MessageIcon) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  }
  bool Ask(const std::string&, const std::string&, bool answer) override { return answer; }
};

// How the picture is drawn. Fine: gradients in every channel, one of them with about one step
// per copy pixel at every size, so that neighbours differ (the hardest case for the proof,
// which converts each run of equal records once). Flat: artwork of flat colour fields.
enum class Drawing : int { kFine = 0, kFlat = 1 };

// A loaded picture of `width` × `height` source pixels, turned a quarter as the fit at load
// turns a landscape picture, 569 × 759 points on the page, with a transparent border, so that
// every step of the colour preview has work; the same drawing at every size, so that only the
// size differs. The pixel grid holds the same colours without black: the preview decides each
// pixel from it as the print does.
WorkImage Picture(std::int32_t width, std::int32_t height, Drawing drawing) {
  WorkImage image;
  image.width = width;
  image.height = height;
  image.output_width = height;
  image.output_height = width;
  image.grid.resize(5 * static_cast<std::size_t>(width) * height);
  image.preview.resize(4 * static_cast<std::size_t>(width) * height);
  std::uint8_t* p = image.preview.data();
  std::uint8_t* g = image.grid.data();
  for (std::int32_t y = 0; y < image.output_height; ++y) {
    for (std::int32_t x = 0; x < image.output_width; ++x, p += 4, g += 5) {
      const std::int64_t u = x;
      const std::int64_t v = y;
      if (drawing == Drawing::kFine) {
        p[0] = static_cast<std::uint8_t>(u * 255 / image.output_width);
        p[1] = static_cast<std::uint8_t>(v * 255 / image.output_height);
        p[2] = static_cast<std::uint8_t>(
            (u * 1024 / image.output_width + v * 1024 / image.output_height) & 0xff);
      } else {
        p[0] = static_cast<std::uint8_t>(u * 6 / image.output_width * 40);
        p[1] = static_cast<std::uint8_t>(v * 5 / image.output_height * 50);
        p[2] = static_cast<std::uint8_t>(
            (u * 8 / image.output_width + v * 8 / image.output_height) * 15);
      }
      const bool border = x < image.output_width / 20 || y < image.output_height / 20;
      p[3] = border ? 0 : 255;
      g[0] = p[0];
      g[1] = p[1];
      g[2] = p[2];
      g[3] = 0;
      g[4] = p[3];
    }
  }
  image.physical_width_pt = static_cast<float>(width) * 72 / 300;
  image.physical_height_pt = static_cast<float>(height) * 72 / 300;
  image.oriented_width_pt = 569;
  image.oriented_height_pt = 759;
  image.scale_factor = image.oriented_width_pt / image.physical_height_pt;
  return image;
}

struct Window {
  explicit Window(const fs::path& folder)
      : store(DataFolders{folder / "user", folder / "common", ResolveDataFolders().program},
              notifier) {
    LoadDefaultTexts(texts);
    PrintChoices choices;
    choices.image_area_width = 1006;
    if (ApplyPrintChoices(model, choices, folder / "no-usb")) std::fprintf(stderr, "refused\n");
    model.SetLoadedFile("picture.png");
  }
  SilentNotifier notifier;
  SettingsStore store;
  UiText texts;
  MainWindowModel model{store, texts};
  ProofTransformCache proof;
  PreviewSampleCache samples;
};

struct SizeTimes {
  double refresh_ms = 0;  // mean of the timed refreshes
  double first_ms = 0;    // the first refresh of the picture, which samples it
};

// By drawing, then by picture width.
std::map<std::pair<std::int64_t, std::int64_t>, SizeTimes>& Times() {
  static std::map<std::pair<std::int64_t, std::int64_t>, SizeTimes> times;
  return times;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_RefreshPreview(benchmark::State& state) {
  const std::int32_t width = static_cast<std::int32_t>(state.range(0));
  const std::int32_t height = width * 3 / 4;
  const auto drawing = static_cast<Drawing>(state.range(1));
  SizeTimes& times = Times()[{state.range(1), width}];
  const fs::path folder =
      fs::temp_directory_path() / ("kelvaro-preview-bench-" + std::to_string(::getpid()));
  // The settings store writes into the user folder; it must be there.
  fs::create_directories(folder / "user");
  fs::create_directories(folder / "common");
  {
    Window window(folder);
    WorkImage image = Picture(width, height, drawing);
    PreviewServices services{window.notifier, window.proof};
    services.samples = &window.samples;
    RefreshPreview(window.model, image, services);  // makes the kept transform
    // The first refresh of a picture samples it; the window does that once per picture.
    window.samples.Forget();
    const auto first_start = std::chrono::steady_clock::now();
    RefreshPreview(window.model, image, services);
    times.first_ms = MillisecondsSince(first_start);
    double total = 0;
    std::clock_t cpu_start = std::clock();
    for (auto _ : state) {
      const auto start = std::chrono::steady_clock::now();
      PreviewRefresh refresh = RefreshPreview(window.model, image, services);
      benchmark::DoNotOptimize(refresh.canvas.rgba.data());
      total += MillisecondsSince(start);
      if (!refresh.copies_drawn) state.SkipWithError("no copy was drawn");
    }
    times.refresh_ms = total / static_cast<double>(state.iterations());
    // Processor time of every thread: the machine may be shared, and then the wall clock
    // measures the others' work too.
    state.counters["cpu_ms"] = 1000.0 * static_cast<double>(std::clock() - cpu_start) /
                               CLOCKS_PER_SEC / static_cast<double>(state.iterations());
    const PreviewRefresh refresh = RefreshPreview(window.model, image, services);
    state.counters["canvas_w"] = refresh.canvas.width;
    state.counters["canvas_h"] = refresh.canvas.height;
    state.counters["copy_w"] = refresh.layout ? refresh.layout->preview_width : 0;
    state.counters["copy_h"] = refresh.layout ? refresh.layout->preview_height : 0;
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvaro

BENCHMARK(kelvaro::BM_RefreshPreview)
    ->ArgNames({"width", "flat"})
    ->Args({2000, 0})
    ->Args({4000, 0})
    ->Args({8000, 0})
    ->Args({4000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const char* const kDrawings[] = {"fine", "flat"};
  const std::map<std::pair<std::int64_t, std::int64_t>, kelvaro::SizeTimes>& times =
      kelvaro::Times();
  for (const auto& [key, size] : times) {
    const std::int64_t width = key.second;
    std::printf(
        "%s drawing, %lld x %lld (%.0f Mpx): mean refresh %.2f ms; first refresh, sampling "
        "the picture, %.2f ms\n",
        kDrawings[key.first], static_cast<long long>(width), static_cast<long long>(width * 3 / 4),
        static_cast<double>(width) * static_cast<double>(width * 3 / 4) / 1e6, size.refresh_ms,
        size.first_ms);
  }
  const auto smallest = times.find({0, 2000});
  const auto largest = times.find({0, 8000});
  if (smallest != times.end() && largest != times.end()) {
    std::printf("fine drawing, 48 Mpx / 3 Mpx: %.2f\n",
                largest->second.refresh_ms / smallest->second.refresh_ms);
  }
  return 0;
}
