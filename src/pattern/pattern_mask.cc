#include "pattern/pattern_mask.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

#include "pattern/rasterizer.h"
#include "platform/length_units.h"
#include "platform/rounding.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace {

// At angle 45 ellipse rows move closer together, so the shifted rows nest.
constexpr double kEllipseRowReduction = 0.87;
// The canvas is refused beyond this; a pattern that large comes only from absurd settings.
constexpr double kMaxCanvasSide = 1 << 20;
constexpr double kMaxCanvasPixels = 2147483648.0;

constexpr char kBadSizeError[] = "The picture has no size to put a pattern on";
constexpr char kBadSettingsError[] = "The pattern's size or gap is not a usable number";
constexpr char kBadShapeGapError[] = "The shape's row gap leaves no room for its rows";
constexpr char kTooLargeError[] = "The pattern is too large for this picture";

// Byte a polygon colour leaves in the mask: the first byte of the drawing surface's 32-bit
// pixel, which is the blue part of the RGB value (0 for black, 255 for white).
std::uint8_t MaskByteOfColour(std::uint32_t colour) {
  return static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

struct Geometry {
  Stamp stamp;  // ellipse, rectangle and library shapes
  PatternShapeKind kind = PatternShapeKind::kEllipse;
  double w = 0, h = 0, g = 0;  // pixels
  double pitch_x = 1, pitch_y = 1;
};

// Vertical and horizontal lines are boxes drawn across the picture, not stamps.
bool IsLines(PatternShapeKind kind) {
  return kind == PatternShapeKind::kVerticalLines || kind == PatternShapeKind::kHorizontalLines;
}

// The library shape scaled to pixels, as one stamp with its polygons in their order.
void BuildLibraryStamp(const ShapeRecord& shape, double scale_x, double scale_y, bool inverted,
                       Geometry& geo) {
  double min_x = std::numeric_limits<double>::infinity(), max_x = -min_x;
  double min_y = min_x, max_y = -min_x;
  std::vector<PointD> points;
  for (const ShapePolygon& polygon : shape.polygons) {
    points.clear();
    for (const ShapePoint& p : polygon.points) {
      points.push_back({p.x * scale_x, p.y * scale_y});
      min_x = std::min(min_x, points.back().x);
      max_x = std::max(max_x, points.back().x);
      min_y = std::min(min_y, points.back().y);
      max_y = std::max(max_y, points.back().y);
    }
    geo.stamp.AddPolygon(points, inverted ? 255 : MaskByteOfColour(polygon.colour));
  }
  if (!(min_x <= max_x)) return;  // no point at all: nothing to draw, any pitch will do
  geo.pitch_x = (max_x - min_x) + geo.g;
  geo.pitch_y = (max_y - min_y) + geo.g;
}

PatternMaskOutcome Fail(const char* error) {
  PatternMaskOutcome outcome;
  outcome.error = error;
  return outcome;
}

// Rows and columns of the cropped mask in the drawn frame, turned into output order.
std::vector<std::uint8_t> Orient(std::vector<std::uint8_t> m, std::int32_t width,
                                 std::int32_t height, PatternOrientation o) {
  const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  if (o.mirror) {
    for (std::size_t r = 0; r < h; ++r) std::reverse(m.begin() + r * w, m.begin() + (r + 1) * w);
  }
  if (!o.rotate) {
    if (o.flip) std::reverse(m.begin(), m.end());  // both turns of the half turn at once
    return m;
  }
  // Output is h wide and w tall. Without Flip: out[i][j] = m[j][i]. With Flip:
  // out[i][j] = m[h-1-j][w-1-i]. Done in tiles to stay in the cache.
  std::vector<std::uint8_t> out(m.size());
  constexpr std::size_t kTile = 64;
  for (std::size_t i0 = 0; i0 < w; i0 += kTile) {
    for (std::size_t j0 = 0; j0 < h; j0 += kTile) {
      const std::size_t i1 = std::min(w, i0 + kTile), j1 = std::min(h, j0 + kTile);
      for (std::size_t i = i0; i < i1; ++i) {
        std::uint8_t* row = out.data() + i * h;
        for (std::size_t j = j0; j < j1; ++j) {
          row[j] = o.flip ? m[(h - 1 - j) * w + (w - 1 - i)] : m[j * w + i];
        }
      }
    }
  }
  return out;
}

// Why no mask can be made for a picture of `out_width` × `out_height` pixels at `p` pixels per
// millimetre with these settings, or null when one can.
const char* InputRefusal(const PatternSettings& settings, std::int32_t out_width,
                         std::int32_t out_height, double p) {
  if (out_width <= 0 || out_height <= 0 || !(p > 0) || !std::isfinite(p)) {
    return kBadSizeError;
  }
  if (!std::isfinite(settings.size_x_mm) || !std::isfinite(settings.size_y_mm) ||
      !std::isfinite(settings.gap_mm) || settings.size_x_mm < 0 || settings.size_y_mm < 0) {
    // The set-up dialog never stores these; a hand-edited settings file can.
    return kBadSettingsError;
  }
  return nullptr;
}

// The stamp and pitches of a library shape; an error when its record gives no usable pitch.
const char* SetUpLibraryShape(const ShapeRecord& shape, const PatternSettings& settings, double p,
                              bool angle45, Geometry& geo) {
  BuildLibraryStamp(shape, p * settings.size_x_mm, p * settings.size_y_mm, settings.inverted, geo);
  if (!(geo.pitch_x > 0) || !(geo.pitch_y > 0)) return kBadSettingsError;
  geo.pitch_y += geo.pitch_y * (angle45 ? shape.gap45 : shape.gap0);
  if (!std::isfinite(geo.pitch_x) || !std::isfinite(geo.pitch_y)) return kTooLargeError;
  // A gap factor of -1 or less would put each row on or above the one before it; the
  // importer never makes one, only a damaged record can hold it.
  if (!(geo.pitch_y > 0)) return kBadShapeGapError;
  return nullptr;
}

// The stamp and pitches of the shape `geo.kind` names, in `ink`. `draws` is cleared when
// nothing is to be drawn: a library name the library does not hold, or a shape too small to
// cover any pixel. Returns an error when the pitches are unusable, else null.
const char* SetUpShape(const PatternSettings& settings, const ShapeRecord* library_shape, double p,
                       std::uint8_t ink, Geometry& geo, bool& draws) {
  const bool angle45 = settings.screen_angle == 45;
  switch (geo.kind) {
    case PatternShapeKind::kEllipse:
      geo.pitch_x = geo.w + geo.g;
      geo.pitch_y = geo.h + geo.g;
      if (angle45) geo.pitch_y *= kEllipseRowReduction;
      geo.stamp.AddEllipse(0, 0, geo.w, geo.h, ink);
      break;
    case PatternShapeKind::kRectangle:
      geo.pitch_x = geo.w + geo.g;
      geo.pitch_y = geo.h + geo.g;
      geo.stamp.AddBox(0, 0, geo.w, geo.h, ink);
      break;
    case PatternShapeKind::kVerticalLines:
      geo.pitch_x = geo.w + geo.g;
      geo.pitch_y = 1;
      break;
    case PatternShapeKind::kHorizontalLines:
      geo.pitch_x = 1;
      geo.pitch_y = geo.h + geo.g;
      break;
    case PatternShapeKind::kLibrary:
      if (library_shape == nullptr) {
        draws = false;  // a name the library does not hold draws nothing
        break;
      }
      if (const char* error = SetUpLibraryShape(*library_shape, settings, p, angle45, geo)) {
        return error;
      }
      break;
  }
  // A gap may be negative, so that shapes overlap; only a pitch of nothing or less is unusable.
  if (!(geo.pitch_x > 0) || !(geo.pitch_y > 0)) return kBadSettingsError;
  // A shape too small to cover any pixel draws nothing either.
  if (!IsLines(geo.kind) && geo.stamp.empty()) draws = false;
  return nullptr;
}

// The vertical lines, all drawn from canvas row `y` down the picture's height H.
void DrawVerticalLines(Canvas& canvas, const Geometry& geo, double y, double step_x, double last_x,
                       std::int32_t H, std::uint8_t ink) {
  for (double x = 0; x <= last_x; x += step_x) FillBox(canvas, x, y, x + geo.w, y + H, ink);
}

// Draws the screen on the canvas row by row from y = 1, every second row shifted at angle
// 45, for a picture of W × H pixels in the drawn frame. Progress runs on from 20 towards 100.
void DrawScreen(Canvas& canvas, const Geometry& geo, bool angle45, std::int32_t W, std::int32_t H,
                std::uint8_t ink, ProgressSink& progress) {
  const double canvas_w = canvas.width, canvas_h = canvas.height;
  const bool lines = IsLines(geo.kind);
  const double first_start = lines ? 0 : 1;
  const double shifted_start =
      (!lines && angle45) ? RoundEvenAsDouble(geo.w / 2 + geo.g / 2) : first_start;
  // A pitch below one pixel would never move on.
  const double step_x = std::max(1.0, RoundEvenAsDouble(geo.pitch_x));
  const double step_y = std::max(1.0, RoundEvenAsDouble(geo.pitch_y));
  long long shown = 20;
  std::int64_t row = 0;
  // Rows and columns stop at the canvas edge whatever the pitch.
  const double last_y = std::min(canvas_h - geo.pitch_y, canvas_h - 1);
  const double last_x = std::min(canvas_w - geo.pitch_x, canvas_w - 1);
  for (double y = 1; y <= last_y; y += step_y, ++row) {
    const auto yi = static_cast<std::int64_t>(y);
    if (geo.kind == PatternShapeKind::kVerticalLines) {
      if (row == 0) DrawVerticalLines(canvas, geo, y, step_x, last_x, H, ink);
    } else if (geo.kind == PatternShapeKind::kHorizontalLines) {
      FillBox(canvas, 0, y, W, y + geo.h, ink);
    } else {
      const double start = row % 2 == 1 ? shifted_start : first_start;
      for (double x = start; x <= last_x; x += step_x) {
        geo.stamp.Draw(canvas, static_cast<std::int64_t>(x), yi);
      }
    }
    const long long percent = static_cast<long long>(100 * y / canvas_h);
    if (percent > shown) progress.SetProgress(shown = percent, 100);
  }
}

// The picture's W × H part of the canvas, from column `first_column` on; rows the canvas
// does not have stay 0. nullopt when there is no memory for it.
std::optional<std::vector<std::uint8_t>> CutOutPicture(const Canvas& canvas, std::int32_t W,
                                                       std::int32_t H, std::int64_t first_column) {
  const auto w = static_cast<std::size_t>(W), h = static_cast<std::size_t>(H);
  std::vector<std::uint8_t> mask;
  try {
    mask.assign(w * h, 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const std::size_t rows = std::min<std::size_t>(h, static_cast<std::size_t>(canvas.height));
  const std::int64_t available =
      std::clamp<std::int64_t>(canvas.width - first_column, 0, static_cast<std::int64_t>(w));
  for (std::size_t r = 0; r < rows && available > 0; ++r) {
    std::memcpy(mask.data() + r * w,
                canvas.pixels.data() + r * static_cast<std::size_t>(canvas.width) + first_column,
                static_cast<std::size_t>(available));
  }
  return mask;
}

PatternMaskOutcome Generate(const PatternSettings& settings, const ShapeRecord* library_shape,
                            std::int32_t out_width, std::int32_t out_height, double p,
                            PatternOrientation orientation, ProgressSink& progress) {
  if (const char* error = InputRefusal(settings, out_width, out_height, p)) return Fail(error);
  // The screen is drawn in the picture's own frame; the turn comes at the end.
  const std::int32_t W = orientation.rotate ? out_height : out_width;
  const std::int32_t H = orientation.rotate ? out_width : out_height;

  const double canvas_w = RoundEvenAsDouble(W + 2 * settings.size_x_mm * p);
  const double canvas_h = RoundEvenAsDouble(H + settings.size_y_mm * p);
  if (!(canvas_w <= kMaxCanvasSide) || !(canvas_h <= kMaxCanvasSide) ||
      canvas_w * canvas_h > kMaxCanvasPixels || settings.gap_mm * p > kMaxCanvasSide) {
    return Fail(kTooLargeError);
  }
  // Shapes are put down on the canvas only, so nothing beyond its size from their origin shows.
  Geometry geo{.stamp = Stamp(static_cast<std::int64_t>(canvas_w + canvas_h))};
  geo.kind = ClassifyPatternShape(settings.shape);
  geo.g = settings.gap_mm * p;
  geo.w = settings.size_x_mm * p;
  geo.h = settings.size_y_mm * p;
  const std::uint8_t background = settings.inverted ? 0 : 255;
  const std::uint8_t ink = settings.inverted ? 255 : 0;
  bool draws = true;
  if (const char* error = SetUpShape(settings, library_shape, p, ink, geo, draws)) {
    return Fail(error);
  }

  Canvas canvas;
  try {
    canvas = Canvas(static_cast<std::int32_t>(canvas_w), static_cast<std::int32_t>(canvas_h),
                    background);
  } catch (const std::bad_alloc&) {
    return Fail(kTooLargeError);
  }
  progress.SetProgress(20, 100);
  if (draws) DrawScreen(canvas, geo, settings.screen_angle == 45, W, H, ink, progress);
  progress.SetProgress(100, 100);

  const std::int64_t first_column =
      std::max<std::int64_t>(1, static_cast<std::int64_t>(RoundEvenAsDouble(geo.w / 2))) - 1;
  std::optional<std::vector<std::uint8_t>> mask = CutOutPicture(canvas, W, H, first_column);
  if (!mask) {
    progress.SetProgress(0, 100);
    return Fail(kTooLargeError);
  }
  canvas = Canvas();

  PatternMaskOutcome outcome;
  outcome.mask = Orient(std::move(*mask), W, H, orientation);
  outcome.width = out_width;
  outcome.height = out_height;
  progress.SetProgress(0, 100);
  return outcome;
}

}  // namespace

PatternShapeKind ClassifyPatternShape(std::string_view shape_name) {
  const std::string lower = AsciiLower(shape_name);
  if (lower.find("ellipse") != std::string::npos) return PatternShapeKind::kEllipse;
  if (lower.find("rectangle") != std::string::npos) return PatternShapeKind::kRectangle;
  if (lower.find("vertical line") != std::string::npos) return PatternShapeKind::kVerticalLines;
  if (lower.find("horizontal line") != std::string::npos) {
    return PatternShapeKind::kHorizontalLines;
  }
  return PatternShapeKind::kLibrary;
}

double PatternPixelsPerMm(std::int32_t pixel_width, double width_pt) {
  if (pixel_width <= 0 || !(width_pt > 0) || !std::isfinite(width_pt)) return 0;
  return PixelsPerMillimetre(pixel_width, width_pt);
}

PatternMaskOutcome GeneratePatternMask(const PatternSettings& settings,
                                       const ShapeRecord* library_shape, std::int32_t output_width,
                                       std::int32_t output_height, double unturned_width_pt,
                                       PatternOrientation orientation, ProgressSink& progress) {
  const std::int32_t unturned_width = orientation.rotate ? output_height : output_width;
  return Generate(settings, library_shape, output_width, output_height,
                  PatternPixelsPerMm(unturned_width, unturned_width_pt), orientation, progress);
}

PatternMaskOutcome GeneratePreviewPatternMask(const PatternSettings& settings,
                                              const ShapeRecord* library_shape, std::int32_t width,
                                              std::int32_t height, double pixels_per_mm,
                                              PatternOrientation orientation,
                                              ProgressSink& progress) {
  return Generate(settings, library_shape, width, height, pixels_per_mm, orientation, progress);
}

}  // namespace kelvaro
