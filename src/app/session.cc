#include "app/session.h"

#include <utility>

#include "app/control_ids.h"
#include "app/file_selection.h"
#include "app/job_parameters.h"
#include "app/page_placement.h"
#include "app/picture_size.h"
#include "app/window_commands.h"
#include "settings/settings_file.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

namespace c = control;
namespace m = command;

namespace {

// Passes progress on and remembers the last status text, so that the session knows where a
// step stopped whatever front end shows it.
class StatusMemory final : public ProgressSink {
 public:
  explicit StatusMemory(ProgressSink& next) : next_(next) {}
  void SetStatus(const std::string& text) override {
    last_ = text;
    next_.SetStatus(text);
  }
  void SetProgress(long long value, long long maximum) override {
    next_.SetProgress(value, maximum);
  }
  const std::string& last() const { return last_; }

 private:
  ProgressSink& next_;
  std::string last_;
};

}  // namespace

Session::Session(AppContext& app, SessionServices services)
    : app_(app), services_(std::move(services)), model_(app.store, app.texts) {
  model_.SetRequestObserver([this](const ModelRequest& request) { pending_.push_back(request); });
}

void Session::RunStep(const std::function<void()>& step) {
  busy_ = true;
  if (services_.run_step) {
    services_.run_step(step);
  } else {
    step();
  }
  preview_samples_.Forget();
  busy_ = false;
}

std::optional<FrontEndWork> Session::Act(const std::function<void()>& action) {
  if (busy_) return std::nullopt;
  action();
  return TakeRequests();
}

FrontEndWork Session::TakeRequests() {
  FrontEndWork work;
  while (!pending_.empty()) {
    std::vector<ModelRequest> batch;
    batch.swap(pending_);
    for (const ModelRequest& request : batch) {
      switch (request.kind) {
        case RequestKind::kRedrawPreview:
        case RequestKind::kRecapturePreview:
        // The layout follows the model's state in Update, whichever rule changed it.
        case RequestKind::kReloadImage:
        case RequestKind::kReapplyLayout:
        case RequestKind::kReapplyPaperLayout:
        case RequestKind::kReapplyCrop:
          break;
        case RequestKind::kRefreshSizeFields:
          Update();
          if (has_picture()) ShowSize();
          break;
        case RequestKind::kApplyCopyCounts:
          ApplyCopyCounts(model_);
          break;
        case RequestKind::kApplyTypedSize:
          Update();
          if (has_picture()) ApplyTypedSize(model_, picture_, request.id);
          break;
        case RequestKind::kFitToPage:
          Update();
          if (has_picture()) FitPictureToPage(model_, picture_);
          break;
        case RequestKind::kReloadAfterProfileChange:
          ReloadNewestFile(model_, app_.folders().user,
                           [this](const std::string& path) { return LoadFile(path); });
          break;
        case RequestKind::kRunPrint:
          PrintToSelectedQueue();
          break;
        case RequestKind::kOpenDocument:
          work.requests.push_back(request);
          break;
        case RequestKind::kCommand:
          if (!HandleCommand(request.id)) work.requests.push_back(request);
          break;
      }
      work.redraw = true;
    }
  }
  Update();
  return work;
}

bool Session::HandleCommand(int id) {
  for (std::size_t k = 0; k < m::kRecentFiles.size(); ++k) {
    if (m::kRecentFiles[k] == id) {
      OpenRecentFile(model_, app_.folders().user, static_cast<int>(k) + 1,
                     [this](const std::string& path) { return LoadFile(path); });
      return true;
    }
  }
  switch (id) {
    case m::kLoadDefaults:
      LoadDefaults(model_);
      return true;
    case m::kPrintBlankPage:
      PrintBlank(GatherJobParameters(model_).printer_queue);
      return true;
    default:
      return RunMenuCommand(model_, id, [this](const std::string& path) { return LoadFile(path); });
  }
}

PictureLoad Session::CurrentLoad(std::optional<bool> rotate) const {
  PictureLoad load = PictureLoadFor(GatherJobParameters(model_), rotate);
  load.preview = !print_only_;
  // A run that only prints lays its picture out once and drops the records afterwards (see
  // ReleaseLayoutRecords); they are given back as they are oriented.
  load.release_records = print_only_;
  load.timings = services_.timings;
  return load;
}

Session::LayoutBasis Session::CurrentBasis() const {
  const JobParameters params = GatherJobParameters(model_);
  return LayoutBasis{params.mirror, params.flip,   params.rotate, params.background_removal,
                     params.page,   params.margins};
}

void Session::ShowSize() { ShowPictureSize(model_, picture_); }

bool Session::LoadPictureFile(const std::filesystem::path& path, std::optional<bool> rotate,
                              bool keep_layout, std::optional<bool> background_removal) {
  PictureLoad load = CurrentLoad(rotate);
  if (background_removal) load.background_removal = *background_removal;
  WorkImage fresh;
  LoadedPicture loaded;
  RunStep([&] {
    loaded =
        LoadPicture(app_.store, app_.texts, app_.notifier(), services_.progress, load, path, fresh);
  });
  last_load_ = loaded;
  if (!loaded.loaded) return false;
  if (keep_layout && !picture_.empty()) {
    // The same pixels read again: the picture keeps the printed scale it had.
    fresh.x_dpi = picture_.x_dpi;
    fresh.y_dpi = picture_.y_dpi;
    fresh.scale_factor = picture_.scale_factor;
    fresh.oriented_width_pt = picture_.oriented_width_pt;
    fresh.oriented_height_pt = picture_.oriented_height_pt;
  }
  picture_ = std::move(fresh);
  file_ = path;
  model_.SetChecked(c::kRotate, loaded.rotate);
  basis_ = CurrentBasis();
  ShowSize();
  return true;
}

bool Session::Open(const std::filesystem::path& path) {
  if (busy_) return false;
  const PendingLoad pending = BeginImageLoad(model_, path.string());
  // A new picture keeps its background until the user asks otherwise: the Background Removal
  // box is cleared once it has loaded (see FinishImageLoad), so it is not removed meanwhile.
  const bool loaded = LoadPictureFile(path, std::nullopt, false, false);
  FinishImageLoad(model_, app_.folders().user, pending, last_load_);
  if (loaded) basis_ = CurrentBasis();
  pending_.clear();
  return loaded;
}

bool Session::LoadForRun(const std::filesystem::path& path, std::optional<bool> rotate) {
  if (!LoadPictureFile(path, rotate, false)) return false;
  model_.SetLoadedFile(path.filename().string());
  pending_.clear();
  return true;
}

bool Session::LoadFile(const std::string& path) {
  return LoadPictureFile(path, std::nullopt, false);
}

void Session::CancelOpen() { CancelImageSelection(model_); }

void Session::RefitToPage() {
  const PictureLoad load = CurrentLoad(std::nullopt);
  std::optional<bool> rotate;
  RunStep([&] { rotate = FitPictureAfresh(picture_, load, services_.progress); });
  if (rotate) model_.SetChecked(c::kRotate, *rotate);
  basis_ = CurrentBasis();
  ShowSize();
}

void Session::Update() {
  if (!has_picture() || busy_) return;
  const LayoutBasis now = CurrentBasis();
  if (now.flip != basis_.flip || now.background_removal != basis_.background_removal) {
    // Both work on the decoded pixels: the file is read again, at the same layout.
    if (!LoadPictureFile(file_, now.rotate, true)) {
      model_.SetText(c::kStatusLine, app_.texts.Get(ui::kUnsuitableFileStatus));
      basis_ = now;  // not tried again on every redraw
      return;
    }
    model_.SetText(c::kStatusLine, app_.texts.Get(ui::kLoadedStatus));
  }
  if (now.page != basis_.page || now.margins != basis_.margins) {
    RefitToPage();
    return;
  }
  if (now.mirror != basis_.mirror || now.rotate != basis_.rotate) {
    const PictureLoad load = CurrentLoad(now.rotate);
    RunStep([&] { OrientPictureAgain(picture_, load, services_.progress); });
    basis_ = now;
    ShowSize();
  }
}

PreviewRefresh Session::Preview(int area_width, PreviewPatternMask pattern_mask) {
  if (busy_) return {};
  Update();
  model_.SetImageAreaWidth(area_width);
  return RefreshPreview(
      model_, picture_,
      PreviewServices{app_.notifier(), proof_, std::move(pattern_mask), &preview_samples_});
}

PrintOutcome Session::Print(const PrintTarget& target) {
  if (busy_ || !has_picture()) return PrintOutcome::kNotPrinted;
  Update();
  const JobParameters params = GatherJobParameters(model_);
  if (const std::optional<CopiesPlan> plan = PlanCopies(params, picture_);
      plan && !CopiesFitThePage(*plan)) {
    app_.notifier().Show(kProgramTitle, kCopiesDoNotFitText, MessageIcon::kWarning);
  }
  // What the rules stored for this run has been read into the parameters; from here on the
  // print's own records reach the file.
  hold_.reset();
  StatusMemory progress(services_.progress);
  const PrintServices services{app_.store,
                               app_.texts,
                               app_.notifier(),
                               progress,
                               services_.spooler,
                               services_.source_date_epoch,
                               services_.show_cost_estimate,
                               services_.timings};
  const std::string file_name = file_.filename().string();
  PrintOutcome outcome = PrintOutcome::kNotPrinted;
  PrintTarget run = target;
  run.take_picture = run.take_picture || prints_once_;
  RunStep([&] { outcome = PrintPicture(services, params, picture_, file_name, run); });
  // A queue that did not take the job must not leave "Printing" on the status line.
  if (outcome == PrintOutcome::kNotPrinted &&
      progress.last() == app_.texts.Get(ui::kPrintingStatus)) {
    model_.SetText(c::kStatusLine, app_.texts.Get(ui::kCancelledStatus));
  }
  return outcome;
}

PrintOutcome Session::PrintToSelectedQueue(bool pattern) {
  PrintTarget target;
  target.queue = GatherJobParameters(model_).printer_queue;
  target.dump_separations = services_.dump_separations;
  target.pattern = pattern;
  return Print(target);
}

PrintOutcome Session::PrintBlank(const std::string& queue) {
  if (busy_) return PrintOutcome::kNotPrinted;
  const JobParameters params = GatherJobParameters(model_);
  hold_.reset();
  const PrintServices services{app_.store,         app_.texts,        app_.notifier(),
                               services_.progress, services_.spooler, services_.source_date_epoch};
  PrintOutcome outcome = PrintOutcome::kNotPrinted;
  RunStep([&] { outcome = PrintBlankPage(services, params, queue); });
  return outcome;
}

bool Session::LoadSettingsFile(const std::filesystem::path& file, bool built_in) {
  if (busy_) return false;
  const bool loaded = LoadSettingsFileIntoWindow(
      model_, file, built_in ? SettingsFileSource::kCommonFolder : SettingsFileSource::kUserFolder);
  TakeRequests();
  return loaded;
}

bool Session::SaveSettingsFile(const std::filesystem::path& file) {
  return kelvaro::SaveSettingsFile(app_.store, file, SettingsFileControlsOf(model_),
                                   model_.state().curves);
}

Session::RunStart Session::StartRun(const PrintChoices& choices,
                                    const std::optional<std::filesystem::path>& picture,
                                    const std::filesystem::path& usb_root) {
  RunStart start;
  HoldStoredSettings();
  start.refusal = ApplyPrintChoices(model_, choices, usb_root);
  pending_.clear();
  if (start.refusal || !picture) return start;
  start.loaded = LoadForRun(*picture, choices.rotate);
  if (!start.loaded) return start;
  // What a person does once the picture is shown: Fit to Page, then the sizes typed in.
  if (choices.fit_to_page) Act([this] { model_.Click(c::kFitToPage); });
  for (const auto& entry : {std::pair{choices.typed_width, c::kXSizeEdit},
                            std::pair{choices.typed_height, c::kYSizeEdit}}) {
    if (!entry.first) continue;
    Act([this, &entry] {
      model_.SetText(entry.second, *entry.first);
      model_.PressEnter(entry.second, false);
    });
  }
  return start;
}

void Session::HoldStoredSettings() {
  if (!hold_) hold_.emplace(app_.store.HoldWrites());
}

void Session::ReleaseLayoutRecords() {
  prints_once_ = true;
  PixelBytes().swap(picture_.raw);
  PixelBytes().swap(picture_.preview);
}

std::optional<Session::KeptPicture> Session::TakePicture() {
  if (!has_picture()) return std::nullopt;
  KeptPicture kept{std::move(picture_), std::move(file_), last_load_, basis_};
  picture_ = WorkImage{};
  preview_samples_.Forget();
  file_.clear();
  return kept;
}

void Session::AdoptPicture(KeptPicture kept) {
  if (kept.picture.empty()) return;
  picture_ = std::move(kept.picture);
  preview_samples_.Forget();
  file_ = std::move(kept.file);
  last_load_ = kept.load;
  basis_ = kept.basis;
  model_.SetChecked(c::kBackgroundRemoval, basis_.background_removal);
  model_.SetEnabled(c::kBackgroundRemoval, !last_load_.transparent);
  model_.SetLoadedFile(file_.filename().string());
  for (int id : {c::kPrintButton, m::kPrint, m::kPrintBlankPage}) model_.SetEnabled(id, true);
  // The picture keeps its turn; the rest of this window's state lays it out.
  model_.SetChecked(c::kRotate, basis_.rotate);
  Update();
  ShowSize();
}

}  // namespace kelvaro
