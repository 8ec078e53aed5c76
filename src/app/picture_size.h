#ifndef KELVARO_APP_PICTURE_SIZE_H_
#define KELVARO_APP_PICTURE_SIZE_H_

#include "app/main_window_model.h"
#include "image/work_image.h"
#include "printers/margins.h"

namespace kelvaro {

// The printed size of one copy changes; the pixels stay, so the scale factor and the
// resolution follow. `size` is in points; a size without width is ignored.
void ResizePrintedPicture(WorkImage& image, ImageSize size);

// The size fields (X Size, Y Size) show one copy's printed size in the unit in force, with
// its mask ("#.#" mm, "#.##" cm, "#.###" in), and the DPI field its horizontal resolution.
void ShowPictureSize(MainWindowModel& model, const WorkImage& image);

// Enter in X Size or Y Size (`field_id`): the typed length in the unit in force becomes that
// side of the copy and the other side follows in proportion; both fields are shown again.
// A length that is not a positive number puts the fields back as they were.
void ApplyTypedSize(MainWindowModel& model, WorkImage& image, int field_id);

// Fit to Page, after the model set the copy counts to 1: the copy fills the printable area of
// the window's page and margins, or, when it already does, goes back to its own size if that
// fits (the window's fit command).
void FitPictureToPage(MainWindowModel& model, WorkImage& image);

// Enter in X Copy or Y Copy: the counts are whole numbers of at least 1, shown again, with
// their product in the Total field.
void ApplyCopyCounts(MainWindowModel& model);

}  // namespace kelvaro

#endif  // KELVARO_APP_PICTURE_SIZE_H_
