// The white edge on a 24 Mpx white plane (6000 × 4000), choke and spread, at the widths and
// resolutions the shops use most and the widest one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "image/white_edge.h"

namespace kelvaro {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A two-level plane as the separation makes it: blobs of one white level on nothing.
std::vector<std::uint8_t> WhitePlane() {
  std::vector<std::uint8_t> plane(static_cast<std::size_t>(kWidth) * kHeight, 0);
  std::mt19937 random(5);
  for (int blob = 0; blob < 40; ++blob) {
    const int cx = static_cast<int>(random() % kWidth);
    const int cy = static_cast<int>(random() % kHeight);
    const int r = 200 + static_cast<int>(random() % 600);
    for (int y = std::max(0, cy - r); y < std::min(kHeight, cy + r); ++y) {
      for (int x = std::max(0, cx - r); x < std::min(kWidth, cx + r); ++x) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) plane[y * kWidth + x] = 251;
      }
    }
  }
  return plane;
}

// Arguments: hundredths of a millimetre (negative spreads), pixels per inch.
void BM_WhiteEdge(benchmark::State& state) {
  const std::vector<std::uint8_t> original = WhitePlane();
  const int edge = static_cast<int>(state.range(0));
  const double ppi = static_cast<double>(state.range(1));
  std::vector<std::uint8_t> plane;
  for (auto _ : state) {
    state.PauseTiming();
    plane = original;
    state.ResumeTiming();
    ChokeOrSpreadPlane(PlaneView{plane.data(), kWidth, kHeight, kWidth},
                       EdgeRadiusPixels(edge, ppi), EdgeRadiusPixels(edge, ppi),
                       edge > 0 ? EdgeOperation::kChoke : EdgeOperation::kSpread);
    benchmark::DoNotOptimize(plane.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_WhiteEdge)
    ->ArgsProduct({{30, -30, 100, -100}, {600, 1200}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
