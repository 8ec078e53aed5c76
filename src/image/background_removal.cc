#include "image/background_removal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/rounding.h"

namespace kelvaro {
namespace {

int ClampedRound(double value, int low, int high) {
  if (std::isnan(value)) return low;
  return static_cast<int>(
      std::clamp(RoundEvenAsDouble(value), static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace

bool HasTransparentPixel(std::span<const std::uint8_t> rgba) {
  for (std::size_t i = 3; i < rgba.size(); i += 4) {
    if (rgba[i] < kTransparentBelow) return true;
  }
  return false;
}

ToleranceWindow MakeToleranceWindow(int v, int tolerance) {
  ToleranceWindow window{v, std::clamp(tolerance, 0, 255)};
  if (v < window.tolerance) window.centre = window.tolerance;
  if (window.tolerance + v > 255) window.centre = 256 - window.tolerance;
  return window;
}

int JpegTolerance(double jpeg_artifact) { return ClampedRound(jpeg_artifact, 0, 255); }

bool RemoveBackground(std::span<std::uint8_t> rgba, const BackgroundRemovalOptions& options,
                      ProgressSink& progress) {
  const std::size_t pixels = rgba.size() / 4;
  if (pixels == 0 || HasTransparentPixel(rgba.first(4 * pixels))) return false;
  progress.SetStatus(options.caption);

  if (!options.removal_on) {
    for (std::size_t i = 0; i < pixels; ++i) rgba[4 * i + 3] = 255;
    return true;
  }

  const int ref[3] = {rgba[0], rgba[1], rgba[2]};
  const bool tolerant = options.source_kind != SourceKind::kLossless;
  const int tolerance = JpegTolerance(options.jpeg_artifact);
  ToleranceWindow windows[3];
  for (int channel = 0; channel < 3; ++channel) {
    windows[channel] = MakeToleranceWindow(ref[channel], tolerance);
  }

  constexpr std::size_t kProgressEvery = 5000;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint8_t* pixel = &rgba[4 * i];
    bool remove = pixel[0] == ref[0] && pixel[1] == ref[1] && pixel[2] == ref[2];
    if (!remove && tolerant) {
      remove = windows[0].Contains(pixel[0]) && windows[1].Contains(pixel[1]) &&
               windows[2].Contains(pixel[2]);
    }
    if (remove) pixel[3] = 0;
    if ((i + 1) % kProgressEvery == 0) {
      progress.SetProgress(
          static_cast<long long>(RoundEvenAsDouble(100.0 * static_cast<double>(i + 1) / pixels)),
          100);
    }
  }
  return true;
}

int JpegArtifactToSlider(double jpeg_artifact) {
  return ClampedRound(5.0 * (jpeg_artifact - 1.0), 0, 100);
}

int SliderToJpegArtifact(int position) {
  return RoundEven(std::clamp(position, 0, 100) / 5.0 + 1.0);
}

int BlackRemovalFuzzToSlider(double fuzz) { return ClampedRound(fuzz * 100.0 / 50.0, 0, 100); }

double SliderToBlackRemovalFuzz(int position) {
  return std::max(std::clamp(position, 0, 100) * 50.0 / 100.0, 1.0);
}

std::string FormatSettingDecimal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string formatted = text;
  return value >= 0 ? " " + formatted : formatted;
}

}  // namespace kelvaro
