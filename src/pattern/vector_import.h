#ifndef KELVARO_PATTERN_VECTOR_IMPORT_H_
#define KELVARO_PATTERN_VECTOR_IMPORT_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "pattern/shape_record.h"

namespace kelvaro {

// Outcome codes of the drawing import; the negative numbers are the ones the importer has
// always reported.
enum class VectorImportCode {
  kOk = 0,
  kTooManyNodes = -1,    // more than 200 points or 20 polygons, even with the fewest curve steps
  kUnexpectedFile = -3,  // no creator line and no "%%EndSetup", or no usable point at all
  kVersionTooHigh = -4,  // a drawing program version above 8
  kPdfVersion = -5,      // a PDF-based drawing
  kNotVectorFile = -10,  // the file name's extension has no "ai": nothing is imported
  kUnreadable = -11,     // the file cannot be opened or read
};

inline constexpr char kConversionFailedTitle[] = "Converter";
inline constexpr char kConversionFailedPrefix[] = "Conversion failed\n";

struct VectorImportResult {
  VectorImportCode code = VectorImportCode::kUnexpectedFile;
  // With kOk: the shape, normalised to a height of 1 with its top at 0, named after the file
  // (without folder and extension), gap factors 0.
  ShapeRecord shape;
  // What to show, titled kConversionFailedTitle: "Conversion failed", a line break and the
  // reason. Empty with kOk and with kNotVectorFile.
  std::string message;
  bool ok() const { return code == VectorImportCode::kOk; }
};

// Reads a drawing of the PostScript-based vector format of versions 3 to 8 from `text` (the
// whole file) into a shape named `name`.
//
// The header is scanned for the creator line (version from its fourth word; above 8 is
// refused), a PDF marker (refused) and "%%EndSetup", where the drawing starts. Each line of
// the drawing is then, in this order: a limit check (a polygon of 200 points or more than 20
// polygons: with curves read, start again with one curve step fewer, down to 5; otherwise
// refuse), a fill colour ("... Xa": white when the first four numbers add up to 0; "... k":
// white when they add up to less than 0.5; upper-case "K" is a stroke colour and ignored), a
// line starting with "f" or "b" closing the polygon, a curve ("c", "C": a cubic from the last
// point, evaluated at n + 1 steps, n starting at 20), a move ("m": a new polygon in the
// current fill colour) or a line point ("l", "L": negative coordinates become 0), and
// "%%PageTrailer" ending the drawing. A line with fewer numbers than its operator needs is
// ignored. Lines end at LF, CR or CR LF.
//
// The shape is then scaled to its own height: x − smallest x and y − smallest y, times
// 1 ÷ height, turned upside down so that its top is at 0. A drawing without a point, or one
// without height, is refused as an unexpected file.
VectorImportResult ParseVectorShape(std::string_view text, std::string_view name);

// The importer behind "&Open File": a file whose extension contains "ai" (any letter case) is
// read and parsed, named after the file; any other file imports nothing (kNotVectorFile). A
// file that cannot be read gives kUnreadable with "Error " and the error code.
VectorImportResult ImportVectorShape(const std::filesystem::path& file);

// The message text of an outcome code ("To many nodes", "Unexpected file", "AI file greater
// than Ver 8", "PDF Version of AI"); empty for the others.
std::string VectorImportReason(VectorImportCode code);

// The shape import dialog's base gaps: one per angle, -5 to 5; slider position
// = 10 × value + 50. The stored gap factor is the base gap ÷ 10.
double BaseGapFromSlider(int position);
int SliderFromBaseGap(double value);
// A typed base gap in the display unit (millimetres per unit 1, 10 or 25.4); outside -5..5
// it becomes 0.
double TypedBaseGap(double value, double mm_per_unit);
float GapFactorFromBaseGap(double value);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_VECTOR_IMPORT_H_
