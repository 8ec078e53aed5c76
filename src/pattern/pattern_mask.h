#ifndef KELVARO_PATTERN_PATTERN_MASK_H_
#define KELVARO_PATTERN_PATTERN_MASK_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/shape_record.h"
#include "platform/notifier.h"

namespace kelvaro {

// The four built-in pattern shapes and the library shapes.
enum class PatternShapeKind { kEllipse, kRectangle, kVerticalLines, kHorizontalLines, kLibrary };

// The kind of a "Shape" value: its lower-cased text containing "ellipse", "rectangle",
// "vertical line" or "horizontal line", tested in that order; anything else names a library
// shape. So a library shape called "My Ellipse" draws the built-in ellipse.
PatternShapeKind ClassifyPatternShape(std::string_view shape_name);

// The pattern as the user set it up ([RIP Patten Setup], see pattern_print.h). Lengths in
// millimetres.
struct PatternSettings {
  std::string shape = "Ellipse";
  double size_x_mm = 1;   // shape width
  double size_y_mm = 1;   // shape height
  double gap_mm = 1;      // space between shapes
  int screen_angle = 45;  // 0: square grid; 45: every second row shifted, ellipse rows closer
  bool inverted = false;  // "Mask" other than "0": shapes 255 on 0 instead of 0 on 255
};

// The switches the printed picture is oriented by.
struct PatternOrientation {
  bool mirror = false;
  bool flip = false;
  bool rotate = false;
};

// A mask of width × height bytes, row by row from the top, one byte per output pixel: 0 under
// a shape and 255 elsewhere (the other way round when inverted). A non-zero byte blanks its
// pixel in the separation. On failure `mask` is empty and `error` says why: a picture without
// size, a negative or unusable size or gap, or a canvas too large to make.
struct PatternMaskOutcome {
  std::vector<std::uint8_t> mask;
  std::int32_t width = 0;   // pixels
  std::int32_t height = 0;  // pixels
  std::string error;
  bool ok() const { return error.empty(); }
};

// Pixels per millimetre of a picture `pixel_width` pixels wide that prints `width_pt` points
// wide: pixel_width ÷ (width_pt ÷ 72) ÷ 25.4. 0 when either is not positive.
double PatternPixelsPerMm(std::int32_t pixel_width, double width_pt);

// The mask for printing a picture whose separation is `output_width` × `output_height`
// pixels (the size after orientation, as the separation builder takes it) and prints
// `unturned_width_pt` points wide before Rotate exchanges width and height. The pixels per
// millimetre come from the unturned width, so that a picture with unequal resolutions across
// and down gets the same screen whether it is turned or not. `library_shape` is the shape a library
// "Shape" names, or null when the name was not found: then nothing is drawn. Progress goes from 20
// to 100 as the rows are drawn, then back to 0.
//
// How it is made: the screen is drawn in the picture's unrotated frame (width and height
// exchanged while Rotate is on) on a canvas with a border of one shape width on each side and
// one shape height below, row by row from y = 1, every second row shifted at angle 45; the
// picture's part is cut out from column round(SizeX × p ÷ 2) and then oriented: Mirror
// reverses every row; then Flip alone turns it half round, Rotate alone reads it column by
// column, Flip with Rotate reads the columns from the last, each from the bottom.
PatternMaskOutcome GeneratePatternMask(const PatternSettings& settings,
                                       const ShapeRecord* library_shape, std::int32_t output_width,
                                       std::int32_t output_height, double unturned_width_pt,
                                       PatternOrientation orientation, ProgressSink& progress);

// The same for the screen preview, which passes its own size in pixels (after orientation)
// and its own pixels per millimetre.
PatternMaskOutcome GeneratePreviewPatternMask(const PatternSettings& settings,
                                              const ShapeRecord* library_shape, std::int32_t width,
                                              std::int32_t height, double pixels_per_mm,
                                              PatternOrientation orientation,
                                              ProgressSink& progress);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_PATTERN_MASK_H_
