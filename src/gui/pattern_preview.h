#ifndef KELVARO_GUI_PATTERN_PREVIEW_H_
#define KELVARO_GUI_PATTERN_PREVIEW_H_

#include <QImage>

#include "pattern/pattern_mask.h"
#include "pattern/shape_record.h"

namespace kelvaro::gui {

// The screen a pattern set-up makes, `width` × `height` pixels at `pixels_per_mm`, drawn by the
// print's own generator: black where the print keeps its ink, white where the pattern blanks
// it. A set-up the generator refuses gives a white picture.
QImage RenderPatternPreview(const PatternSettings& settings, const ShapeRecord* library_shape,
                            int width, int height, double pixels_per_mm);

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_PREVIEW_H_
