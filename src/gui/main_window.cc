#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>
#include <filesystem>
#include <thread>

#include "app/control_ids.h"
#include "app/control_names.h"
#include "app/file_selection.h"
#include "app/job_parameters.h"
#include "app/picture_size.h"
#include "app/preview_refresh.h"
#include "app/print_run.h"
#include "app/window_commands.h"
#include "app/window_geometry.h"
#include "gui/qt_notifier.h"
#include "image/profiles.h"
#include "settings/job_settings.h"
#include "settings/keys.h"
#include "settings/settings_file.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString PictureResource(const std::string& name) {
  if (name.size() < 2 || name[0] != '#') return {};
  return ":/pictures/" + Q(name.substr(1)) + ".svg";
}

QIcon PictureIcon(const std::string& name, int size) {
  QSvgRenderer renderer(PictureResource(name));
  if (!renderer.isValid()) return {};
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(size * scale, size * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
  }
  return icon;
}

// Progress and status texts from the worker reach the model on the window's thread, in order.
class MainWindow::Progress final : public ProgressSink {
 public:
  explicit Progress(MainWindow& window) : window_(window) {}
  void SetStatus(const std::string& text) override {
    if (text.empty()) return;
    Post([this, text] { window_.model_.SetText(c::kStatusLine, text); });
  }
  void SetProgress(long long value, long long maximum) override {
    const int percent =
        maximum <= 0 ? 0 : static_cast<int>(std::clamp(value * 100 / maximum, 0LL, 100LL));
    Post([this, percent] { window_.model_.SetValue(c::kProgressBar, percent); });
  }

 private:
  void Post(std::function<void()> work) {
    QMetaObject::invokeMethod(&window_, std::move(work), Qt::QueuedConnection);
  }
  MainWindow& window_;
};

// Keeps input away from the window while a step runs. Dialogs and message boxes the step
// raises are windows of their own and are not touched. A refused click is dropped, not kept
// for later.
class MainWindow::InputRefusal final : public QObject {
 public:
  explicit InputRefusal(MainWindow& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::Drop: {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && widget->window() == &window_;
      }
      default:
        return false;
    }
  }

 private:
  MainWindow& window_;
};

SessionServices MainWindow::SessionServicesFor(MainWindow& window) {
  SessionServices services{*window.progress_, *window.options_.spooler,
                           window.options_.source_date_epoch};
  services.show_cost_estimate = [&window](const CostEstimate& estimate) {
    RunOnGuiThread([&window, &estimate] { window.ShowCostEstimate(estimate); });
  };
  services.run_step = [&window](const std::function<void()>& step) { window.RunLong(step); };
  services.dump_separations = window.options_.dump_separations;
  return services;
}

MainWindow::MainWindow(AppContext& app, WindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      options_(std::move(options)),
      progress_(std::make_unique<Progress>(*this)),
      input_refusal_(std::make_unique<InputRefusal>(*this)),
      session_(app, SessionServicesFor(*this)),
      model_(session_.model()) {
  setAcceptDrops(false);
  // The window's width follows its height (see resizeEvent), so there is nothing to maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  model_.SetControlObserver([this](int id) { Refresh(id); });

  // Geometry first: the preview's width is part of the layout.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screen_size = screen ? screen->size() : QSize(1920, 1080);
  const WindowGeometry geometry =
      RestoreWindowGeometry(app_.store, screen_size.width(), screen_size.height());

  setCentralWidget(BuildControls());
  SetUpWindowState(model_, options_.model_name, app_.job_settings);
  ShowPrinterQueues(model_, options_.queues);
  ShowRecentFiles(model_, app_.recent_files);
  BuildMenus();
  RefreshAll();

  // A saved geometry opens as it was saved, image area included; the sizing rule is for
  // drags.
  // The smallest window is the sizing rule's, not the image area's current size: otherwise a
  // large window could never be dragged small again.
  const DraggedSize smallest = SizeForDrag(kDefaultWindowWidth, kDefaultWindowHeight);
  setMinimumSize(smallest.width, smallest.height);
  settled_size_ = QSize(geometry.width, geometry.height);
  preview_->setFixedSize(geometry.image_area_width, geometry.image_area_height);
  resize(geometry.width, geometry.height);
  move(geometry.x, geometry.y);
  // What building the window asked for is its first state, not a user's action.
  session_.Act([] {});
  RedrawPreview();
}

MainWindow::~MainWindow() = default;

ProgressSink& MainWindow::progress_sink() { return *progress_; }

QWidget* MainWindow::widget(int id) const {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

QAction* MainWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

const QImage& MainWindow::preview_image() const { return preview_->image(); }
int MainWindow::image_area_width() const { return preview_->width(); }

// --- Building. ---

void MainWindow::Bind(int id, QWidget* widget) {
  widgets_[id] = widget;
  widget->setObjectName(QString("control%1").arg(id));
}

// A state change reaches the model however it came (mouse, keyboard, assistive technology);
// the widget then shows what the model made of it. Refresh blocks these signals, so the
// model's own changes do not come back.
void MainWindow::ForwardToggles(QAbstractButton* button, int id) {
  connect(button, &QAbstractButton::toggled, this, [this, id](bool checked) {
    if (model_.Control(id).checked != checked) Act([this, id] { model_.Click(id); });
    Refresh(id);
  });
}

QLabel* MainWindow::BindLabel(int id) {
  auto* label = new QLabel;
  Bind(id, label);
  return label;
}

QCheckBox* MainWindow::BindCheckBox(int id) {
  auto* box = new QCheckBox;
  Bind(id, box);
  ForwardToggles(box, id);
  return box;
}

QPushButton* MainWindow::BindButton(int id) {
  auto* button = new QPushButton;
  button->setAutoDefault(true);  // Return presses the focused button, as Space does
  Bind(id, button);
  connect(button, &QPushButton::clicked, this,
          [this, id] { Act([this, id] { model_.Click(id); }); });
  return button;
}

QToolButton* MainWindow::BindPictureButton(int id, bool toggle) {
  auto* button = new QToolButton;
  button->setIconSize(QSize(24, 24));
  button->setCheckable(toggle);
  button->setAutoRaise(!toggle);
  Bind(id, button);
  if (toggle) {
    ForwardToggles(button, id);
  } else {
    connect(button, &QToolButton::clicked, this,
            [this, id] { Act([this, id] { model_.Click(id); }); });
  }
  return button;
}

// A list named by the caption label `label_id`, which is built with it.
QComboBox* MainWindow::BindList(int id, int label_id) {
  auto* list = new QComboBox;
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(12);
  Bind(id, list);
  connect(list, &QComboBox::currentIndexChanged, this, [this, id](int index) {
    if (index >= 0 && model_.Control(id).selected != index) {
      Act([this, id, index] { model_.PickItem(id, index); });
    }
    Refresh(id);
  });
  BindLabel(label_id)->setBuddy(list);
  return list;
}

QLineEdit* MainWindow::BindEdit(int id, int width) {
  auto* edit = new QLineEdit;
  edit->setFixedWidth(width);
  Bind(id, edit);
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textChanged, this, [this, id](const QString& text) {
    if (model_.Control(id).caption != text.toStdString()) model_.SetText(id, text.toStdString());
  });
  return edit;
}

QSlider* MainWindow::BindSlider(int id, int label_id) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(0, 100);
  Bind(id, slider);
  connect(slider, &QSlider::valueChanged, this, [this, id](int value) {
    if (model_.Value(id) != value) Act([this, id, value] { model_.MoveSlider(id, value); });
    Refresh(id);
  });
  // Its caption label is built first and names it for screen readers.
  if (auto* caption = qobject_cast<QLabel*>(widget(label_id))) caption->setBuddy(slider);
  return slider;
}

QGroupBox* MainWindow::BindGroup(int id) {
  auto* box = new QGroupBox;
  Bind(id, box);
  return box;
}

namespace {

// `items` side by side, packed to the left unless `stretch` is false.
QHBoxLayout* Row(std::initializer_list<QWidget*> items, bool stretch = true) {
  auto* layout = new QHBoxLayout;
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  for (QWidget* item : items) layout->addWidget(item);
  if (stretch) layout->addStretch(1);
  return layout;
}

}  // namespace

QWidget* MainWindow::BuildControls() {
  auto* root = new QWidget;
  auto* outer = new QVBoxLayout(root);
  outer->setContentsMargins(4, 2, 4, 2);
  outer->setSpacing(2);
  auto* main_row = new QHBoxLayout;
  main_row->setSpacing(6);
  outer->addLayout(main_row, 1);

  // The image area.
  preview_ = new PreviewWidget;
  Bind(c::kPreviewImage, preview_);
  preview_->setAccessibleName(Q(app_.texts.Get(ui::kProgramTitle)));
  preview_->SetDropHandler([this](const std::vector<std::string>& files) { DropFiles(files); });
  main_row->addWidget(preview_, 0, Qt::AlignTop);

  auto* panel = new QGridLayout;
  panel->setSpacing(6);
  main_row->addLayout(panel, 1);
  panel->addLayout(BuildPrinterColumn(), 0, 0);
  auto* middle = new QVBoxLayout;
  middle->setSpacing(4);
  middle->addWidget(BuildWhiteGroup());
  middle->addWidget(BuildImageGroup());
  middle->addStretch(1);
  panel->addLayout(middle, 0, 1);
  panel->addWidget(BuildAlignGroup(), 0, 2);
  panel->setColumnStretch(0, 1);
  panel->setColumnStretch(1, 1);
  panel->setColumnStretch(2, 1);

  // Status line and progress bar under everything.
  auto* status = BindLabel(c::kStatusLine);
  status->setFrameShape(QFrame::StyledPanel);
  status->setMinimumWidth(260);
  auto* bar = new QProgressBar;
  bar->setRange(0, 100);
  bar->setTextVisible(false);
  bar->setMaximumHeight(14);
  Bind(c::kProgressBar, bar);
  outer->addLayout(Row({status, bar}, false));
  return root;
}

// Column 1: title, printer group, actions, hands.
QLayout* MainWindow::BuildPrinterColumn() {
  auto* printer = new QVBoxLayout;
  printer->setSpacing(2);
  auto* indicator = new QLabel;
  Bind(c::kTonerOrderIndicator, indicator);
  QLabel* title = BindLabel(c::kTitleLine);
  title->setWordWrap(true);
  QFont title_font = title->font();
  title_font.setBold(true);
  title->setFont(title_font);
  printer->addLayout(Row({indicator, title}));
  for (auto [list, label] : {std::pair{c::kPrinterList, c::kPrinterListLabel},
                             std::pair{c::kMediaList, c::kMediaListLabel}}) {
    QComboBox* box = BindList(list, label);
    printer->addWidget(widget(label));
    printer->addWidget(box);
  }
  QLabel* tip = BindLabel(c::kMediaTipLine);
  tip->setWordWrap(true);
  tip->setStyleSheet("color: #1b4f91;");
  printer->addWidget(tip);
  for (auto [list, label] :
       {std::pair{c::kPaperList, c::kPaperListLabel}, std::pair{c::kTrayList, c::kTrayListLabel}}) {
    QComboBox* box = BindList(list, label);
    printer->addWidget(widget(label));
    printer->addWidget(box);
  }
  QLineEdit* copies = BindEdit(c::kCopiesEdit, 50);
  BindLabel(c::kCopiesLabel)->setBuddy(copies);
  printer->addLayout(Row({widget(c::kCopiesLabel), copies}));
  printer->addSpacing(4);
  QPushButton* print = BindButton(c::kPrintButton);
  QFont bold = print->font();
  bold.setBold(true);
  print->setFont(bold);
  print->setMinimumHeight(34);
  printer->addWidget(print);
  printer->addWidget(BindButton(c::kPatternPrintButton));
  printer->addLayout(
      Row({BindPictureButton(c::kLeftHand, true), BindPictureButton(c::kRightHand, true)}));
  printer->addStretch(1);
  return printer;
}

// Column 2, top: the white controls.
QGroupBox* MainWindow::BuildWhiteGroup() {
  QGroupBox* white = BindGroup(c::kWhiteControlsGroup);
  auto* grid = new QGridLayout(white);
  grid->setSpacing(2);
  grid->addWidget(BindCheckBox(c::kPrintWhite), 0, 0);
  grid->addWidget(BindCheckBox(c::kPrintCmy), 0, 1);
  grid->addWidget(BindCheckBox(c::kDisplayWhite), 1, 0);
  grid->addWidget(BindCheckBox(c::kThresholdOn), 1, 1);
  grid->addWidget(BindLabel(c::kWhiteDensityLabel), 2, 0, 1, 2);
  grid->addWidget(BindSlider(c::kWhiteDensitySlider, c::kWhiteDensityLabel), 3, 0);
  grid->addWidget(BindLabel(c::kWhiteDensityValue), 3, 1);
  grid->addWidget(BindLabel(c::kThresholdLabel), 4, 0, 1, 2);
  grid->addWidget(BindSlider(c::kThresholdSlider, c::kThresholdLabel), 5, 0);
  grid->addWidget(BindLabel(c::kThresholdValue), 5, 1);
  grid->addLayout(BuildWhiteEdge(), 6, 0, 1, 2);
  grid->addWidget(BindCheckBox(c::kWhiteView), 7, 0, 1, 2);
  return white;
}

// The white edge: a width in millimetres and which way it moves the white's border.
QLayout* MainWindow::BuildWhiteEdge() {
  auto* width = new QDoubleSpinBox;
  width->setDecimals(2);
  width->setRange(0.0, kWhiteEdgeLimit / 100.0);
  width->setSingleStep(kWhiteEdgeStep / 100.0);
  width->setSuffix(" mm");
  width->setKeyboardTracking(false);  // a half-typed number is not a width yet
  Bind(c::kWhiteEdgeWidth, width);
  connect(width, &QDoubleSpinBox::valueChanged, this, [this](double millimetres) {
    Act([this, millimetres] { model_.ChangeWhiteEdgeWidth(millimetres); });
    Refresh(c::kWhiteEdgeWidth);
  });
  QComboBox* mode = BindList(c::kWhiteEdgeMode, c::kWhiteEdgeLabel);
  mode->setMinimumContentsLength(6);
  static_cast<QLabel*>(widget(c::kWhiteEdgeLabel))->setBuddy(width);
  return Row({widget(c::kWhiteEdgeLabel), width, mode});
}

// Column 2, below: the image controls.
QGroupBox* MainWindow::BuildImageGroup() {
  QGroupBox* image = BindGroup(c::kImageControlsGroup);
  auto* grid = new QGridLayout(image);
  grid->setSpacing(2);
  const int boxes[] = {
      c::kMirror,       c::kRotate,        c::kFlip, c::kGuardArea, c::kBackgroundRemoval,
      c::kBlackRemoval, c::kPatternPreview};
  for (int i = 0; i < 7; ++i) grid->addWidget(BindCheckBox(boxes[i]), i / 2, i % 2);
  grid->addWidget(BindLabel(c::kBrightnessLabel), 4, 0, 1, 2);
  grid->addLayout(
      Row({BindSlider(c::kBrightnessSlider, c::kBrightnessLabel), BindLabel(c::kBrightnessValue),
           BindPictureButton(c::kBrightnessReset, false)},
          false),
      5, 0, 1, 2);
  grid->addWidget(BindLabel(c::kContrastLabel), 6, 0, 1, 2);
  grid->addLayout(Row({BindSlider(c::kContrastSlider, c::kContrastLabel),
                       BindLabel(c::kContrastValue), BindPictureButton(c::kContrastReset, false)},
                      false),
                  7, 0, 1, 2);
  return image;
}

// Column 3: layout.
QGroupBox* MainWindow::BuildAlignGroup() {
  QGroupBox* align = BindGroup(c::kAlignControlsGroup);
  auto* grid = new QGridLayout(align);
  grid->setSpacing(2);
  auto field = [&](int r, int col, int label_id, int edit_id) {
    QLineEdit* e = BindEdit(edit_id, 56);
    QLabel* l = label_id != 0 ? BindLabel(label_id) : new QLabel(Q(app_.texts.Get(ui::kZoomLabel)));
    if (label_id == 0) zoom_label_ = l;
    l->setBuddy(e);
    grid->addWidget(l, r, col);
    grid->addWidget(e, r, col + 1);
  };
  field(0, 0, c::kDpiLabel, c::kDpiEdit);
  field(0, 2, 0, c::kZoomEdit);
  field(1, 0, c::kXCopyLabel, c::kXCopyEdit);
  field(1, 2, c::kYCopyLabel, c::kYCopyEdit);
  field(2, 0, c::kTotalLabel, c::kTotalEdit);
  field(3, 0, c::kXSizeLabel, c::kXSizeEdit);
  field(3, 2, c::kYSizeLabel, c::kYSizeEdit);
  grid->addWidget(BindLabel(c::kUnitLabel), 2, 3);
  grid->addWidget(BindCheckBox(c::kAutomaticTile), 4, 0, 1, 4);
  grid->addWidget(BindCheckBox(c::kOptimalLayout), 5, 0, 1, 4);
  grid->addWidget(BindButton(c::kFitToPage), 6, 0, 1, 2);
  grid->addLayout(BuildPlacementGrid(), 7, 0, 1, 2);
  auto* small = new QGridLayout;
  small->setSpacing(0);
  const int small_ids[] = {c::kSmallX1, c::kSmallX2, c::kSmallX3, c::kSmallX4};
  for (int i = 0; i < 4; ++i) {
    QPushButton* x = BindButton(small_ids[i]);
    x->setFixedSize(22, 22);
    small->addWidget(x, i / 2, i % 2);
  }
  grid->addLayout(small, 7, 2, 1, 2, Qt::AlignLeft);
  grid->addLayout(BuildPreviewTools(), 8, 0, 1, 4);
  grid->setRowStretch(9, 1);
  return align;
}

// The 3 × 3 option buttons that place a single copy on the page.
QLayout* MainWindow::BuildPlacementGrid() {
  auto* placement = new QGridLayout;
  placement->setSpacing(0);
  for (int id = c::kPlacementTopLeft; id <= c::kPlacementBottomRight; ++id) {
    auto* option = new QRadioButton;
    option->setAutoExclusive(false);
    Bind(id, option);
    ForwardToggles(option, id);
    const int index = id - c::kPlacementTopLeft;
    placement->addWidget(option, index / 3, index % 3);
  }
  return placement;
}

// The preview's tool buttons, six to a row.
QLayout* MainWindow::BuildPreviewTools() {
  auto* tools = new QGridLayout;
  tools->setSpacing(0);
  int index = 0;
  auto add = [&](int id) {
    tools->addWidget(BindPictureButton(id, false), index / 6, index % 6);
    ++index;
  };
  for (int id = c::kFirstPreviewTool; id <= c::kLastPreviewTool; ++id) add(id);
  add(c::kPreviewToolPaper);
  return tools;
}

void MainWindow::BuildMenus() {
  menu_rebuild_pending_ = false;
  building_menus_ = true;
  const UiText& texts = app_.texts;
  QMenuBar* bar = menuBar();
  bar->clear();
  // The old menus go with their entries and submenus; later, as the rebuild may have been
  // asked for by one of their entries.
  for (QMenu* old : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) old->deleteLater();
  actions_.clear();
  auto entry = [&](QMenu* menu, int id) {
    QAction* a = menu->addAction(QString());
    actions_[id] = a;
    a->setObjectName(QString("command%1").arg(id));
    connect(a, &QAction::triggered, this, [this, id] { Act([this, id] { model_.Click(id); }); });
    if (id == m::kPrint) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Refresh(id);
    return a;
  };
  QMenu* file = bar->addMenu(Q(texts.Get(ui::kFileMenu)));
  for (int id : {m::kOpenFile, m::kPrint, m::kPrintMargins, m::kPrintBlankPage}) entry(file, id);
  file->addSeparator();
  for (int id : m::kRecentFiles) entry(file, id);
  file->addSeparator();
  entry(file, m::kExit);

  QMenu* tools = bar->addMenu(Q(texts.Get(ui::kToolsMenu)));
  entry(tools, m::kJpegSettings);
  entry(tools, m::kBlackRemovalDialog);
  entry(tools->addMenu(Q(texts.Get(ui::kPresetProfilesMenu))), m::kDefaultProfiles);
  QMenu* select = tools->addMenu(Q(texts.Get(ui::kSelectProfileMenu)));
  entry(select, m::kInputProfile);
  entry(select, m::kOutputProfile);
  for (int id : {m::kColourDialog, m::kCustomPaperSize, m::kUnitsSettings, m::kPatternPrintSetup,
                 m::kSaveSettings}) {
    entry(tools, id);
  }
  built_in_submenu_ = model_.Control(m::kLoadBuiltInSettings).visible;
  if (built_in_submenu_) {
    QMenu* load = tools->addMenu(Q(texts.Get(ui::kLoadSettingsMenu)));
    entry(load, m::kLoadSettings);
    entry(load, m::kLoadBuiltInSettings);
  } else {
    entry(tools, m::kLoadSettings);
  }
  entry(tools, m::kLoadDefaults);

  QMenu* utility = bar->addMenu(Q(texts.Get(ui::kUtilityMenu)));
  for (int id : {m::kPrinterMode, m::kTonerOrder, m::kStatisticsSetup, m::kLanguage}) {
    entry(utility, id);
  }
  QMenu* help = bar->addMenu(Q(texts.Get(ui::kHelpMenu)));
  for (int id = m::kHelpDocument1; id <= m::kHelpDocument6; ++id) entry(help, id);
  entry(help, m::kHelpFile);
  entry(help, m::kAbout);
  building_menus_ = false;
}

void MainWindow::ScheduleMenuRebuild() {
  if (menu_rebuild_pending_) return;
  menu_rebuild_pending_ = true;
  // Not inside the handler of an entry that the rebuild would delete.
  QTimer::singleShot(0, this, [this] { BuildMenus(); });
}

// --- Model to widgets. ---

void MainWindow::RefreshAll() {
  for (int id : model_.ControlIds()) Refresh(id);
}

void MainWindow::Refresh(int id) {
  const ControlState& state = model_.Control(id);
  if (id == c::kMainWindow) {
    setWindowTitle(Q(state.caption));
    return;
  }
  if (state.kind == ControlKind::kMenuEntry) {
    RefreshMenuEntry(id, state);
    return;
  }
  if (id == c::kPrintCmyHint) {
    if (QWidget* box = widget(c::kPrintCmy)) box->setToolTip(Q(state.caption));
    return;
  }
  QWidget* w = widget(id);
  if (w == nullptr) return;
  const QSignalBlocker block(w);
  w->setEnabled(state.enabled);
  ShowState(w, id, state);
}

void MainWindow::RefreshMenuEntry(int id, const ControlState& state) {
  QAction* a = action(id);
  if (a == nullptr) return;
  // The menu is built again only when its recent files or its shape change, never for an
  // entry the rebuild itself fills in.
  const bool recent =
      std::find(m::kRecentFiles.begin(), m::kRecentFiles.end(), id) != m::kRecentFiles.end();
  const bool shown = state.visible && !state.caption.empty();
  if (!building_menus_ && ((recent && (a->text() != Q(state.caption) || a->isVisible() != shown)) ||
                           (id == m::kLoadBuiltInSettings && state.visible != built_in_submenu_))) {
    ScheduleMenuRebuild();
  }
  // "&Print\tCtrl+P": the part after the tab is the shortcut text.
  a->setText(Q(state.caption));
  a->setEnabled(state.enabled);
  a->setVisible(shown);
}

void MainWindow::ShowState(QWidget* w, int id, const ControlState& state) {
  const QString caption = Q(state.caption);
  switch (state.kind) {
    case ControlKind::kLabel:
      static_cast<QLabel*>(w)->setText(caption);
      break;
    case ControlKind::kEdit:
      if (static_cast<QLineEdit*>(w)->text() != caption)
        static_cast<QLineEdit*>(w)->setText(caption);
      break;
    case ControlKind::kCheckBox:
      static_cast<QCheckBox*>(w)->setText(caption);
      static_cast<QCheckBox*>(w)->setChecked(state.checked);
      break;
    case ControlKind::kOptionButton:
      static_cast<QRadioButton*>(w)->setChecked(state.checked);
      static_cast<QRadioButton*>(w)->setAccessibleName(Q(AccessibleControlName(id)));
      break;
    case ControlKind::kButton:
      static_cast<QPushButton*>(w)->setText(caption);
      break;
    case ControlKind::kPictureButton:
    case ControlKind::kPictureToggle: {
      auto* b = static_cast<QToolButton*>(w);
      b->setIcon(PictureIcon(state.picture, 24));
      b->setChecked(state.checked);
      b->setAccessibleName(Q(AccessibleControlName(id)));
      b->setToolTip(Q(AccessibleControlName(id)));
      break;
    }
    case ControlKind::kSlider:
      static_cast<QSlider*>(w)->setValue(state.value);
      break;
    case ControlKind::kSpinBox:
      // The white edge width, held in hundredths of a millimetre.
      static_cast<QDoubleSpinBox*>(w)->setValue(state.value / 100.0);
      break;
    case ControlKind::kComboList:
      ShowItems(static_cast<QComboBox*>(w), state);
      break;
    case ControlKind::kPicture:
      ShowPicture(w, id, state);
      break;
    case ControlKind::kProgressBar:
      static_cast<QProgressBar*>(w)->setValue(state.value);
      break;
    case ControlKind::kGroupCaption:
      static_cast<QGroupBox*>(w)->setTitle(caption);
      break;
    default:
      break;
  }
}

void MainWindow::ShowItems(QComboBox* list, const ControlState& state) {
  QStringList items;
  for (const std::string& item : state.items) items << Q(item);
  QStringList shown;
  for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
  if (shown != items) {
    list->clear();
    list->addItems(items);
  }
  list->setCurrentIndex(state.selected);
}

void MainWindow::ShowPicture(QWidget* w, int id, const ControlState& state) {
  if (id == c::kPreviewImage) {
    preview_->SetEmptyPicture(PictureResource(state.picture));
    return;
  }
  static_cast<QLabel*>(w)->setPixmap(PictureIcon(state.picture, 32).pixmap(QSize(32, 32)));
  static_cast<QLabel*>(w)->setAccessibleName(Q(AccessibleControlName(id, state.picture)));
}

// --- Actions. ---

void MainWindow::Act(const std::function<void()>& action) {
  const std::optional<FrontEndWork> work = session_.Act(action);
  if (!work) {
    // A step is running: the action did not happen. Put the widgets back as the model has them.
    RefreshAll();
    return;
  }
  RunFrontEndWork(*work);
}

void MainWindow::RunFrontEndWork(const FrontEndWork& work) {
  bool redraw = work.redraw;
  for (const ModelRequest& request : work.requests) {
    if (request.kind == RequestKind::kOpenDocument) {
      OpenDocument(request.text);
    } else if (request.kind == RequestKind::kCommand) {
      RunCommand(request.id);
      redraw = true;
    }
  }
  if (redraw) RedrawPreview();
}

void MainWindow::RunCommand(int id) {
  if (!RunDialog(id)) {
    switch (id) {
      case m::kOpenFile:
        OpenImageCommand();
        break;
      case m::kExit:
        QTimer::singleShot(0, this, [this] { close(); });
        break;
      case m::kInputProfile:
      case m::kOutputProfile:
        ChooseProfile(id == m::kInputProfile);
        break;
      case m::kSaveSettings:
        SaveSettingsCommand();
        break;
      case m::kLoadSettings:
      case m::kLoadBuiltInSettings:
        LoadSettingsCommand(id == m::kLoadBuiltInSettings);
        break;
      case m::kTonerOrder:
        TonerOrderCommand();
        break;
      case m::kPatternPrintSetup:
        PatternSetupCommand();
        break;
      default:
        break;
    }
  }
  // What a dialog changed (margins, units, a medium, curves) reaches the picture's layout.
  if (const std::optional<FrontEndWork> more = session_.Act([] {})) RunFrontEndWork(*more);
}

void MainWindow::RunLong(const std::function<void()>& work) {
  std::atomic<bool> done = false;
  QEventLoop loop;
  qApp->installEventFilter(input_refusal_.get());
  std::thread worker([&] {
    try {
      work();
    } catch (const std::bad_alloc&) {
      // The step's result stays "not done"; nothing stored was touched by the step itself.
      app_.notifier().Show(kProgramTitle,
                           "There is not enough memory for this step. Nothing was changed.",
                           MessageIcon::kError);
    }
    done = true;
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  // Paint and take the worker's progress until it is done; input to the window is refused.
  while (!done) loop.processEvents(QEventLoop::WaitForMoreEvents);
  worker.join();
  // What the worker posted last (its final status) arrives before we go on.
  QCoreApplication::processEvents();
  qApp->removeEventFilter(input_refusal_.get());
  // A resize during the step asked for a redraw that had to wait.
  if (redraw_after_step_) QTimer::singleShot(0, this, [this] { RedrawPreview(); });
}

bool MainWindow::OpenImage(const std::string& path) {
  if (session_.busy()) return false;
  const bool loaded = session_.Open(path);
  RedrawPreview();
  return loaded;
}

void MainWindow::OpenImageCommand() {
  model_.SetValue(c::kProgressBar, 0);
  std::optional<std::string> chosen;
  if (options_.choose_image) {
    chosen = options_.choose_image();
  } else {
    QStringList filters;
    for (const ImageFileFilter& filter : kImageFileFilters) {
      filters << QString("%1 (%2)").arg(filter.caption, QString(filter.pattern).replace(';', ' '));
    }
    const QString file = QFileDialog::getOpenFileName(this, Q(app_.texts.Get(ui::kSelectFileTitle)),
                                                      Q(OpenDialogStartFolder(app_.folders().user)),
                                                      filters.join(";;"));
    if (!file.isEmpty()) chosen = file.toStdString();
  }
  if (!chosen) {
    session_.CancelOpen();
    return;
  }
  OpenImage(*chosen);
}

void MainWindow::DropFiles(const std::vector<std::string>& names) {
  if (session_.busy()) return;
  const DropDecision decision = DecideDrop(CollectDroppedFiles(names));
  if (!decision.message.empty()) {
    app_.notifier().Show(kProgramTitle, decision.message, MessageIcon::kError);
    return;
  }
  if (decision.load) OpenImage(*decision.load);
}

void MainWindow::AdoptPicture(Session::KeptPicture kept) {
  session_.AdoptPicture(std::move(kept));
  RedrawPreview();
}

void MainWindow::RedrawPreview() {
  if (session_.busy()) {
    redraw_after_step_ = true;
    return;
  }
  redraw_after_step_ = false;
  if (!model_.image_loaded()) {
    preview_->SetCanvas({});  // the image area shows its own picture
    return;
  }
  PreviewRefresh refresh = session_.Preview(preview_->width());
  if (!refresh.drawn) {
    JobParameters params = GatherJobParameters(model_);
    preview_->SetCanvas(BlankPageCanvas(params));
    return;
  }
  preview_->SetCanvas(refresh.canvas);
}

void MainWindow::OpenDocument(const std::string& name) {
  if (name.empty()) return;
  fs::path path(name);
  if (path.is_relative()) path = app_.folders().program / path;
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    app_.notifier().Show(kProgramTitle, "The document " + path.string() + " cannot be found.",
                         MessageIcon::kError);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path.string())));
}

void MainWindow::ChooseProfile(bool input) {
  const SettingKey key = input ? keys::active::kInputProfile : keys::active::kOutputProfile;
  const fs::path start = ProfileDialogStart(app_.store.ReadSetting(key), app_.folders());
  const QString file = QFileDialog::getOpenFileName(
      this, Q(app_.texts.Get(input ? ui::kSelectInputProfileTitle : ui::kSelectOutputProfileTitle)),
      Q(start.string()), "ICC & ICM Profiles (*.icc *.icm *.ICC *.ICM)");
  if (file.isEmpty()) return;
  app_.store.WriteSetting(key, file.toStdString());
  ReloadNewestFile(model_, app_.folders().user,
                   [this](const std::string& path) { return session_.LoadFile(path); });
}

void MainWindow::SaveSettingsCommand() {
  const fs::path start = SettingsFileStartFolder(app_.store, SettingsFileSource::kUserFolder);
  QString file = QFileDialog::getSaveFileName(this, Q(app_.texts.Get(ui::kSaveSettingsTitle)),
                                              Q(start.string()), "Settings (*.qvcfg)");
  if (file.isEmpty()) return;
  if (!file.endsWith(".qvcfg", Qt::CaseInsensitive)) file += ".qvcfg";
  session_.SaveSettingsFile(file.toStdString());
}

void MainWindow::LoadSettingsCommand(bool built_in) {
  const SettingsFileSource source =
      built_in ? SettingsFileSource::kCommonFolder : SettingsFileSource::kUserFolder;
  const fs::path start = SettingsFileStartFolder(app_.store, source);
  const QString file = QFileDialog::getOpenFileName(this, Q(app_.texts.Get(ui::kLoadSettingsTitle)),
                                                    Q(start.string()), "Settings (*.qvcfg)");
  if (file.isEmpty()) return;
  session_.LoadSettingsFile(file.toStdString(), built_in);
}

// --- Window events. ---

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      for (const auto& [control, w] : widgets_) {
        if (w == watched) {
          const int id = control;
          const bool shift = key->modifiers() & Qt::ShiftModifier;
          Act([this, id, shift] { model_.PressEnter(id, shift); });
          return true;
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (event->size() == settled_size_) return;
  const QScreen* screen = this->screen();
  // The room the window itself may take: the screen less the frame around it.
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize room = screen ? screen->availableGeometry().size() - frame : QSize();
  const DraggedSize size = SizeForDrag(width(), height(), room.width(), room.height());
  // The image area keeps 1000 : 1414 and the window's width follows its height.
  preview_->setFixedSize(size.image_area_width, size.image_area_height);
  // Never below the window's minimum (the rule's smallest window), so a resize never chases
  // a size it cannot have.
  const QSize target = QSize(size.width, size.height).expandedTo(minimumSize());
  settled_size_ = target;
  if (this->size() != target) {
    QTimer::singleShot(0, this, [this, target] { resize(target); });
  }
  if (model_.state().image_area_width != size.image_area_width) RedrawPreview();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (session_.busy()) {
    event->ignore();
    return;
  }
  SaveWindowGeometry(app_.store, x(), y(), width(), height(), preview_->width());
  event->accept();
}

}  // namespace kelvaro::gui
