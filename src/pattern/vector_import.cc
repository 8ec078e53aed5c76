#include "pattern/vector_import.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/rounding.h"
#include "platform/text_helpers.h"
#include "settings/settings_store.h"

namespace kelvaro {
namespace {

constexpr int kFirstCurveSteps = 20;
// With this few steps or fewer a drawing that still does not fit is refused.
constexpr int kFewestCurveSteps = 4;

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// What separates the words of a drawing's line.
constexpr std::string_view kWordBlanks = " \t\f\v";

bool IsBlank(char c) { return kWordBlanks.find(c) != std::string_view::npos; }

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// The numbers a line starts with, up to `wanted` of them; the first word that is not a finite
// number ends the list.
std::vector<double> LeadingNumbers(std::string_view line, std::size_t wanted) {
  std::vector<double> numbers;
  for (std::string_view word : Words(line)) {
    if (numbers.size() == wanted) break;
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) break;
    numbers.push_back(value);
  }
  return numbers;
}

struct Point {
  double x = 0;
  double y = 0;
};

struct WorkPolygon {
  std::vector<Point> points;
  std::uint32_t colour = kShapeBlack;
  bool overflow = false;  // a curve did not fit: the next line refuses or retries
};

struct PassResult {
  VectorImportCode code = VectorImportCode::kOk;
  bool retry = false;
  std::vector<WorkPolygon> polygons;
};

// What a pass over the drawing keeps from line to line.
struct BodyPass {
  PassResult result;
  int steps = kFirstCurveSteps;        // per curve
  std::uint32_t colour = kShapeBlack;  // the fill colour of the next polygon
  bool curve_read = false;
};

// True when the polygons are over a limit: too many of them, or the current one with too
// many points or a curve that did not fit.
bool OverLimit(const std::vector<WorkPolygon>& polygons) {
  if (polygons.size() > static_cast<std::size_t>(kMaxShapePolygons)) return true;
  if (polygons.empty()) return false;
  const WorkPolygon& current = polygons.back();
  return current.overflow || current.points.size() >= static_cast<std::size_t>(kMaxShapePoints);
}

// Ends a pass that is over a limit: with curves read and steps to spare it is tried again
// with one curve step fewer, else the drawing is refused. False while within the limits.
bool StopsAtLimit(BodyPass& pass) {
  if (!OverLimit(pass.result.polygons)) return false;
  if (pass.curve_read && pass.steps - 1 > kFewestCurveSteps) {
    pass.result.retry = true;
  } else {
    pass.result.code = VectorImportCode::kTooManyNodes;
  }
  return true;
}

// A curve line ("x1 y1 x2 y2 x3 y3 c"): the cubic from the current point, evaluated at
// `steps` + 1 steps. A curve that would not fit marks the polygon instead.
void AddCurve(BodyPass& pass, const std::vector<double>& n) {
  if (n.size() < 6 || pass.result.polygons.empty() || pass.result.polygons.back().points.empty()) {
    return;
  }
  pass.curve_read = true;
  const int steps = pass.steps;
  WorkPolygon& current = pass.result.polygons.back();
  if (current.points.size() + steps + 1 > static_cast<std::size_t>(kMaxShapePoints)) {
    current.overflow = true;
    return;
  }
  const Point p0 = current.points.back();
  const Point p1{n[0], n[1]}, p2{n[2], n[3]}, p3{n[4], n[5]};
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    current.points.push_back(
        {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
}

// A fill colour line ("c m y k Xa": white when the four add up to 0; "c m y k k": white when
// they add up to less than 0.5) sets `colour`; one with fewer numbers leaves it. False for
// any other line.
bool ReadFillColour(std::string_view line, std::uint32_t& colour) {
  const bool xa = line.ends_with("Xa");
  if (!xa && !line.ends_with('k')) return false;
  const std::vector<double> n = LeadingNumbers(line, 4);
  if (n.size() != 4) return true;
  const double sum = n[0] + n[1] + n[2] + n[3];
  colour = (xa ? sum == 0 : sum < 0.5) ? kShapeWhite : kShapeBlack;
  return true;
}

// Reads one line of the drawing into the pass. False at "%%PageTrailer", which ends it.
bool ReadBodyLine(std::string_view line, BodyPass& pass) {
  if (ReadFillColour(line, pass.colour)) return true;
  std::vector<WorkPolygon>& polygons = pass.result.polygons;
  if (line.starts_with('f') || line.starts_with('b')) {
    // Closes the polygon: its point count is what it holds.
  } else if (line.ends_with('c') || line.ends_with('C')) {
    AddCurve(pass, LeadingNumbers(line, 6));
  } else if (line.ends_with('m')) {
    const std::vector<double> n = LeadingNumbers(line, 2);
    if (n.size() < 2) return true;
    WorkPolygon polygon;
    polygon.colour = pass.colour;
    polygon.points.push_back({n[0], n[1]});
    polygons.push_back(std::move(polygon));
  } else if (line.ends_with('l') || line.ends_with('L')) {
    const std::vector<double> n = LeadingNumbers(line, 2);
    if (n.size() < 2 || polygons.empty()) return true;
    polygons.back().points.push_back({std::max(n[0], 0.0), std::max(n[1], 0.0)});
  } else if (line.find("%%PageTrailer") != std::string_view::npos) {
    return false;
  }
  return true;
}

// One pass over the drawing with `steps` steps per curve.
PassResult ParseBody(const std::vector<std::string_view>& body, int steps) {
  BodyPass pass;
  pass.steps = steps;
  for (std::string_view raw : body) {
    if (StopsAtLimit(pass)) return pass.result;
    if (!ReadBodyLine(TrimEnd(raw, kWordBlanks), pass)) break;
  }
  // A drawing that ends right after going over a limit is refused the same way.
  StopsAtLimit(pass);
  return pass.result;
}

// What the header of a drawing says: where its body starts (after "%%EndSetup"), whether it
// named its creator, and a code other than kOk when it is refused for its version or as PDF.
struct DrawingHeader {
  VectorImportCode code = VectorImportCode::kOk;
  bool version_found = false;
  std::optional<std::size_t> body_start;
};

// Scans the lines for the creator, a PDF marker and "%%EndSetup", up to the first refusal or
// the end of the setup.
DrawingHeader ReadDrawingHeader(const std::vector<std::string_view>& lines) {
  DrawingHeader header;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string lower = AsciiLower(lines[i]);
    if (lower.find("%%creator: adobe illustrator(") != std::string::npos) {
      header.version_found = true;
      const std::vector<std::string_view> words = Words(lower);
      const double version = words.size() >= 4 ? ReadLeadingDecimal(words[3]) : 0;
      if (version > 8) {
        header.code = VectorImportCode::kVersionTooHigh;
        return header;
      }
    }
    if (lower.find("%pdf") != std::string::npos) {
      header.code = VectorImportCode::kPdfVersion;
      return header;
    }
    if (lower.find("%%endsetup") != std::string::npos) {
      header.body_start = i + 1;
      return header;
    }
  }
  return header;
}

// Scales the drawing to its own height, top at 0: x − smallest x and y − smallest y, times
// 1 ÷ height. Returns the largest y after scaling, or nullopt for a drawing without height.
std::optional<double> ScaleToOwnHeight(std::vector<WorkPolygon>& polygons) {
  double min_x = std::numeric_limits<double>::infinity(), min_y = min_x, max_y = -min_x;
  for (const WorkPolygon& polygon : polygons) {
    for (const Point& p : polygon.points) {
      min_x = std::min(min_x, p.x);
      min_y = std::min(min_y, p.y);
      max_y = std::max(max_y, p.y);
    }
  }
  if (!(max_y > min_y)) return std::nullopt;
  const double scale = 1 / (max_y - min_y);
  double top = 0;
  for (WorkPolygon& polygon : polygons) {
    for (Point& p : polygon.points) {
      p.x = std::max(p.x - min_x, 0.0) * scale;
      p.y = std::max(p.y - min_y, 0.0) * scale;
      top = std::max(top, p.y);
    }
  }
  return top;
}

// The scaled polygons as the shape's, turned upside down below `top`. False when a point
// does not fit a float.
bool ToShapePolygons(const std::vector<WorkPolygon>& polygons, double top, ShapeRecord& shape) {
  for (const WorkPolygon& polygon : polygons) {
    ShapePolygon out;
    out.colour = polygon.colour;
    for (const Point& p : polygon.points) {
      const ShapePoint point{static_cast<float>(p.x), static_cast<float>(top - p.y)};
      if (!std::isfinite(point.x) || !std::isfinite(point.y)) return false;
      out.points.push_back(point);
    }
    shape.polygons.push_back(std::move(out));
  }
  return true;
}

}  // namespace

std::string VectorImportReason(VectorImportCode code) {
  switch (code) {
    case VectorImportCode::kTooManyNodes:
      return "To many nodes";
    case VectorImportCode::kUnexpectedFile:
      return "Unexpected file";
    case VectorImportCode::kVersionTooHigh:
      return "AI file greater than Ver 8";
    case VectorImportCode::kPdfVersion:
      return "PDF Version of AI";
    default:
      return std::string();
  }
}

VectorImportResult ParseVectorShape(std::string_view text, std::string_view name) {
  VectorImportResult result;
  auto refuse = [&](VectorImportCode code) {
    result.code = code;
    result.shape = ShapeRecord();
    result.message = kConversionFailedPrefix + VectorImportReason(code);
    return result;
  };

  const std::vector<std::string_view> lines = SplitLines(text);
  const DrawingHeader header = ReadDrawingHeader(lines);
  if (header.code != VectorImportCode::kOk) return refuse(header.code);
  if (!header.body_start && !header.version_found) return refuse(VectorImportCode::kUnexpectedFile);
  const std::vector<std::string_view> body(
      lines.begin() + static_cast<std::ptrdiff_t>(header.body_start.value_or(lines.size())),
      lines.end());

  PassResult pass;
  for (int steps = kFirstCurveSteps;; --steps) {
    pass = ParseBody(body, steps);
    if (!pass.retry) break;
  }
  if (pass.code != VectorImportCode::kOk) return refuse(pass.code);

  const std::optional<double> top = ScaleToOwnHeight(pass.polygons);
  if (!top) return refuse(VectorImportCode::kUnexpectedFile);
  result.shape.name = std::string(name);
  if (!ToShapePolygons(pass.polygons, *top, result.shape)) {
    return refuse(VectorImportCode::kUnexpectedFile);
  }
  result.code = VectorImportCode::kOk;
  return result;
}

VectorImportResult ImportVectorShape(const std::filesystem::path& file) {
  VectorImportResult result;
  if (AsciiLower(file.extension().string()).find("ai") == std::string::npos) {
    result.code = VectorImportCode::kNotVectorFile;
    return result;
  }
  int error_code = 0;
  const std::optional<std::string> text = ReadWholeFile(file, &error_code);
  if (!text) {
    result.code = VectorImportCode::kUnreadable;
    result.message = kConversionFailedPrefix + std::string("Error ") + std::to_string(error_code);
    return result;
  }
  return ParseVectorShape(*text, file.stem().string());
}

double BaseGapFromSlider(int position) { return (position - 50) / 10.0; }

int SliderFromBaseGap(double value) { return RoundEven(10 * std::clamp(value, -5.0, 5.0) + 50); }

double TypedBaseGap(double value, double mm_per_unit) {
  const double mm = value * mm_per_unit;
  if (!(mm >= -5 && mm <= 5)) return 0;
  return mm;
}

float GapFactorFromBaseGap(double value) { return static_cast<float>(value / 10); }

}  // namespace kelvaro
