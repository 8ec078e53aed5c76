#ifndef KELVARO_IMAGE_TONE_CURVE_TABLE_H_
#define KELVARO_IMAGE_TONE_CURVE_TABLE_H_

#include <array>
#include <cstdint>
#include <vector>

#include "settings/tone_curves.h"

namespace kelvaro {

// One control point of a tone curve: input level x and output level y, 0..255.
struct BezierControlPoint {
  int x = 0;
  int y = 0;
};

// The four control points of one channel's curve, P0 first (highest input first).
using BezierControlPoints = std::array<BezierControlPoint, 4>;

// Channels of the tone-curve table, in table order.
enum ToneChannel : int { kToneCyan = 0, kToneMagenta = 1, kToneYellow = 2 };

// For each of cyan, magenta and yellow an output level for every input level 0..255.
struct ToneCurveTable {
  std::array<std::array<std::uint8_t, 256>, 3> levels{};

  std::uint8_t Map(ToneChannel channel, std::uint8_t input) const { return levels[channel][input]; }
};

// A table that maps every level to itself; what a run without curves uses.
ToneCurveTable IdentityToneCurveTable();

// The curve through `points` sampled at t = i ÷ steps for i = 0..steps, with the de Casteljau
// construction below: steps + 1 points, in order, exactly as computed.
std::vector<BezierControlPoint> SampleToneCurve(const BezierControlPoints& points, int steps);

// Levels no sample landed on (0) copy their lower neighbour, so a table row has no holes.
void FillToneCurveGaps(std::array<std::uint8_t, 256>& levels);

// Samples the cubic curve through `points` at 1001 steps with a de Casteljau construction
// that rounds every interpolation to whole levels (ties to even), stores each sample's y at
// its x (later samples win), then fills the levels no sample reached from the level below.
// Samples whose x or y falls outside 0..255 (only possible for points outside that range)
// are dropped and their y is clamped, so the table never holds a wrapped value.
std::array<std::uint8_t, 256> BuildToneCurveChannel(const BezierControlPoints& points,
                                                    int steps = 1000);

// The whole table from the three curves, cyan, magenta, yellow.
ToneCurveTable BuildToneCurveTable(const std::array<BezierControlPoints, 3>& curves);
// The same from the stored curves (cyan, magenta, yellow; points from the highest input).
ToneCurveTable BuildToneCurveTable(const ToneCurves& curves);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_TONE_CURVE_TABLE_H_
