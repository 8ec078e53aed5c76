// The main window's dialogs: each opened from its menu entry, with what the window does once
// it has closed.
#include <QEventLoop>
#include <QTimer>

#include "app/control_ids.h"
#include "app/dialog_rules.h"
#include "app/picture_size.h"
#include "gui/black_removal_dialog.h"
#include "gui/colour_adjust_dialog.h"
#include "gui/custom_paper_dialog.h"
#include "gui/jpeg_settings_dialog.h"
#include "gui/language_dialog.h"
#include "gui/main_window.h"
#include "gui/margins_dialog.h"
#include "gui/printer_mode_dialog.h"
#include "gui/statistics_result_dialog.h"
#include "gui/statistics_setup_dialog.h"
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

}  // namespace

bool MainWindow::RunDialog(int id) {
  switch (id) {
    case m::kJpegSettings: {
      JpegSettingsDialog dialog(app_.store, app_.texts, this);
      dialog.exec();
      return true;
    }
    case m::kBlackRemovalDialog: {
      BlackRemovalDialog dialog(
          app_.store, app_.texts, [this] { RedrawPreview(); }, this);
      dialog.exec();
      return true;
    }
    case m::kUnitsSettings: {
      UnitsDialog dialog(app_.store, app_.texts, this);
      dialog.exec();
      model_.ApplyStoredUnit();
      if (session_.has_picture()) ShowPictureSize(model_, session_.picture());
      return true;
    }
    case m::kPrintMargins:
      // New margins lay the picture out afresh when the session next looks.
      OpenMarginsDialog(model_.state().page);
      return true;
    case m::kCustomPaperSize: {
      CustomPaperDialog dialog(
          app_.store, app_.texts, model_.state().model_name, model_.state().paper_class,
          [this](PageSize page) { OpenMarginsDialog(page); }, this);
      dialog.exec();
      RefillPaperList(model_);
      return true;
    }
    case m::kColourDialog: {
      ColourAdjustDialog dialog(
          model_.state().curves, model_.state().tone_table, app_.texts,
          [this](const ColourAdjustModel& adjust) {
            model_.SetToneCurves(adjust.curves(), adjust.table());
            RedrawPreview();
          },
          this);
      RedrawPreview();
      dialog.exec();
      return true;
    }
    case m::kPrinterMode: {
      PrinterModeServices services{
          app_.store,
          SpoolServices{*options_.spooler, app_.notifier(), progress_sink(), app_.texts},
          WaitPainting};
      PrinterModeDialog dialog(services, app_.texts, model_.state().paper_class,
                               model_.Text(c::kPrinterList), this);
      dialog.exec();
      return true;
    }
    case m::kStatisticsSetup: {
      StatisticsSetupDialog dialog(app_.store, app_.texts, this);
      dialog.exec();
      return true;
    }
    case m::kLanguage: {
      LanguageDialog dialog(app_.store, app_.texts, app_.notifier(), app_.folders().program, this);
      dialog.exec();
      if (dialog.change() != LanguageChange::kNone) {
        rebuild_requested_ = true;
        QTimer::singleShot(0, this, [this] { close(); });
      }
      return true;
    }
    default:
      return false;
  }
}

void MainWindow::OpenMarginsDialog(PageSize page) {
  if (!options_.margin_source) options_.margin_source = std::make_unique<CupsMarginSource>();
  MarginsDialogInput input;
  input.page = page;
  input.model_name = model_.state().model_name;
  input.queue = model_.Text(c::kPrinterList);
  input.printer_attached = FindAttachedPrinter(input.model_name, options_.usb_entries).has_value();
  input.source = options_.margin_source.get();
  MarginsDialog dialog(app_.store, app_.texts, std::move(input), this);
  dialog.exec();
}

void MainWindow::ShowCostEstimate(const CostEstimate& estimate) {
  StatisticsResultDialog dialog(estimate, app_.texts, this);
  dialog.exec();
}

}  // namespace kelvaro::gui
