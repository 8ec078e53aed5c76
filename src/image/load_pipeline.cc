#include "image/load_pipeline.h"

#include <algorithm>
#include <span>
#include <utility>

#include "platform/length_units.h"

namespace kelvaro {

std::function<ConvertStatus(WorkImage&, ProgressSink&)> StandardConversion(
    ColourContext context, Notifier& notifier, std::function<void()> load_defaults) {
  return [context = std::move(context), &notifier, load_defaults = std::move(load_defaults)](
             WorkImage& image, ProgressSink& progress) {
    return ConvertWorkImage(image, context, notifier, progress, load_defaults);
  };
}

void SetStandardConversion(LoadSteps& steps, ColourContext context, Notifier& notifier,
                           std::function<void()> load_defaults) {
  steps.convert_rows = std::make_shared<RowConversion>(context);
  steps.convert = StandardConversion(std::move(context), notifier, std::move(load_defaults));
}

std::function<void(WorkImage&, ProgressSink&)> StandardBackgroundRemoval(
    BackgroundRemovalOptions options) {
  return [options = std::move(options)](WorkImage& image, ProgressSink& progress) mutable {
    options.source_kind = image.source_kind;
    RemoveBackground(image.DecodedRgba(), options, progress);
  };
}

namespace {

// Whether the picture has transparent pixels; an opaque one goes through the background step.
// `converted` holds the picture when its rows were converted as they decoded (their pixels
// have gone since: the conversion noted what the check needs of them).
bool CheckTransparency(WorkImage& image, const LoadOptions& options, const LoadSteps& steps,
                       const RowConversion* converted, ProgressSink& progress) {
  if (converted != nullptr) {
    const bool transparent = converted->saw_transparent();
    if (!transparent && steps.remove_background) progress.SetStatus(options.background_status);
    return transparent;
  }
  const bool transparent = HasTransparentPixel(image.DecodedRgba());
  if (!transparent && steps.remove_background) steps.remove_background(image, progress);
  return transparent;
}

ConvertStatus ConvertPicture(WorkImage& image, const LoadSteps& steps, RowConversion* converted,
                             bool transparent, ProgressSink& progress) {
  if (converted == nullptr) {
    return steps.convert ? steps.convert(image, progress) : ConvertStatus::kBadBuffer;
  }
  // Without removal the background step would only have made an opaque picture fully so.
  const bool opaque = !transparent && steps.remove_background != nullptr;
  return converted->Finish(image, opaque, progress) ? ConvertStatus::kConverted
                                                    : ConvertStatus::kBadBuffer;
}

// The physical size comes from the file's own resolution; the fit only changes the
// resolution and the scale factor, which the oriented size then applies once.
void SetPhysicalSize(WorkImage& image) {
  image.file_x_dpi = image.x_dpi;
  image.file_y_dpi = image.y_dpi;
  image.physical_width_pt = PixelsToPointsInFloat(static_cast<float>(image.width), image.x_dpi);
  image.physical_height_pt = PixelsToPointsInFloat(static_cast<float>(image.height), image.y_dpi);
  image.output_width = image.width;
  image.output_height = image.height;
  image.scale_factor = 1;
}

}  // namespace

LoadOutcome RunLoadPipeline(WorkImage& image, const LoadOptions& options, const LoadSteps& steps,
                            ProgressSink& progress) {
  LoadOutcome outcome;
  const std::size_t pixels =
      static_cast<std::size_t>(std::max(image.width, 0)) * std::max(image.height, 0);
  image.grid.clear();
  image.grid.shrink_to_fit();
  image.preview.clear();
  image.preview.shrink_to_fit();

  RowConversion* converted = options.background_removal_on ? nullptr : steps.convert_rows.get();
  if (converted != nullptr && !converted->HasWholePicture(image)) {
    converted->Drop();
    converted = nullptr;
  }
  // The rows went straight to their places in the oriented grid.
  const bool placed = converted != nullptr && converted->placement().has_value();
  outcome.transparent = CheckTransparency(image, options, steps, converted, progress);
  progress.SetStatus(options.conversion_status);

  SetPhysicalSize(image);
  const Resolution file{image.x_dpi, image.y_dpi};
  const LoadFit fit = FitAtLoad(image.width, image.height, file, options.printable);
  outcome.rotate = TurnsAtLoad(options.rotate, image.width, image.height, file, options.printable);
  if (placed) outcome.rotate = converted->placement()->rotate();  // the same decision, made ahead

  if (image.DecodedRgba().empty() || pixels == 0) return outcome;
  {
    const StepTimer timer(options.timings, "convert");
    outcome.conversion = ConvertPicture(image, steps, converted, outcome.transparent, progress);
  }
  if ((placed ? image.grid.size() : image.raw.size()) < 2 ||
      outcome.conversion != ConvertStatus::kConverted) {
    // The conversion has told the user what went wrong; nothing of this picture is usable.
    image.raw.clear();
    image.grid.clear();
    return outcome;
  }

  image.x_dpi = fit.x_dpi;
  image.y_dpi = fit.y_dpi;
  image.scale_factor = fit.scale_factor;
  const StepTimer timer(options.timings, "orient");
  const OrientResult oriented =
      placed ? AdoptPlacedGrid(image, outcome.rotate, options.printable)
             : OrientWorkImage(image,
                               OrientOptions{options.mirror, options.flip, outcome.rotate,
                                             options.preview, options.release_records},
                               options.printable, progress);
  if (!oriented.oriented) return outcome;
  outcome.needs_fit = oriented.needs_fit;
  outcome.size_labels = MakeSizeLabels(image, options.unit);
  outcome.loaded = true;
  return outcome;
}

}  // namespace kelvaro
