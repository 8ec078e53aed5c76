#include "app/print_job.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

#include "app/window_geometry.h"
#include "image/background_removal.h"
#include "image/color_management.h"
#include "image/image_loader.h"
#include "image/load_pipeline.h"
#include "image/orientation.h"
#include "image/page_layout.h"
#include "image/profiles.h"
#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "job/blank_page.h"
#include "job/copies_grid.h"
#include "job/postscript_writer.h"
#include "job/spool_output.h"
#include "platform/ini_file.h"
#include "printers/media_presets.h"
#include "printers/printer_models.h"
#include "printers/units.h"
#include "settings/job_settings.h"
#include "settings/settings_file.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

// UiText entries this file shows.
constexpr int kGridTooBigText = 135;

void Refuse(Notifier& notifier, const std::string& text) {
  notifier.Show(kProgramTitle, text, MessageIcon::kError);
}

std::string ListText(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "\r\n  " + item;
  return text;
}

bool InPercentRange(int value, int low, int high) { return value >= low && value <= high; }

// The window's copy of the stored white settings.
void ApplyJobSettings(const JobSettings& stored, PrintSetup& setup) {
  setup.display_white = stored.display != 0;
  setup.print_white = stored.tonerOn != 0;
  setup.threshold_on = stored.tonerSave != 0;
  setup.white_threshold = std::min<int>(stored.tonerPercent, 100);
  setup.white_density = std::min<int>(stored.whiteMaskPercent, 100);
}

// The preset's effect on the controls a print reads.
void ApplyPreset(const PresetApplication& applied, const UiText& texts, PrintSetup& setup) {
  if (applied.tray) setup.tray = texts.Get(kTrayTextNumbers[*applied.tray]);
  setup.tray_locked = !applied.tray_list_enabled;
  setup.mirror = applied.mirror_checked;
  setup.print_white = applied.white.print_white_checked;
  setup.threshold_on = applied.white.threshold_on_checked;
  setup.display_white = applied.white.display_white_checked;
  setup.black_removal = applied.white.black_removal_checked;
  setup.white_threshold = applied.threshold_slider;
  if (applied.density_slider) setup.white_density = *applied.density_slider;
  setup.film = applied.background_removal[0] == 1;
}

// The texts of the margin keys the paper and media choices of a print write, as they were
// before. A refused print puts them back byte for byte: bad input must cost nothing that was
// stored before. (A key that was not there before stays; the store cannot remove one.)
class StoredMargins {
 public:
  explicit StoredMargins(const SettingsStore& store) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      before_[i] = ReadIniValue(store.UserSettingsFile(), "Active", kKeys[i]);
    }
  }
  void Restore(SettingsStore& store) const {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (before_[i] && store.ReadSetting("Active", kKeys[i]) != *before_[i]) {
        store.WriteSetting("Active", kKeys[i], *before_[i]);
      }
    }
  }

  // The margins the dark medium's preset saved before writing its own, put back as they were
  // saved (the window's restore would write them in another number form).
  static void RestoreFromBackupAsSaved(SettingsStore& store) {
    for (std::size_t i = 0; i < 4; ++i) {
      store.WriteSetting("Active", kKeys[i], store.ReadSetting("Active", kKeys[i + 4]));
    }
  }

 private:
  static constexpr std::array<const char*, 8> kKeys = {
      "Top Margin",        "Left Margin",        "Right Margin",        "Bottom Margin",
      "Top Margin Backup", "Left Margin Backup", "Right Margin Backup", "Bottom Margin Backup"};
  std::array<std::optional<std::string>, 8> before_;
};

// What every job reads of the window: printer, paper, tray, media, prints and the clock.
PostScriptJobInput JobInput(const PrintSetup& setup, const PrintServices& services) {
  PostScriptJobInput input;
  input.model_name = setup.model_name;
  input.paper_class = setup.paper_class;
  input.paper_name = setup.paper;
  input.page_width_pt = setup.page.width;
  input.page_height_pt = setup.page.height;
  input.tray_text = setup.tray;
  input.media_text = setup.media_label;
  input.number_of_prints = setup.prints;
  input.created =
      JobTimestampNow(services.source_date_epoch ? services.source_date_epoch->c_str() : nullptr);
  return input;
}

// Margins as only a damaged settings file holds them: below 0, or leaving no printable area.
// The layout and the job would put the picture off the page. Shown, and false, then.
bool MarginsFitThePage(Notifier& notifier, const PrintSetup& setup) {
  const Margins& m = setup.margins;
  const PrintableArea area = ComputePrintableArea(setup.page, m);
  if (m.top >= 0 && m.left >= 0 && m.right >= 0 && m.bottom >= 0 && area.width > 0 &&
      area.height > 0) {
    return true;
  }
  char text[400];
  std::snprintf(text, sizeof text,
                "The stored margins (top %.2f, left %.2f, right %.2f, bottom %.2f points) do not "
                "fit the page %s of %d x %d points.\r\nPlease set the margins again.",
                m.top, m.left, m.right, m.bottom, setup.paper.c_str(), setup.page.width,
                setup.page.height);
  Refuse(notifier, text);
  return false;
}

// The composed image data block as the spooler takes it, without a copy.
std::string_view ImageBlock(const TiledImage& image) {
  return {reinterpret_cast<const char*>(image.data.get()), image.size};
}

}  // namespace

namespace {

// PreparePrintSetup but for the margins of a refused print; see there.
std::optional<PrintSetup> BuildPrintSetup(PrintServices services, const PrintChoices& choices) {
  SettingsStore& store = services.store;
  const UiText& texts = services.texts;
  PrintSetup setup;

  // Printer model.
  if (choices.model) {
    if (!IsModelKey(*choices.model)) {
      Refuse(services.notifier, "\"" + *choices.model + "\" is not a printer model");
      return std::nullopt;
    }
    setup.model_name = *choices.model;
  } else {
    setup.model_name = ResolveActiveModelName(store, services.usb_root);
  }
  setup.paper_class = ApplyActiveModel(setup.model_name).paper_class;

  // Media preset in force: the list's first entry unless chosen.
  const std::vector<int> media_codes = MediaListCodes(texts);
  setup.media_label = choices.media ? *choices.media : texts.Get(media_codes.front());
  const MediaPreset* preset = FindMediaPresetByLabel(texts, setup.media_label);
  if (preset == nullptr) {
    std::vector<std::string> labels;
    for (int code : media_codes) labels.push_back(texts.Get(code));
    Refuse(services.notifier,
           "\"" + setup.media_label + "\" is not in the media list:" + ListText(labels));
    return std::nullopt;
  }
  setup.media_code = preset->code;

  // Paper: the list of the model, "A4" unless chosen.
  const PaperList papers = BuildPaperList(store, setup.model_name);
  if (choices.paper) {
    if (std::find(papers.entries.begin(), papers.entries.end(), *choices.paper) ==
        papers.entries.end()) {
      Refuse(services.notifier, "\"" + *choices.paper + "\" is not in the paper list of " +
                                    setup.model_name + ":" + ListText(papers.entries));
      return std::nullopt;
    }
    setup.paper = *choices.paper;
  } else if (papers.selected >= 0) {
    setup.paper = papers.entries[papers.selected];
  }
  // A paper chosen for this run is applied as the window applies a choice, with its margins.
  // Otherwise the stored margins stay: a margin set from the command line must stay set.
  bool lock_tray = false;
  if (choices.paper) {
    const PaperChoice paper = ApplyPaperChoice(store, setup.paper, setup.media_code);
    if (paper.page_size) setup.page = *paper.page_size;
    lock_tray = paper.lock_multipurpose_tray;
  } else {
    bool custom = false;
    const std::optional<PageSize> page =
        PageSizeOfEntry(setup.paper, CustomSizesForModel(store, setup.model_name), &custom);
    if (page) setup.page = *page;
    lock_tray = custom && page && page->height > kMultiPurposeOnlyHeightPt;
  }

  // The preset, then the stored white settings, as the window applies them at creation.
  setup.tray = texts.Get(kTrayTextNumbers[kTrayAuto]);
  const PresetApplication applied = ApplyMediaPreset(store, texts, setup.media_label,
                                                     PresetInputs{setup.model_name, setup.paper});
  ApplyPreset(applied, texts, setup);
  // The dark medium's own margins, which hold for this print only (see the end).
  const bool special = applied.special_margins_written;
  const Margins special_margins = special ? ReadMargins(store) : Margins{};
  if (lock_tray) {
    setup.tray = texts.Get(kTrayTextNumbers[kTrayMultiPurpose]);
    setup.tray_locked = true;
  }
  setup.toner_order = store.ReadSetting("Active", "T_ORDER");
  setup.curves = SelectTonerLayout(setup.model_name, setup.toner_order) == TonerLayout::kWhiteFirst
                     ? WhiteFirstToneCurves()
                     : DefaultToneCurves();
  JobSettings stored = LoadStoredSettings(store, texts).job;

  // A setting file brings white settings, margins, paper and curves of its own.
  if (choices.settings_file) {
    const SettingsFileLoad load = LoadSettingsFile(
        store, *choices.settings_file, SettingsFileSource::kUserFolder, stored, setup.curves);
    if (load.status != 1) return std::nullopt;
    if (load.paper_size && !choices.paper) {
      const bool listed = std::find(papers.entries.begin(), papers.entries.end(),
                                    *load.paper_size) != papers.entries.end();
      setup.paper = listed ? *load.paper_size
                           : (papers.entries.empty() ? std::string() : papers.entries.front());
      if (std::optional<PageSize> page =
              PageSizeOfEntry(setup.paper, CustomSizesForModel(store, setup.model_name))) {
        setup.page = *page;
      }
    }
  }
  ApplyJobSettings(stored, setup);
  const ProfileNames profiles = ReadProfileNames(store);
  setup.profile_in = profiles.input;
  setup.profile_out = profiles.output;
  // The preview's width as the window last had it. The smallest window still has an image
  // area this wide; a narrower stored value was never the window's (a canvas of a pixel or
  // two would put every picture in the page corner, or have no layout at all).
  const long area_width = ReadLeadingNumber(store.ReadSetting("Active", "T_Used_W"));
  const int narrowest = SizeForDrag(kDefaultWindowWidth, kDefaultWindowHeight).image_area_width;
  if (area_width >= narrowest) {
    setup.image_area_width = static_cast<int>(std::min(area_width, 10000L));
  }

  // The choices on top.
  if (choices.tray) {
    std::vector<std::string> trays;
    for (int number : kTrayTextNumbers) trays.push_back(texts.Get(number));
    if (std::find(trays.begin(), trays.end(), *choices.tray) == trays.end()) {
      Refuse(services.notifier,
             "\"" + *choices.tray + "\" is not in the tray list:" + ListText(trays));
      return std::nullopt;
    }
    if (setup.tray_locked && *choices.tray != setup.tray) {
      Refuse(services.notifier, "The tray is fixed to \"" + setup.tray + "\" for \"" +
                                    setup.media_label + "\" on " + setup.paper);
      return std::nullopt;
    }
    setup.tray = *choices.tray;
  }
  for (const auto& [value, low, high, name] :
       {std::tuple{choices.white_density, 0, 100, "white density"},
        std::tuple{choices.white_threshold, 0, 100, "white threshold"},
        std::tuple{choices.brightness, -100, 100, "brightness"},
        std::tuple{choices.contrast, -100, 100, "contrast"}}) {
    if (value && !InPercentRange(*value, low, high)) {
      Refuse(services.notifier, std::string("The ") + name + " must be from " +
                                    std::to_string(low) + " to " + std::to_string(high));
      return std::nullopt;
    }
  }
  if (choices.toner_order && *choices.toner_order != "WL" && *choices.toner_order != "WF") {
    Refuse(services.notifier, "The toner order is \"WL\" (white last) or \"WF\" (white first)");
    return std::nullopt;
  }
  if ((choices.copies_across && *choices.copies_across < 1) ||
      (choices.copies_down && *choices.copies_down < 1)) {
    Refuse(services.notifier, "The copy counts must be at least 1");
    return std::nullopt;
  }
  if (choices.prints) setup.prints = *choices.prints;
  setup.copies_across = choices.copies_across.value_or(setup.copies_across);
  setup.copies_down = choices.copies_down.value_or(setup.copies_down);
  setup.mirror = choices.mirror.value_or(setup.mirror);
  setup.flip = choices.flip.value_or(setup.flip);
  setup.rotate = choices.rotate ? choices.rotate : setup.rotate;
  setup.print_white = choices.print_white.value_or(setup.print_white);
  setup.print_cmy = choices.print_cmy.value_or(setup.print_cmy);
  if (!setup.print_white && !setup.print_cmy) {
    Refuse(services.notifier, "Print White and Print CMY cannot both be off");
    return std::nullopt;
  }
  setup.threshold_on = choices.threshold_on.value_or(setup.threshold_on);
  setup.white_density = choices.white_density.value_or(setup.white_density);
  setup.white_threshold = choices.white_threshold.value_or(setup.white_threshold);
  setup.brightness = choices.brightness.value_or(setup.brightness);
  setup.contrast = choices.contrast.value_or(setup.contrast);
  setup.black_removal = choices.black_removal.value_or(setup.black_removal);
  setup.background_removal = choices.background_removal.value_or(setup.background_removal);
  setup.optimal_layout = choices.optimal_layout.value_or(setup.optimal_layout);
  setup.toner_order = choices.toner_order.value_or(setup.toner_order);
  setup.profile_in = choices.profile_in.value_or(setup.profile_in);
  setup.profile_out = choices.profile_out.value_or(setup.profile_out);
  // A profile chosen for this run that cannot be read is named, rather than reported later as
  // "Something odd with this image", which blames the picture.
  for (const std::optional<std::string>& chosen : {choices.profile_in, choices.profile_out}) {
    if (chosen && !OpenNamedProfile(*chosen, store.folders())) {
      Refuse(services.notifier,
             "The colour profile \"" + *chosen + "\" cannot be found or is no profile");
      return std::nullopt;
    }
  }

  // A toner order chosen for this run brings its own curves, unless a setting file's apply.
  if (choices.toner_order && !choices.settings_file) {
    setup.curves =
        SelectTonerLayout(setup.model_name, setup.toner_order) == TonerLayout::kWhiteFirst
            ? WhiteFirstToneCurves()
            : DefaultToneCurves();
  }
  // The margins as the paper, preset and setting file left them.
  setup.margins = ReadMargins(store);
  // The window gives the user's margins back at the next change of medium; for a print of its
  // own that is now. Otherwise the dark medium's margins would stay for every later print, and
  // the next such print would back them up over the user's margins, losing those for good.
  // Margins a setting file brought in the meantime stay.
  if (special && setup.margins == special_margins) {
    StoredMargins::RestoreFromBackupAsSaved(store);
  }
  return setup;
}

}  // namespace

std::optional<PrintSetup> PreparePrintSetup(PrintServices services, const PrintChoices& choices) {
  const StoredMargins stored_margins(services.store);
  std::optional<PrintSetup> setup = BuildPrintSetup(services, choices);
  if (!setup) stored_margins.Restore(services.store);
  return setup;
}

LoadedPicture LoadPicture(const SettingsStore& store, const UiText& texts, Notifier& notifier,
                          ProgressSink& progress, const PictureLoad& load,
                          const fs::path& image_path, WorkImage& image) {
  const PrintableArea printable = ComputePrintableArea(load.page, load.margins);

  LoadOptions options;
  options.mirror = load.mirror;
  options.flip = load.flip;
  options.background_removal_on = load.background_removal;
  options.unit = ReadUnit(store);
  options.printable = printable;
  options.conversion_status = texts.Get(38);

  BackgroundRemovalOptions removal;
  removal.removal_on = load.background_removal;
  const std::string artifact = store.ReadSetting("Active", kJpegArtifactKey);
  if (!artifact.empty()) removal.jpeg_artifact = ReadLeadingDecimal(artifact);
  removal.caption = texts.Get(37);

  ColourContext colour;
  colour.profiles = MakeProfileNames(load.profile_in, load.profile_out);
  colour.folders = store.folders();
  colour.messages = ColourMessages{texts.Get(0), texts.Get(134), texts.Get(133)};

  LoadSteps steps;
  steps.remove_background = StandardBackgroundRemoval(removal);
  steps.convert = StandardConversion(colour, notifier, nullptr);

  InitImageDecoder();
  std::string path = image_path.string();
  const LoadOutcome outcome = LoadImageFile(path, options, steps, image, notifier, progress);
  LoadedPicture loaded{outcome.loaded, outcome.transparent, outcome.rotate};
  if (!outcome.loaded) return loaded;

  // "Rotate" as the fit left it, unless chosen; a change orients the picture again.
  bool needs_fit = outcome.needs_fit;
  if (load.rotate && *load.rotate != loaded.rotate) {
    loaded.rotate = *load.rotate;
    needs_fit = OrientWorkImage(image, OrientOptions{load.mirror, load.flip, loaded.rotate},
                                printable, progress)
                    .needs_fit;
  }
  // One copy too large for the printable area is fitted, as the window's fit command does.
  if (needs_fit) {
    const ImageSize own{image.physical_width_pt, image.physical_height_pt};
    const ImageSize current{image.oriented_width_pt, image.oriented_height_pt};
    const ImageSize fitted = AutoFitSingleCopy(current, own, printable, loaded.rotate,
                                               load.copies_across, load.copies_down);
    // The printed size changes, the pixels stay: scale factor and resolution follow.
    if (current.width > 0 && fitted.width > 0 && fitted.width != current.width) {
      const float ratio = static_cast<float>(fitted.width / current.width);
      image.scale_factor *= ratio;
      image.x_dpi /= ratio;
      image.y_dpi /= ratio;
    }
    image.oriented_width_pt = static_cast<float>(fitted.width);
    image.oriented_height_pt = static_cast<float>(fitted.height);
  }
  return loaded;
}

bool LoadPictureForPrint(PrintServices services, const PrintSetup& setup,
                         const fs::path& image_path, WorkImage& image) {
  if (!MarginsFitThePage(services.notifier, setup)) return false;
  PictureLoad load;
  load.mirror = setup.mirror;
  load.flip = setup.flip;
  load.rotate = setup.rotate;
  load.background_removal = setup.background_removal;
  load.page = setup.page;
  load.margins = setup.margins;
  load.profile_in = setup.profile_in;
  load.profile_out = setup.profile_out;
  load.copies_across = setup.copies_across;
  load.copies_down = setup.copies_down;
  return LoadPicture(services.store, services.texts, services.notifier, services.progress, load,
                     image_path, image)
      .loaded;
}

PrintOutcome PrintPicture(PrintServices services, const PrintSetup& setup, WorkImage& image,
                          const std::string& file_name, const PrintTarget& target) {
  SettingsStore& store = services.store;
  const UiText& texts = services.texts;
  if (!MarginsFitThePage(services.notifier, setup)) return PrintOutcome::kNotPrinted;

  // The layout on the preview canvas gives the grid's place on the page and the gaps.
  PageLayoutInput layout_input;
  layout_input.canvas =
      ComputeCanvasSize(setup.image_area_width, setup.page.width, setup.page.height);
  layout_input.page_width_pt = setup.page.width;
  layout_input.page_height_pt = setup.page.height;
  layout_input.margin_top = std::lround(setup.margins.top * 100);
  layout_input.margin_left = std::lround(setup.margins.left * 100);
  layout_input.margin_right = std::lround(setup.margins.right * 100);
  layout_input.margin_bottom = std::lround(setup.margins.bottom * 100);
  layout_input.image_width_pt = image.oriented_width_pt;
  layout_input.image_height_pt = image.oriented_height_pt;
  layout_input.automatic_tile = setup.automatic_tile;
  layout_input.copies_across = setup.copies_across;
  layout_input.copies_down = setup.copies_down;
  layout_input.placement_mode = setup.placement_mode;
  layout_input.optimal_layout = setup.optimal_layout;
  const std::optional<PageLayout> layout = ComputePageLayout(layout_input);
  if (!layout) {
    Refuse(services.notifier, "The picture is too small to lay out on the page");
    return PrintOutcome::kNotPrinted;
  }

  // The copies grid, one copy being the oriented picture. A grid over the size limit is
  // refused before the separation: the planes of a large picture alone can take gigabytes.
  CopiesGridInput grid;
  grid.copies_across = layout->copies_across;
  grid.copies_down = layout->copies_down;
  grid.copy_width_px = image.output_width;
  grid.copy_height_px = image.output_height;
  grid.copy_width_pt = image.oriented_width_pt;
  grid.copy_height_pt = image.oriented_height_pt;
  grid.gap_x_pt = layout->gap_across_pt;
  grid.gap_y_pt = layout->gap_down_pt;
  const PrintableArea printable = ComputePrintableArea(setup.page, setup.margins);
  grid.printable_width_pt = static_cast<float>(printable.width);
  grid.printable_height_pt = static_cast<float>(printable.height);
  grid.optimal_layout = setup.optimal_layout;
  if (!ComputeCopiesGrid(grid).within_limit()) {
    services.notifier.Show(kProgramTitle, texts[kGridTooBigText], MessageIcon::kError);
    return PrintOutcome::kNotPrinted;
  }

  SeparationParams params;
  params.hot_stamp = setup.media_code == kPresetHotStampFoil;
  params.layout = SelectTonerLayout(setup.model_name, setup.toner_order);
  params.white_density = setup.white_density;
  params.white_threshold = setup.white_threshold;
  params.brightness = setup.brightness;
  params.contrast = setup.contrast;
  params.threshold_on = setup.threshold_on;
  params.print_white = setup.print_white;
  params.print_cmy = setup.print_cmy;
  params.black_removal = setup.black_removal;
  if (setup.black_removal) {
    params.black_removal_fuzz =
        ReadLeadingDecimal(store.ReadSetting("Active", kBlackRemovalFuzzyKey));
  }
  params.film = setup.film;
  SeparationOutcome separation = BuildSeparation(image, params, BuildToneCurveTable(setup.curves),
                                                 std::nullopt, services.progress);
  if (!separation.ok()) {
    Refuse(services.notifier, "The picture could not be separated into toner planes");
    return PrintOutcome::kNotPrinted;
  }

  PostScriptJobInput input = JobInput(setup, services);
  input.offset_x_pt = layout->offset_x_pt;
  input.offset_y_pt = layout->offset_y_pt;
  input.caption = texts.Get(0) + " - " + file_name;

  bool statistics_only = false;
  PostScriptJobResult result =
      BuildPostScriptJob(separation.set, grid, input,
                         JobWriterServices{store, texts, services.notifier, services.progress,
                                           [&] { statistics_only = true; }});
  // The planes are in the image data block now: freed, not merely cleared, before spooling.
  std::vector<std::uint8_t>().swap(separation.set.bytes);
  if (statistics_only) return PrintOutcome::kStatisticsOnly;
  if (!result.ok()) return PrintOutcome::kNotPrinted;

  PostScriptJob& job = result.job;
  if (target.dump_separations) {
    std::string error;
    if (!DumpPlanes(*target.dump_separations, job.image.bytes(), job.image.x_pixel,
                    job.image.y_pixel, error)) {
      Refuse(services.notifier, error);
      return PrintOutcome::kNotPrinted;
    }
  }

  // The document name: the caption without the title prefix, then the copy counts.
  std::string document = input.caption;
  const std::string prefix = texts.Get(0) + " - ";
  if (document.compare(0, prefix.size(), prefix) == 0) document.erase(0, prefix.size());
  document +=
      " " + std::to_string(layout->copies_across) + " x" + std::to_string(layout->copies_down);

  const bool sent =
      SendRawJob(SpoolServices{services.spooler, services.notifier, services.progress, texts},
                 target.queue, document, job.header, ImageBlock(job.image), job.trailer);
  job.image = TiledImage{};
  if (!sent) return PrintOutcome::kNotPrinted;
  // The queue printed to is remembered, as the window does for every print. Only once it took
  // the job: a mistyped queue name must not replace the printer stored before. A job file is
  // no printer: the stored one stays.
  if (target.queue.rfind(kFileQueuePrefix, 0) != 0) {
    store.WriteSetting("Active", "Printer", target.queue);
  }
  return PrintOutcome::kSent;
}

PrintOutcome PrintBlankPage(PrintServices services, const PrintSetup& setup,
                            const std::string& queue) {
  std::optional<PostScriptJob> job = BuildBlankPageJob(JobInput(setup, services), services.texts);
  if (!job) {
    Refuse(services.notifier, MemoryMessage(1));
    return PrintOutcome::kNotPrinted;
  }
  const bool sent = SendRawJob(
      SpoolServices{services.spooler, services.notifier, services.progress, services.texts}, queue,
      kBlankJobName, job->header, ImageBlock(job->image), job->trailer);
  return sent ? PrintOutcome::kSent : PrintOutcome::kNotPrinted;
}

bool DumpPlanes(const fs::path& folder, std::span<const std::uint8_t> block, std::int64_t x_pixel,
                std::int64_t y_pixel, std::string& error) {
  constexpr int kPlanes = SeparationSet::kPlanes;
  if (x_pixel <= 0 || y_pixel <= 0 ||
      block.size() != static_cast<std::size_t>(kPlanes * x_pixel * y_pixel)) {
    error = "The image data block does not match its size";
    return false;
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::size_t row = static_cast<std::size_t>(x_pixel);
  for (int plane = 0; plane < kPlanes; ++plane) {
    const fs::path file = folder / ("plane" + std::to_string(plane + 1) + ".pgm");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "P5\n" << x_pixel << " " << y_pixel << "\n255\n";
    for (std::int64_t y = 0; y < y_pixel && out; ++y) {
      const std::uint8_t* bytes =
          block.data() + (static_cast<std::size_t>(y) * kPlanes + plane) * row;
      out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(row));
    }
    out.close();
    if (!out) {
      error = "Cannot write " + file.string() + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace kelvaro
