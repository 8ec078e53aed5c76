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

// One pass over the drawing with `steps` steps per curve.
PassResult ParseBody(const std::vector<std::string_view>& body, int steps) {
  PassResult pass;
  std::vector<WorkPolygon>& polygons = pass.polygons;
  std::uint32_t colour = kShapeBlack;
  bool curve_read = false;
  auto over_limit = [&] {
    if (polygons.size() > static_cast<std::size_t>(kMaxShapePolygons)) return true;
    if (polygons.empty()) return false;
    const WorkPolygon& current = polygons.back();
    return current.overflow || current.points.size() >= static_cast<std::size_t>(kMaxShapePoints);
  };
  auto limit_check = [&] {
    if (!over_limit()) return false;
    if (curve_read && steps - 1 > kFewestCurveSteps) {
      pass.retry = true;
    } else {
      pass.code = VectorImportCode::kTooManyNodes;
    }
    return true;
  };

  for (std::string_view raw : body) {
    if (limit_check()) return pass;
    const std::string_view line = TrimEnd(raw, kWordBlanks);
    if (line.ends_with("Xa")) {
      const std::vector<double> n = LeadingNumbers(line, 4);
      if (n.size() == 4) colour = (n[0] + n[1] + n[2] + n[3] == 0) ? kShapeWhite : kShapeBlack;
    } else if (line.ends_with('k')) {
      const std::vector<double> n = LeadingNumbers(line, 4);
      if (n.size() == 4) colour = (n[0] + n[1] + n[2] + n[3] < 0.5) ? kShapeWhite : kShapeBlack;
    } else if (line.starts_with('f') || line.starts_with('b')) {
      // Closes the polygon: its point count is what it holds.
    } else if (line.ends_with('c') || line.ends_with('C')) {
      const std::vector<double> n = LeadingNumbers(line, 6);
      if (n.size() < 6 || polygons.empty() || polygons.back().points.empty()) continue;
      curve_read = true;
      WorkPolygon& current = polygons.back();
      if (current.points.size() + steps + 1 > static_cast<std::size_t>(kMaxShapePoints)) {
        current.overflow = true;
        continue;
      }
      const Point p0 = current.points.back();
      const Point p1{n[0], n[1]}, p2{n[2], n[3]}, p3{n[4], n[5]};
      for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        current.points.push_back(
            {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
      }
    } else if (line.ends_with('m')) {
      const std::vector<double> n = LeadingNumbers(line, 2);
      if (n.size() < 2) continue;
      WorkPolygon polygon;
      polygon.colour = colour;
      polygon.points.push_back({n[0], n[1]});
      polygons.push_back(std::move(polygon));
    } else if (line.ends_with('l') || line.ends_with('L')) {
      const std::vector<double> n = LeadingNumbers(line, 2);
      if (n.size() < 2 || polygons.empty()) continue;
      polygons.back().points.push_back({std::max(n[0], 0.0), std::max(n[1], 0.0)});
    } else if (line.find("%%PageTrailer") != std::string_view::npos) {
      break;
    }
  }
  // A drawing that ends right after going over a limit is refused the same way.
  limit_check();
  return pass;
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
  bool version_found = false;
  std::optional<std::size_t> body_start;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string lower = AsciiLower(lines[i]);
    if (lower.find("%%creator: adobe illustrator(") != std::string::npos) {
      version_found = true;
      const std::vector<std::string_view> words = Words(lower);
      const double version = words.size() >= 4 ? ReadLeadingDecimal(words[3]) : 0;
      if (version > 8) return refuse(VectorImportCode::kVersionTooHigh);
    }
    if (lower.find("%pdf") != std::string::npos) return refuse(VectorImportCode::kPdfVersion);
    if (lower.find("%%endsetup") != std::string::npos) {
      body_start = i + 1;
      break;
    }
  }
  if (!body_start && !version_found) return refuse(VectorImportCode::kUnexpectedFile);
  const std::vector<std::string_view> body(
      lines.begin() + static_cast<std::ptrdiff_t>(body_start.value_or(lines.size())), lines.end());

  PassResult pass;
  for (int steps = kFirstCurveSteps;; --steps) {
    pass = ParseBody(body, steps);
    if (!pass.retry) break;
  }
  if (pass.code != VectorImportCode::kOk) return refuse(pass.code);

  // Scale to the shape's own height, top at 0.
  double min_x = std::numeric_limits<double>::infinity(), min_y = min_x, max_y = -min_x;
  for (const WorkPolygon& polygon : pass.polygons) {
    for (const Point& p : polygon.points) {
      min_x = std::min(min_x, p.x);
      min_y = std::min(min_y, p.y);
      max_y = std::max(max_y, p.y);
    }
  }
  if (!(max_y > min_y)) return refuse(VectorImportCode::kUnexpectedFile);
  const double scale = 1 / (max_y - min_y);
  double top = 0;
  for (WorkPolygon& polygon : pass.polygons) {
    for (Point& p : polygon.points) {
      p.x = std::max(p.x - min_x, 0.0) * scale;
      p.y = std::max(p.y - min_y, 0.0) * scale;
      top = std::max(top, p.y);
    }
  }
  result.shape.name = std::string(name);
  for (const WorkPolygon& polygon : pass.polygons) {
    ShapePolygon out;
    out.colour = polygon.colour;
    for (const Point& p : polygon.points) {
      const ShapePoint point{static_cast<float>(p.x), static_cast<float>(top - p.y)};
      if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
        return refuse(VectorImportCode::kUnexpectedFile);
      }
      out.points.push_back(point);
    }
    result.shape.polygons.push_back(std::move(out));
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
