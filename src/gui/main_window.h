#ifndef KELVARO_GUI_MAIN_WINDOW_H_
#define KELVARO_GUI_MAIN_WINDOW_H_

#include <QIcon>
#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/main_window_model.h"
#include "app/pattern_dialogs.h"
#include "app/picture_load.h"
#include "app/session.h"
#include "gui/preview_widget.h"
#include "platform/cups_queues.h"
#include "platform/spooler.h"
#include "printers/printer_queues.h"
#include "stats/cost_estimate.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;
class QMenu;
class QProgressBar;

namespace kelvaro::gui {

// What the window needs beside the start-up's context.
struct WindowOptions {
  std::string model_name;                        // the active printer model
  PrinterQueueList queues;                       // the printer list
  std::unique_ptr<Spooler> spooler;              // where jobs go
  std::optional<std::string> source_date_epoch;  // pins the jobs' date
  // The open dialog; returns the chosen file or nothing when cancelled. Unset: the platform's.
  std::function<std::optional<std::string>()> choose_image;
  // The pattern windows' drawing choice and replace question. Unset: the platform's dialogs.
  PatternDialogChoices pattern_choices;
  // The USB printers attached ("USB\\VID_xxxx&PID_xxxx\\SERIAL"), for "Get Printer Margins".
  std::vector<std::string> usb_entries;
  // Where "Get Printer Margins" asks. Unset: the print system.
  std::unique_ptr<PrinterMarginSource> margin_source;
  // When set, every print also writes its five planes here (plane1.pgm ... plane5.pgm).
  std::optional<std::filesystem::path> dump_separations;
};

// The main window, a view of its session: every widget bound to the model by control id. A
// click goes to the session, which applies the model's rules and carries out what they ask
// (layout, load, print); the window shows the model's state, draws the preview the session
// computes and runs the dialogs. Long steps run on a worker thread while the window keeps
// painting; input to the window during a step is refused, never replayed afterwards.
class MainWindow final : public QMainWindow {
 public:
  MainWindow(AppContext& app, WindowOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  MainWindowModel& model() { return model_; }
  Session& session() { return session_; }
  // The widget or menu entry of a control id; nullptr when the window has none.
  QWidget* widget(int id) const;
  QAction* action(int id) const;
  const QImage& preview_image() const;
  int image_area_width() const;
  bool busy() const { return session_.busy(); }
  // The language was changed: the window has closed and must be built again from the new
  // texts.
  bool rebuild_requested() const { return rebuild_requested_; }

  // The picture at `path` loaded as the open command does after its dialog; true when it
  // loaded.
  bool OpenImage(const std::string& path);
  // Files dropped onto the image area.
  void DropFiles(const std::vector<std::string>& names);
  // The picture of the window this one replaces (a language change), laid out for this one.
  void AdoptPicture(Session::KeptPicture kept);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildControls();
  QLayout* BuildPrinterColumn();
  QGroupBox* BuildWhiteGroup();
  QLayout* BuildWhiteEdge();
  QGroupBox* BuildImageGroup();
  QGroupBox* BuildAlignGroup();
  QLayout* BuildPlacementGrid();
  QLayout* BuildPreviewTools();
  // Widgets bound to their control id and forwarding to the model.
  void ForwardToggles(QAbstractButton* button, int id);
  QLabel* BindLabel(int id);
  QCheckBox* BindCheckBox(int id);
  QPushButton* BindButton(int id);
  QToolButton* BindPictureButton(int id, bool toggle);
  QComboBox* BindList(int id, int label_id);
  QLineEdit* BindEdit(int id, int width);
  QSlider* BindSlider(int id, int label_id);
  QGroupBox* BindGroup(int id);
  void BuildMenus();
  void ScheduleMenuRebuild();
  void Bind(int id, QWidget* widget);
  void Refresh(int id);
  void RefreshMenuEntry(int id, const ControlState& state);
  void ShowState(QWidget* w, int id, const ControlState& state);
  void ShowItems(QComboBox* list, const ControlState& state);
  void ShowPicture(QWidget* w, int id, const ControlState& state);
  void RefreshAll();
  // Runs a user action through the session, then what only the window can do (dialogs,
  // documents) and the redraw. Refused while a step runs: the widgets show the model again.
  static SessionServices SessionServicesFor(MainWindow& window);
  void Act(const std::function<void()>& action);
  void RunFrontEndWork(const FrontEndWork& work);
  void RunCommand(int id);
  void RunLong(const std::function<void()>& work);
  void RedrawPreview();
  void OpenImageCommand();
  void OpenDocument(const std::string& name);
  void ChooseProfile(bool input);
  void SaveSettingsCommand();
  void LoadSettingsCommand(bool built_in);
  void TonerOrderCommand();
  void PatternSetupCommand();
  // The dialogs of the Tools and Utility menus and of Print Margins; false for other ids.
  bool RunDialog(int id);
  void UnitsCommand();
  void CustomPaperCommand();
  void ColourCommand();
  void PrinterModeCommand();
  void LanguageCommand();
  void OpenMarginsDialog(PageSize page);
  void ShowCostEstimate(const CostEstimate& estimate);
  ProgressSink& progress_sink();

  AppContext& app_;
  WindowOptions options_;
  class Progress;
  std::unique_ptr<Progress> progress_;
  class InputRefusal;
  std::unique_ptr<InputRefusal> input_refusal_;
  Session session_;
  MainWindowModel& model_;
  std::map<int, QWidget*> widgets_;
  std::map<int, QAction*> actions_;
  PreviewWidget* preview_ = nullptr;
  QLabel* zoom_label_ = nullptr;
  // The window size the sizing rule last settled on (or the saved one it opened with); a
  // resize to it is no drag.
  QSize settled_size_;
  bool redraw_after_step_ = false;
  bool menu_rebuild_pending_ = false;
  bool building_menus_ = false;
  bool built_in_submenu_ = false;  // the menus were built with the built-in settings submenu
  bool rebuild_requested_ = false;
};

// The picture resource of a bitmap name such as "#103".
QString PictureResource(const std::string& name);
// That picture drawn at `size` × `size` pixels; an empty icon for a name without a picture.
QIcon PictureIcon(const std::string& name, int size);

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_MAIN_WINDOW_H_
