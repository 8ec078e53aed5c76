#include "app/print_run.h"

#include <cmath>
#include <utility>
#include <vector>

#include "app/job_planes.h"
#include "app/page_placement.h"
#include "app/print_setup.h"
#include "image/background_removal.h"
#include "image/color_management.h"
#include "image/page_layout.h"
#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "job/blank_page.h"
#include "job/copies_grid.h"
#include "job/feature_blocks.h"
#include "job/plane_dump.h"
#include "job/postscript_writer.h"
#include "job/spool_output.h"
#include "pattern/pattern_print.h"
#include "printers/margins.h"
#include "printers/media_presets.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"
#include "stats/stats_records.h"

namespace kelvaro {
namespace {

void ShowError(Notifier& notifier, const std::string& text) {
  notifier.Show(kProgramTitle, text, MessageIcon::kError);
}

// What every job reads of the window: printer, paper, tray, media, prints and the clock.
PostScriptJobInput JobInputFrom(const JobParameters& params, const PrintServices& services) {
  PostScriptJobInput input;
  input.model_name = params.model_name;
  input.paper_class = params.paper_class;
  input.paper_name = params.paper;
  input.page_width_pt = params.page.width;
  input.page_height_pt = params.page.height;
  input.tray_text = params.tray;
  input.media_text = params.media_label;
  input.number_of_prints = params.prints;
  input.created =
      JobTimestampNow(services.source_date_epoch ? services.source_date_epoch->c_str() : nullptr);
  return input;
}

// The document name: the caption without the title prefix, then the copy counts.
std::string DocumentName(const std::string& caption, const UiText& texts,
                         const PageLayout& layout) {
  std::string document = caption;
  const std::string prefix = texts.Get(ui::kProgramTitle) + " - ";
  if (document.compare(0, prefix.size(), prefix) == 0) document.erase(0, prefix.size());
  return document + " " + std::to_string(layout.copies_across) + " x" +
         std::to_string(layout.copies_down);
}

}  // namespace

namespace {

// The cost estimate of a composed image data block, shown through the services. A block that
// does not match its size is reported instead.
void EstimateCost(const PrintServices& services, const JobParameters& params,
                  const TiledImage& block, const std::string& file_name, int prints) {
  const char* epoch = services.source_date_epoch ? services.source_date_epoch->c_str() : nullptr;
  const JobTimestamp now = LocalTimestampNow(epoch);
  CostEstimateInput input;
  input.image_data = block.AsJobBlock();
  input.x_pixel = block.x_pixel;
  input.y_pixel = block.y_pixel;
  input.x_point = block.x_point;
  input.y_point = block.y_point;
  input.prints = prints;
  input.model_name = params.model_name;
  input.paper_name = params.paper;
  input.file_name = file_name;
  input.now = ClockReading{now.year, now.month, now.day, now.hour, now.minute};
  const CostEstimateResult result = EstimatePrintCost(services.store, services.texts, input);
  if (!result.estimate) {
    ShowError(services.notifier, result.error);
  } else if (services.show_cost_estimate) {
    services.show_cost_estimate(*result.estimate);
  }
}

// The statistics read the last job's size from here; a failed write has been reported by the
// store and does not stop the print.
void StoreJobSize(SettingsStore& store, const TiledImage& image) {
  store.WriteSetting(keys::stats::kXPixel, JobNumber(std::int64_t{image.x_pixel}));
  store.WriteSetting(keys::stats::kYPixel, JobNumber(std::int64_t{image.y_pixel}));
  store.WriteSetting(keys::stats::kXPoint, JobNumber(image.x_point));
  store.WriteSetting(keys::stats::kYPoint, JobNumber(image.y_point));
}

// What comes before the separation: margins, layout and the size of the grid.
std::optional<CopiesPlan> PlanGrid(const PrintServices& services, const JobParameters& params,
                                   const WorkImage& image) {
  if (std::optional<Refusal> refusal = CheckMargins(params)) {
    ShowError(services.notifier, RefusalText(*refusal));
    return std::nullopt;
  }
  std::optional<CopiesPlan> plan = PlanCopies(params, image);
  if (!plan) {
    ShowError(services.notifier, "The picture is too small to lay out on the page");
    return std::nullopt;
  }
  // A grid over the size limit is refused before the separation: the planes of a large
  // picture alone can take gigabytes.
  if (!plan->grid.within_limit()) {
    ShowError(services.notifier, services.texts[ui::kGridTooBig]);
    return std::nullopt;
  }
  return plan;
}

// The five planes of one copy; with `pattern`, the stored pattern set-up knocks its screen out.
// nullopt after a message.
std::optional<SeparationSet> SeparatePicture(const PrintServices& services,
                                             const JobParameters& params, WorkImage& image,
                                             bool pattern, bool take_picture) {
  std::vector<std::uint8_t> pattern_mask;
  if (pattern) {
    // Rotate exchanges the printed width and height; the screen's scale comes from the width
    // before that.
    const double unturned_width_pt =
        params.rotate ? image.oriented_height_pt : image.oriented_width_pt;
    PatternMaskOutcome mask = BuildStoredPatternMask(
        services.store, image.output_width, image.output_height, unturned_width_pt,
        PatternOrientation{params.mirror, params.flip, params.rotate}, services.progress);
    if (!mask.ok()) {
      ShowError(services.notifier, mask.error);
      return std::nullopt;
    }
    pattern_mask = std::move(mask.mask);
  }
  const auto mask =
      pattern ? std::optional<std::span<const std::uint8_t>>(pattern_mask) : std::nullopt;
  // A picture printed once gives its grid's memory to the planes (the white edge is made from
  // planes of their own).
  SeparationOutcome separation =
      take_picture && params.white_edge == 0
          ? BuildSeparationInPlace(image, SeparationParamsFrom(params, services.store),
                                   params.tone_table, mask, services.progress)
          : BuildJobPlanes(image, params, services.store, mask, services.progress);
  if (!separation.ok()) {
    ShowError(services.notifier, kNotSeparatedText);
    return std::nullopt;
  }
  return std::move(separation.set);
}

// Separates the picture and writes the job around its planes; nullopt when either failed
// (the user has been told).
std::optional<PostScriptJob> MakePictureJob(const PrintServices& services,
                                            const JobParameters& params, WorkImage& image,
                                            const CopiesGridInput& grid,
                                            const PostScriptJobInput& input,
                                            const PrintTarget& target) {
  std::optional<SeparationSet> planes;
  {
    const StepTimer timer(services.timings, "separate");
    planes = SeparatePicture(services, params, image, target.pattern, target.take_picture);
  }
  if (!planes) return std::nullopt;
  // The job keeps the planes and makes its image data block from them as it is sent; nothing
  // else holds them.
  const StepTimer timer(services.timings, "compose+write");
  PostScriptJobResult result =
      BuildPostScriptJob(std::move(*planes), grid, input,
                         JobWriterServices{services.texts, services.notifier, services.progress});
  if (!result.ok()) return std::nullopt;
  return std::move(result.job);
}

// Sends the job, its image rows composed as they are written. The queue printed to is
// remembered, as the window does for every print, once it took the job: a mistyped queue name
// must not replace the printer stored before. A job file is no printer: the stored one stays.
bool SendPictureJob(const PrintServices& services, const PrintTarget& target, PostScriptJob& job,
                    const std::string& document, const QueueCheck& queue) {
  {
    const StepTimer timer(services.timings, "compose+write");
    if (!SendRawJob(
            SpoolServices{services.spooler, services.notifier, services.progress, services.texts},
            target.queue, document, job.header, job.image.AsJobBlock(), job.trailer)) {
      return false;
    }
  }
  ReportQueueNote(services.notifier, queue);
  if (target.queue.rfind(kFileQueuePrefix, 0) != 0) {
    services.store.WriteSetting(keys::active::kPrinter, target.queue);
  }
  return true;
}

}  // namespace

PrintOutcome PrintPicture(PrintServices services, const JobParameters& params, WorkImage& image,
                          const std::string& file_name, const PrintTarget& target) {
  const UiText& texts = services.texts;
  // The queue first: separating and composing a large picture takes a while, and a print
  // server that is down must not be found out only at the end.
  // Statistics-only mode prices the job and sends nothing.
  const bool sends = !target.estimate_only &&
                     ReadStatisticsMode(services.store) != StatisticsMode::kStatisticsOnly;
  QueueCheck queue;
  if (sends) {
    queue = CheckQueueBeforeJob(
        SpoolServices{services.spooler, services.notifier, services.progress, texts}, target.queue);
    if (!queue.ok) return PrintOutcome::kNotPrinted;
  }
  const std::optional<CopiesPlan> plan = PlanGrid(services, params, image);
  if (!plan) return PrintOutcome::kNotPrinted;
  const PageLayout& layout = plan->layout;
  const CopiesGridInput& grid = plan->grid_input;

  PostScriptJobInput input = JobInputFrom(params, services);
  input.offset_x_pt = layout.offset_x_pt;
  input.offset_y_pt = layout.offset_y_pt;
  input.caption = texts.Get(ui::kProgramTitle) + " - " + file_name;
  const auto estimate = [&](const TiledImage& block) {
    EstimateCost(services, params, block, file_name, ClampNumberOfPrints(params.prints));
  };
  std::optional<PostScriptJob> made = MakePictureJob(services, params, image, grid, input, target);
  if (!made) return PrintOutcome::kNotPrinted;

  PostScriptJob& job = *made;
  StoreJobSize(services.store, job.image);
  if (!target.estimate_only &&
      ReadStatisticsMode(services.store) == StatisticsMode::kStatisticsOnly) {
    estimate(job.image);
    return PrintOutcome::kStatisticsOnly;
  }
  if (target.dump_separations) {
    const Outcome dumped = DumpPlanes(*target.dump_separations, job.image.AsJobBlock(),
                                      job.image.x_pixel, job.image.y_pixel);
    if (!dumped.ok()) {
      ShowError(services.notifier, *dumped.error);
      return PrintOutcome::kNotPrinted;
    }
  }
  if (target.estimate_only) {
    estimate(job.image);
    return PrintOutcome::kStatisticsOnly;
  }
  if (!SendPictureJob(services, target, job, DocumentName(input.caption, texts, layout), queue)) {
    return PrintOutcome::kNotPrinted;
  }
  if (ReadStatisticsMode(services.store) == StatisticsMode::kPrintAndStatistics) {
    estimate(job.image);
  }
  return PrintOutcome::kSent;
}

PrintOutcome PrintBlankPage(PrintServices services, const JobParameters& params,
                            const std::string& queue) {
  std::optional<PostScriptJob> job =
      BuildBlankPageJob(JobInputFrom(params, services), services.texts);
  if (!job) {
    ShowError(services.notifier, MemoryMessage(1));
    return PrintOutcome::kNotPrinted;
  }
  const bool sent = SendRawJob(
      SpoolServices{services.spooler, services.notifier, services.progress, services.texts}, queue,
      kBlankJobName, job->header, job->image.AsJobBlock(), job->trailer);
  return sent ? PrintOutcome::kSent : PrintOutcome::kNotPrinted;
}

}  // namespace kelvaro
