#ifndef KELVARO_APP_PRINT_RUN_H_
#define KELVARO_APP_PRINT_RUN_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/job_parameters.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "platform/spooler.h"
#include "platform/step_timings.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "stats/cost_estimate.h"

namespace kelvaro {

// The services a print run uses. The store, texts and folders come from the start-up.
struct PrintServices {
  SettingsStore& store;
  const UiText& texts;
  Notifier& notifier;
  ProgressSink& progress;
  Spooler& spooler;
  // A whole number of seconds since 1970 that pins the job's creation date (the
  // SOURCE_DATE_EPOCH convention), for jobs that must come out the same every time; unset or
  // malformed means now.
  std::optional<std::string> source_date_epoch;
  // Shows a cost estimate: the result window, or the lines of the command line. Unset: the
  // estimate is made (and "TCOST" stored) but not shown.
  std::function<void(const CostEstimate&)> show_cost_estimate = {};
  // Where the separation and the job's composition and writing add their wall times; may be
  // null.
  StepTimings* timings = nullptr;
};

// Where the job goes: a queue of the print system, or "file:PATH" for a job file.
struct PrintTarget {
  std::string queue;
  // When set, the five planes of the image data block are also written here as
  // plane1.pgm ... plane5.pgm (Xpixel × Ypixel each).
  std::optional<std::filesystem::path> dump_separations;
  // The cost estimate of the job instead of the job: nothing is spooled, whatever the
  // statistics mode.
  bool estimate_only = false;
  // Pattern print: the stored pattern set-up knocks its screen out of the planes.
  bool pattern = false;
  // The picture is not printed again (a run that prints once): its grid may become the planes,
  // and it is empty after the separation.
  bool take_picture = false;
};

enum class PrintOutcome {
  kSent,            // the job reached the queue or the file
  kNotPrinted,      // a step failed; the user has been told
  kStatisticsOnly,  // statistics-only mode or an estimate only: no job, by the user's choice
};

// The print command on a loaded picture with the window's parameters: separation, copies
// grid, job, spooling. A queue that took the job is stored as the active printer. Stored
// margins that do not fit the page and a grid over the size limit are refused, with a
// message, before any work is done. The statistics mode ([Stats] Option) decides about the
// cost estimate: "1" instead of the job, "2" after it was spooled.
PrintOutcome PrintPicture(PrintServices services, const JobParameters& params, WorkImage& image,
                          const std::string& file_name, const PrintTarget& target);

// The blank-page job for the window's printer, paper, tray, media and number of prints.
PrintOutcome PrintBlankPage(PrintServices services, const JobParameters& params,
                            const std::string& queue);

}  // namespace kelvaro

#endif  // KELVARO_APP_PRINT_RUN_H_
