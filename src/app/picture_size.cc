#include "app/picture_size.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/control_ids.h"
#include "app/job_parameters.h"
#include "image/orientation.h"
#include "platform/length_units.h"
#include "printers/units.h"

namespace kelvaro {
namespace {

namespace c = control;

}  // namespace

void ResizePrintedPicture(WorkImage& image, ImageSize size) {
  const double current = image.oriented_width_pt;
  if (current > 0 && size.width > 0 && size.width != current) {
    const float ratio = static_cast<float>(size.width / current);
    image.scale_factor *= ratio;
    image.x_dpi /= ratio;
    image.y_dpi /= ratio;
  }
  image.oriented_width_pt = static_cast<float>(size.width);
  image.oriented_height_pt = static_cast<float>(size.height);
}

void ShowPictureSize(MainWindowModel& model, const WorkImage& image) {
  const SizeLabels labels = MakeSizeLabels(image, ReadUnit(model.store()));
  model.SetText(c::kXSizeEdit, labels.width);
  model.SetText(c::kYSizeEdit, labels.height);
  model.SetText(c::kDpiEdit, std::to_string(std::lround(image.x_dpi)));
}

void ApplyTypedSize(MainWindowModel& model, WorkImage& image, int field_id) {
  const double typed = ReadLeadingDecimal(model.Text(field_id));
  const double width = image.oriented_width_pt;
  const double height = image.oriented_height_pt;
  if (typed > 0 && width > 0 && height > 0) {
    // Typed lengths are millimetres times the unit's factor.
    const double points =
        MillimetresToPoints(typed * MainWindowUnitFactor(ReadUnit(model.store())));
    const double ratio = field_id == c::kXSizeEdit ? points / width : points / height;
    ResizePrintedPicture(image, ImageSize{width * ratio, height * ratio});
  }
  ShowPictureSize(model, image);
}

void FitPictureToPage(MainWindowModel& model, WorkImage& image) {
  const JobParameters params = GatherJobParameters(model);
  const ImageSize own{image.physical_width_pt, image.physical_height_pt};
  const ImageSize current{image.oriented_width_pt, image.oriented_height_pt};
  ResizePrintedPicture(
      image, FitToPrintableArea(current, own, ComputePrintableArea(params.page, params.margins),
                                params.rotate));
  ShowPictureSize(model, image);
}

void ApplyCopyCounts(MainWindowModel& model) {
  const JobParameters params = GatherJobParameters(model);
  model.SetText(c::kXCopyEdit, std::to_string(params.copies_across));
  model.SetText(c::kYCopyEdit, std::to_string(params.copies_down));
  const long long total = static_cast<long long>(params.copies_across) * params.copies_down;
  model.SetText(c::kTotalEdit, std::to_string(total));
}

}  // namespace kelvaro
