// Speed of the pattern mask for an 8000 × 6000 picture printed at 300 dpi (the goal is well
// under a second): the stored default (2 mm ellipses, 1 mm gap, angle 45), rectangles at
// angle 0, a library star, and the ellipses with Rotate, which adds the turn of the mask.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "pattern/pattern_mask.h"
#include "pattern/shape_record.h"
#include "platform/notifier.h"

namespace kelvaro {
namespace {

constexpr std::int32_t kWidth = 8000;
constexpr std::int32_t kHeight = 6000;

ShapeRecord Star() {
  ShapeRecord star;
  star.name = "Star";
  ShapePolygon polygon;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? 0.5 : 0.19;
    const double a = (90 + 36 * i) * 3.14159265358979 / 180;
    polygon.points.push_back(
        {static_cast<float>(0.5 + r * std::cos(a)), static_cast<float>(0.5 - r * std::sin(a))});
  }
  star.polygons.push_back(polygon);
  return star;
}

void RunMask(benchmark::State& state, const char* shape, int angle, bool rotate) {
  PatternSettings settings;
  settings.shape = shape;
  settings.size_x_mm = settings.size_y_mm = 2;
  settings.gap_mm = 1;
  settings.screen_angle = angle;
  const ShapeRecord star = Star();
  NullProgress progress;
  for (auto _ : state) {
    PatternMaskOutcome out = GeneratePatternMask(settings, &star, kWidth, kHeight,
                                                 (rotate ? kHeight : kWidth) / 300.0 * 72,
                                                 {false, false, rotate}, progress);
    if (!out.ok()) state.SkipWithError(out.error.c_str());
    benchmark::DoNotOptimize(out.mask.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_Ellipse45(benchmark::State& state) { RunMask(state, "Ellipse", 45, false); }
void BM_Rectangle0(benchmark::State& state) { RunMask(state, "Rectangle", 0, false); }
void BM_LibraryStar45(benchmark::State& state) { RunMask(state, "Star", 45, false); }
void BM_Ellipse45Rotated(benchmark::State& state) { RunMask(state, "Ellipse", 45, true); }

BENCHMARK(BM_Ellipse45)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rectangle0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryStar45)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ellipse45Rotated)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
