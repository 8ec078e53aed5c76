#include "app/picture_load.h"

#include "app/picture_size.h"
#include "image/background_removal.h"
#include "image/color_management.h"
#include "image/image_loader.h"
#include "image/load_pipeline.h"
#include "image/orientation.h"
#include "image/profiles.h"
#include "printers/units.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

namespace fs = std::filesystem;

PictureLoad PictureLoadFor(const JobParameters& params, std::optional<bool> rotate) {
  PictureLoad load;
  load.mirror = params.mirror;
  load.flip = params.flip;
  load.rotate = rotate;
  load.background_removal = params.background_removal;
  load.page = params.page;
  load.margins = params.margins;
  load.profile_in = params.profile_in;
  load.profile_out = params.profile_out;
  load.copies_across = params.copies_across;
  load.copies_down = params.copies_down;
  return load;
}

LoadedPicture LoadPicture(const SettingsStore& store, const UiText& texts, Notifier& notifier,
                          ProgressSink& progress, const PictureLoad& load,
                          const fs::path& image_path, WorkImage& image) {
  const PrintableArea printable = ComputePrintableArea(load.page, load.margins);

  LoadOptions options;
  options.mirror = load.mirror;
  options.flip = load.flip;
  options.preview = load.preview;
  options.timings = load.timings;
  // Turned as chosen at once, so that the picture is oriented once.
  options.rotate = load.rotate;
  options.release_records = load.release_records;
  options.background_removal_on = load.background_removal;
  options.unit = ReadUnit(store);
  options.printable = printable;
  options.conversion_status = texts.Get(ui::kConvertingStatus);

  BackgroundRemovalOptions removal;
  removal.removal_on = load.background_removal;
  const std::string artifact = store.ReadSetting(keys::active::kJpegArtifact);
  if (!artifact.empty()) removal.jpeg_artifact = ReadLeadingDecimal(artifact);
  removal.caption = texts.Get(ui::kRemovingBackgroundStatus);
  options.background_status = removal.caption;

  ColourContext colour;
  colour.profiles = MakeProfileNames(load.profile_in, load.profile_out);
  colour.folders = store.folders();
  colour.messages = ColourMessages{texts.Get(ui::kProgramTitle), texts.Get(ui::kOddImage),
                                   texts.Get(ui::kConversionFailure)};

  LoadSteps steps;
  steps.remove_background = StandardBackgroundRemoval(removal);
  SetStandardConversion(steps, colour, notifier, nullptr);

  InitImageDecoder();
  std::string path = image_path.string();
  const LoadOutcome outcome = LoadImageFile(path, options, steps, image, notifier, progress);
  LoadedPicture loaded{outcome.loaded, outcome.transparent, outcome.rotate,
                       outcome.conversion == ConvertStatus::kNoTransform};
  if (!outcome.loaded) return loaded;
  loaded.rotate = FinishLayout(image, load, outcome.rotate, outcome.needs_fit, progress);
  return loaded;
}

bool FinishLayout(WorkImage& image, const PictureLoad& load, bool fit_rotate, bool needs_fit,
                  ProgressSink& progress) {
  const PrintableArea printable = ComputePrintableArea(load.page, load.margins);
  // "Rotate" as the fit left it, unless chosen; a change orients the picture again.
  bool rotate = fit_rotate;
  if (load.rotate && *load.rotate != rotate) {
    rotate = *load.rotate;
    needs_fit = OrientWorkImage(image, OrientOptions{load.mirror, load.flip, rotate, load.preview},
                                printable, progress)
                    .needs_fit;
  }
  // One copy too large for the printable area is fitted, as the window's fit command does.
  if (needs_fit) {
    const ImageSize own{image.physical_width_pt, image.physical_height_pt};
    const ImageSize current{image.oriented_width_pt, image.oriented_height_pt};
    ResizePrintedPicture(image, AutoFitSingleCopy(current, own, printable, rotate,
                                                  load.copies_across, load.copies_down));
  }
  return rotate;
}

std::optional<bool> FitPictureAfresh(WorkImage& image, const PictureLoad& load,
                                     ProgressSink& progress) {
  if (image.raw.empty() || image.file_x_dpi <= 0 || image.file_y_dpi <= 0) return std::nullopt;
  const PrintableArea printable = ComputePrintableArea(load.page, load.margins);
  // The same steps, on the same numbers, as a load onto this page.
  const LoadFit fit = FitAtLoad(image.width, image.height,
                                Resolution{image.file_x_dpi, image.file_y_dpi}, printable);
  image.x_dpi = fit.x_dpi;
  image.y_dpi = fit.y_dpi;
  image.scale_factor = fit.scale_factor;
  const OrientResult oriented = OrientWorkImage(
      image, OrientOptions{load.mirror, load.flip, fit.rotate, load.preview}, printable, progress);
  if (!oriented.oriented) return std::nullopt;
  return FinishLayout(image, load, fit.rotate, oriented.needs_fit, progress);
}

std::optional<bool> OrientPictureAgain(WorkImage& image, const PictureLoad& load,
                                       ProgressSink& progress) {
  const PrintableArea printable = ComputePrintableArea(load.page, load.margins);
  const bool rotate = load.rotate.value_or(false);
  const bool turned = image.output_width != image.width;
  const OrientResult oriented = OrientWorkImage(
      image, OrientOptions{load.mirror, load.flip, rotate, load.preview}, printable, progress);
  if (!oriented.oriented) return std::nullopt;
  // Turning may leave one copy larger than the area; it is fitted as at a load. A mirror
  // never changes the size.
  if (oriented.needs_fit && turned != rotate) {
    const ImageSize own{image.physical_width_pt, image.physical_height_pt};
    const ImageSize current{image.oriented_width_pt, image.oriented_height_pt};
    ResizePrintedPicture(image, AutoFitSingleCopy(current, own, printable, rotate,
                                                  load.copies_across, load.copies_down));
  }
  return rotate;
}

std::string ProfileSearchNote(const PictureLoad& load, const DataFolders& folders) {
  const ProfileNames names = MakeProfileNames(load.profile_in, load.profile_out);
  std::string note;
  for (const std::string& name : {names.input, names.output}) {
    if (OpenNamedProfile(name, folders)) continue;
    if (!note.empty()) note += "; ";
    note += "the colour profile \"" + name + "\" cannot be opened";
    if (fs::path(name).has_parent_path()) continue;
    note += " (looked for in " + folders.user.string() + ", " + folders.common.string() + " and " +
            (folders.program / kProfilesFolder).string() + ")";
  }
  return note;
}

}  // namespace kelvaro
