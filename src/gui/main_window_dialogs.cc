// The main window's dialogs: each opened from its menu entry on its model, with what the
// window does once it has closed.
#include <QEventLoop>
#include <QTimer>

#include "app/control_ids.h"
#include "app/dialog_models.h"
#include "app/paper_dialogs.h"
#include "app/pattern_dialogs.h"
#include "app/picture_size.h"
#include "app/window_commands.h"
#include "gui/black_removal_dialog.h"
#include "gui/colour_adjust_dialog.h"
#include "gui/custom_paper_dialog.h"
#include "gui/jpeg_settings_dialog.h"
#include "gui/language_dialog.h"
#include "gui/main_window.h"
#include "gui/margins_dialog.h"
#include "gui/pattern_setup_dialog.h"
#include "gui/printer_mode_dialog.h"
#include "gui/statistics_result_dialog.h"
#include "gui/statistics_setup_dialog.h"
#include "gui/toner_order_dialog.h"
#include "gui/units_dialog.h"
#include "printers/printer_models.h"

namespace kelvaro::gui {
namespace {

namespace c = control;
namespace m = command;

// Waits without freezing the window's painting.
void WaitPainting(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Runs the dialog of type D on `model` modally over `window`. It opens at the size its
// contents ask for and cannot be dragged smaller: its notes wrap, and a shorter window would
// cut their last lines off.
template <typename D, typename M>
void Run(M& model, const UiText& texts, QWidget* window) {
  D dialog(model, texts, window);
  dialog.setMinimumSize(dialog.sizeHint());
  dialog.exec();
}

}  // namespace

bool MainWindow::RunDialog(int id) {
  const UiText& texts = app_.texts;
  switch (id) {
    case m::kJpegSettings: {
      JpegSettingsModel model(app_.store);
      Run<JpegSettingsDialog>(model, texts, this);
      return true;
    }
    case m::kBlackRemovalDialog: {
      BlackRemovalModel model(app_.store, [this] { RedrawPreview(); });
      Run<BlackRemovalDialog>(model, texts, this);
      return true;
    }
    case m::kUnitsSettings:
      UnitsCommand();
      return true;
    case m::kPrintMargins:
      // New margins lay the picture out afresh when the session next looks.
      OpenMarginsDialog(model_.state().page);
      return true;
    case m::kCustomPaperSize:
      CustomPaperCommand();
      return true;
    case m::kColourDialog:
      ColourCommand();
      return true;
    case m::kPrinterMode:
      PrinterModeCommand();
      return true;
    case m::kStatisticsSetup: {
      StatisticsSetupModel model(app_.store, texts);
      Run<StatisticsSetupDialog>(model, texts, this);
      return true;
    }
    case m::kLanguage:
      LanguageCommand();
      return true;
    default:
      return false;
  }
}

void MainWindow::UnitsCommand() {
  UnitsModel model(app_.store);
  Run<UnitsDialog>(model, app_.texts, this);
  model_.ApplyStoredUnit();
  if (session_.has_picture()) ShowPictureSize(model_, session_.picture());
}

void MainWindow::CustomPaperCommand() {
  CustomPaperModel model(app_.store, model_.state().model_name, model_.state().paper_class,
                         [this](PageSize page) { OpenMarginsDialog(page); });
  Run<CustomPaperDialog>(model, app_.texts, this);
  RefillPaperList(model_);
}

void MainWindow::ColourCommand() {
  ColourAdjustModel model(model_.state().curves, model_.state().tone_table,
                          [this](const ColourAdjustModel& adjust) {
                            model_.SetToneCurves(adjust.curves(), adjust.table());
                            RedrawPreview();
                          });
  ColourAdjustDialog dialog(model, app_.texts, this);
  RedrawPreview();
  dialog.exec();
}

void MainWindow::PrinterModeCommand() {
  PrinterModeServices services{
      app_.store, SpoolServices{*options_.spooler, app_.notifier(), progress_sink(), app_.texts},
      WaitPainting};
  PrinterModeModel model(services, app_.texts, model_.state().paper_class,
                         model_.Text(c::kPrinterList));
  Run<PrinterModeDialog>(model, app_.texts, this);
}

void MainWindow::LanguageCommand() {
  LanguageModel model(app_.store, app_.texts, app_.notifier(), app_.folders().program);
  Run<LanguageDialog>(model, app_.texts, this);
  if (model.change() != LanguageChange::kNone) {
    rebuild_requested_ = true;
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

void MainWindow::TonerOrderCommand() {
  TonerOrderModel model(model_.white_first());
  Run<TonerOrderDialog>(model, app_.texts, this);
  const std::optional<bool> white_first = model.chosen();
  if (!white_first) return;
  Act([this, white_first] { ChooseTonerOrder(model_, app_.notifier(), *white_first); });
}

void MainWindow::PatternSetupCommand() {
  PatternSetupHooks hooks;
  hooks.print = [this] { session_.PrintToSelectedQueue(true); };
  hooks.redraw_main_preview = [this] { RedrawPreview(); };
  hooks.choices = options_.pattern_choices;
  PatternSetupModel model(app_, std::move(hooks));
  Run<PatternSetupDialog>(model, app_.texts, this);
}

void MainWindow::OpenMarginsDialog(PageSize page) {
  if (!options_.margin_source) options_.margin_source = std::make_unique<CupsMarginSource>();
  MarginsDialogInput input;
  input.page = page;
  input.model_name = model_.state().model_name;
  input.queue = model_.Text(c::kPrinterList);
  input.printer_attached = FindAttachedPrinter(input.model_name, options_.usb_entries).has_value();
  input.source = options_.margin_source.get();
  MarginsModel model(app_.store, std::move(input));
  Run<MarginsDialog>(model, app_.texts, this);
}

void MainWindow::ShowCostEstimate(const CostEstimate& estimate) {
  Run<StatisticsResultDialog>(estimate, app_.texts, this);
}

}  // namespace kelvaro::gui
