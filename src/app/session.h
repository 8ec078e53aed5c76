#ifndef KELVARO_APP_SESSION_H_
#define KELVARO_APP_SESSION_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/main_window_model.h"
#include "app/picture_load.h"
#include "app/preview_refresh.h"
#include "app/print_run.h"
#include "app/print_setup.h"
#include "image/color_management.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "platform/spooler.h"
#include "platform/step_timings.h"
#include "stats/cost_estimate.h"

namespace kelvaro {

// Runs one long step (decode, convert, separate, compose, spool) and returns when it is done.
// The window runs it on its worker thread and keeps painting meanwhile; the command line runs
// it where it stands. The step never touches the model.
using StepRunner = std::function<void(const std::function<void()>& step)>;

// What a session works with besides the start-up's context.
struct SessionServices {
  ProgressSink& progress;
  Spooler& spooler;
  // Pins the jobs' creation date (the SOURCE_DATE_EPOCH convention); unset: now.
  std::optional<std::string> source_date_epoch = {};
  // Shows a cost estimate (the result window, or lines on stdout). Unset: not shown.
  std::function<void(const CostEstimate&)> show_cost_estimate = {};
  // Unset: steps run where they are called.
  StepRunner run_step = {};
  // When set, every print also writes its five planes here (plane1.pgm ... plane5.pgm).
  std::optional<std::filesystem::path> dump_separations = {};
  // When set, the steps of every load and print add their wall times here.
  StepTimings* timings = nullptr;
};

// What the front end must do after a user action: the model asked for something only the
// front end has (a dialog, the platform's "open" action, closing the window).
struct FrontEndWork {
  std::vector<ModelRequest> requests;  // kOpenDocument and kCommand, in order
  bool redraw = false;                 // the preview changed
};

// One user's work on one picture, without a toolkit: the main-window model, the picture as
// loaded and as laid out, its file, and whether a long step is running. The window, the
// command line and the hot folder each hold one and print through `Print`, so the same
// choices give the same job.
//
// The laid-out picture follows the model: whatever changed Mirror, Flip, Rotate, Background
// Removal, the paper or the margins (a click, a medium, a setting file, Load Defaults), the
// picture is brought up to date before the next preview or print. It is rebuilt from the
// records kept at the load; the file is read again only for Flip and Background Removal,
// which work on the decoded pixels, and for a change of colour profiles.
class Session {
 public:
  Session(AppContext& app, SessionServices services);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  MainWindowModel& model() { return model_; }
  const MainWindowModel& model() const { return model_; }
  AppContext& app() { return app_; }

  // True while a long step runs. User actions are refused then (they return false), never
  // queued: the front end shows the model's state again.
  bool busy() const { return busy_; }

  // A user action on the model (a click, a key, a list choice), then everything it asked for
  // that the session can do itself. Refused while busy.
  std::optional<FrontEndWork> Act(const std::function<void()>& action);

  // The open command after its dialog (or a drop): the file is loaded, laid out for the page
  // in force and put on top of the recent files. False when it could not be loaded; the
  // picture shown before stays.
  bool Open(const std::filesystem::path& path);
  // Loads a picture for a run without a window: the choices are already applied; "Rotate" as
  // `rotate` chooses it, else as the fit decides. False after the loader's message.
  bool LoadForRun(const std::filesystem::path& path, std::optional<bool> rotate);
  // Loads the picture as the recent-file and profile commands do; true when it loaded.
  bool LoadFile(const std::string& path);
  // The open dialog was cancelled.
  void CancelOpen();

  // What the last load found (a load that got no colour transform says so here).
  const LoadedPicture& last_load() const { return last_load_; }

  // The start of a run without a window (`kelvaro print`, `cost`, `preview`, `info`, the hot
  // folder): the stored settings are held (see HoldStoredSettings), `choices` are applied in
  // the order a person would click, the picture (when given) is loaded, and then what needs
  // the picture is done: Fit to Page, the typed sizes. `refusal` is set when a choice was
  // refused (its text, if any, not yet shown); `loaded` is false after the loader's message.
  struct RunStart {
    std::optional<Refusal> refusal;
    bool loaded = false;
  };
  RunStart StartRun(const PrintChoices& choices,
                    const std::optional<std::filesystem::path>& picture,
                    const std::filesystem::path& usb_root);

  // Brings the laid-out picture up to date with the model (see above).
  void Update();

  // The preview of the page on an image area `area_width` pixels wide. The copies are laid
  // out on the fixed reference canvas the print uses and drawn scaled to this area, so the
  // preview shows what the job prints whatever the window's size.
  PreviewRefresh Preview(int area_width, PreviewPatternMask pattern_mask = {});

  // The print command: the picture as laid out, with the model's parameters, to `target`.
  // Nothing happens with no picture loaded.
  PrintOutcome Print(const PrintTarget& target);
  // Print to the queue selected in the printer list (the Print button and menu entry); with
  // `pattern` the stored pattern set-up knocks its screen out.
  PrintOutcome PrintToSelectedQueue(bool pattern = false);
  PrintOutcome PrintBlank(const std::string& queue);

  // Load Settings after its dialog; Save Settings; the toner-order dialog's choice.
  bool LoadSettingsFile(const std::filesystem::path& file, bool built_in);
  bool SaveSettingsFile(const std::filesystem::path& file);

  // A run without a window leaves the stored settings as they were: the rules' writes are
  // held in memory until the print has taken its parameters; the print's own records (the
  // last job's size, the active printer) are stored.
  void HoldStoredSettings();

  // The picture as laid out (after `Update`), and its file ("" with none).
  const WorkImage& picture() const { return picture_; }
  const std::filesystem::path& file() const { return file_; }
  bool has_picture() const { return model_.image_loaded() && !picture_.empty(); }
  // A run that prints once may drop what only a re-layout or the preview reads; its print
  // then takes the picture's grid for the planes (the picture is gone after it).
  void ReleaseLayoutRecords();
  // A run that only prints (no preview, no cost-only window): pictures are laid out without
  // the preview grid from now on.
  void PrintOnly() { print_only_ = true; }

  // What the laid-out picture was made for.
  struct LayoutBasis {
    bool mirror = false;
    bool flip = false;
    bool rotate = false;
    bool background_removal = false;
    PageSize page;
    Margins margins;
  };

  // The picture handed from one session to the next when the window is built again (a
  // language change): the new window shows it, laid out for its own state.
  struct KeptPicture {
    WorkImage picture;
    std::filesystem::path file;
    LoadedPicture load;
    LayoutBasis basis;
  };
  std::optional<KeptPicture> TakePicture();
  void AdoptPicture(KeptPicture kept);

 private:
  void RunStep(const std::function<void()>& step);
  // Carries out what the model asked for; returns what only the front end can do.
  FrontEndWork TakeRequests();
  bool HandleCommand(int id);
  // Loads `path` (a step), keeping the picture shown when it fails. With `keep_layout`, the
  // picture keeps its turn and printed scale (the same file read again).
  // `background_removal`, when given, decides the removal instead of the box.
  bool LoadPictureFile(const std::filesystem::path& path, std::optional<bool> rotate,
                       bool keep_layout, std::optional<bool> background_removal = std::nullopt);
  PictureLoad CurrentLoad(std::optional<bool> rotate) const;
  LayoutBasis CurrentBasis() const;
  void RefitToPage();
  void ShowSize();

  AppContext& app_;
  SessionServices services_;
  MainWindowModel model_;
  std::vector<ModelRequest> pending_;
  WorkImage picture_;
  std::filesystem::path file_;
  LayoutBasis basis_;
  LoadedPicture last_load_;
  ProofTransformCache proof_;  // made once, not on every refresh
  // The picture sampled at the preview copy's size; forgotten after every step, which may
  // have changed the picture.
  PreviewSampleCache preview_samples_;
  std::optional<SettingsStore::WriteHold> hold_;
  bool print_only_ = false;
  bool prints_once_ = false;  // see ReleaseLayoutRecords
  bool busy_ = false;
};

}  // namespace kelvaro

#endif  // KELVARO_APP_SESSION_H_
