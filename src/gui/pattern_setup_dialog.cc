#include "gui/pattern_setup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "app/pattern_setup.h"
#include "gui/pattern_library_dialog.h"
#include "gui/pattern_preview.h"
#include "pattern/pattern_print.h"
#include "pattern/shape_library.h"

namespace kelvaro::gui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr char kInvertCaption[] = "Invert Pattern";
// UiText entries of the window.
constexpr int kTitleText = 240;        // "Pattern Print Setup"
constexpr int kShapeText = 242;        // "Mask Shape"
constexpr int kSizeText = 244;         // "Shape Size HxW"
constexpr int kGapText = 245;          // "Shape Gap"
constexpr int kAngleText = 247;        // "Screen Angle (0-45)"
constexpr int kDegreesText = 248;      // "Deg"
constexpr int kWidthText = 149;        // "Width"
constexpr int kHeightText = 150;       // "Height"
constexpr int kSaveShapeText = 246;    // "Save Shape to Library"
constexpr int kDeleteText = 151;       // "Delete"
constexpr int kPrintText = 28;         // "Print"
constexpr int kSaveSettingsText = 21;  // "&Save Settings"
constexpr int kExitText = 7;           // "Exit"

// The preview shows 40 × 30 mm of the screen.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
constexpr double kPreviewPixelsPerMm = 8;

}  // namespace

PatternSetupDialog::PatternSetupDialog(AppContext& app, PatternSetupHooks hooks, QWidget* parent)
    : QDialog(parent), app_(app), hooks_(std::move(hooks)), unit_(ReadUnit(app.store)) {
  const UiText& texts = app_.texts;
  setWindowTitle(Q(texts.Get(kTitleText)));
  setObjectName("patternSetupDialog");
  const PatternSettings opened = OpenPatternSetup(app_.store);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  auto caption = [&](int text, QWidget* buddy) {
    auto* label = new QLabel(Q(texts.Get(text)));
    label->setBuddy(buddy);
    return label;
  };

  shape_ = new QComboBox;
  shape_->setObjectName("shape");
  shape_->setMinimumContentsLength(16);
  grid->addWidget(caption(kShapeText, shape_), 0, 0);
  grid->addWidget(shape_, 0, 1, 1, 3);
  FillShapeList(opened.shape);
  connect(shape_, &QComboBox::activated, this, [this] { RedrawPreview(); });

  angle_ = new QComboBox;
  angle_->setObjectName("screenAngle");
  for (int angle : kPatternScreenAngles) angle_->addItem(QString::number(angle));
  angle_->setCurrentIndex(opened.screen_angle == 0 ? 1 : 0);
  grid->addWidget(caption(kAngleText, angle_), 1, 0);
  grid->addWidget(angle_, 1, 1);
  grid->addWidget(new QLabel(Q(texts.Get(kDegreesText))), 1, 2);
  connect(angle_, &QComboBox::activated, this, [this] { RedrawPreview(); });

  auto* size_heading = new QLabel(Q(texts.Get(kSizeText)));
  QFont bold = size_heading->font();
  bold.setBold(true);
  size_heading->setFont(bold);
  grid->addWidget(size_heading, 2, 0, 1, 4);
  height_.mm = opened.size_y_mm;
  width_.mm = opened.size_x_mm;
  gap_.mm = opened.gap_mm;
  AddLength(grid, 3, kHeightText, height_, false);
  AddLength(grid, 4, kWidthText, width_, false);
  AddLength(grid, 5, kGapText, gap_, true);

  invert_ = new QCheckBox(kInvertCaption);
  invert_->setObjectName("invert");
  invert_->setChecked(opened.inverted);
  grid->addWidget(invert_, 6, 0, 1, 4);
  connect(invert_, &QCheckBox::toggled, this, [this](bool on) {
    SavePatternInversion(app_.store, on);
    RedrawPreview();
    if (hooks_.redraw_main_preview) hooks_.redraw_main_preview();
  });
  grid->setRowStretch(7, 1);

  preview_ = new QLabel;
  preview_->setObjectName("patternPreview");
  preview_->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
  preview_->setFrameShape(QFrame::Box);
  preview_->setAccessibleName(Q(texts.Get(kTitleText)));

  auto* library_row = new QHBoxLayout;
  auto* main_row = new QHBoxLayout;
  auto button = [&](QHBoxLayout* row, int text, const char* name) {
    auto* b = new QPushButton(Q(texts.Get(text)));
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
  };
  QPushButton* import = button(library_row, kSaveShapeText, "saveShape");
  QPushButton* remove = button(library_row, kDeleteText, "delete");
  library_row->addStretch(1);
  QPushButton* print = button(main_row, kPrintText, "print");
  QPushButton* save = button(main_row, kSaveSettingsText, "saveSettings");
  main_row->addStretch(1);
  QPushButton* exit = button(main_row, kExitText, "exit");

  connect(import, &QPushButton::clicked, this, [this] {
    const std::string selected = shape_->currentText().toStdString();
    PatternImportDialog dialog(app_, hooks_.choices, this);
    dialog.exec();
    FillShapeList(selected);
    RedrawPreview();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    const std::string selected = shape_->currentText().toStdString();
    PatternLibraryDialog dialog(app_, this);
    dialog.exec();
    FillShapeList(selected);
    RedrawPreview();
  });
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(print, &QPushButton::clicked, this, [this] {
    Save();
    if (hooks_.print) hooks_.print();
    RedrawPreview();
  });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addWidget(preview_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(library_row);
  layout->addLayout(main_row);

  RedrawPreview();
}

void PatternSetupDialog::AddLength(QGridLayout* grid, int row, int caption_text,
                                   LengthControl& control, bool gap) {
  control.slider = new QSlider(Qt::Horizontal);
  control.slider->setRange(0, gap ? kPatternGapSliderMaximum : kPatternSizeSliderMaximum);
  control.slider->setMinimumWidth(140);
  control.edit = new QLineEdit;
  control.edit->setFixedWidth(56);
  const QString key = gap ? "gap" : (caption_text == kWidthText ? "width" : "height");
  control.slider->setObjectName(key + "Slider");
  control.edit->setObjectName(key + "Edit");
  auto* label = new QLabel(Q(app_.texts.Get(caption_text)));
  label->setBuddy(control.slider);
  auto* unit = new QLabel(Q(app_.texts.Get(UnitLabelTextNumber(unit_))));
  unit->setBuddy(control.edit);
  grid->addWidget(label, row, 0);
  grid->addWidget(control.slider, row, 1);
  grid->addWidget(control.edit, row, 2);
  grid->addWidget(unit, row, 3);
  ShowLength(control, gap);

  LengthControl* c = &control;
  connect(control.slider, &QSlider::valueChanged, this, [this, c, gap](int position) {
    c->mm = gap ? PatternGapFromSlider(position) : PatternSizeFromSlider(position);
    c->edit->setText(Q(gap ? PatternGapText(c->mm, unit_) : PatternSizeText(c->mm, unit_)));
    RedrawPreview();
  });
  connect(control.edit, &QLineEdit::editingFinished, this, [this, c, gap] {
    const std::string typed = c->edit->text().toStdString();
    c->mm = gap ? PatternGapFromText(typed, unit_) : PatternSizeFromText(typed, unit_);
    ShowLength(*c, gap);
    RedrawPreview();
  });
}

void PatternSetupDialog::ShowLength(LengthControl& control, bool gap) {
  {
    const QSignalBlocker block(control.slider);
    control.slider->setValue(gap ? PatternGapSliderPosition(control.mm)
                                 : PatternSizeSliderPosition(control.mm));
  }
  control.edit->setText(
      Q(gap ? PatternGapText(control.mm, unit_) : PatternSizeText(control.mm, unit_)));
}

void PatternSetupDialog::FillShapeList(const std::string& selected) {
  const ShapeListing library = ListShapes(StoredShapeLibraryPath(app_.store));
  if (!library.message.empty()) {
    app_.notifier().Show(kReplaceShapeCaption, library.message, MessageIcon::kError);
  }
  const QSignalBlocker block(shape_);
  shape_->clear();
  for (const std::string& name : PatternShapeChoices(library)) shape_->addItem(Q(name));
  // A stored name the list does not hold any more is kept, so that saving does not change it.
  int index = shape_->findText(Q(selected));
  if (index < 0 && !selected.empty()) {
    shape_->addItem(Q(selected));
    index = shape_->count() - 1;
  }
  shape_->setCurrentIndex(std::max(index, 0));
}

PatternSettings PatternSetupDialog::Current() const {
  PatternSettings settings;
  settings.shape = shape_->currentText().toStdString();
  settings.size_x_mm = width_.mm;
  settings.size_y_mm = height_.mm;
  settings.gap_mm = gap_.mm;
  settings.screen_angle = angle_->currentIndex() == 1 ? 0 : 45;
  settings.inverted = invert_->isChecked();
  return settings;
}

void PatternSetupDialog::Save() { SavePatternSetup(app_.store, Current()); }

void PatternSetupDialog::RedrawPreview() {
  const PatternSettings settings = Current();
  std::optional<ShapeRecord> shape;
  if (ClassifyPatternShape(settings.shape) == PatternShapeKind::kLibrary) {
    shape = LoadShape(StoredShapeLibraryPath(app_.store), settings.shape).shape;
  }
  preview_image_ = RenderPatternPreview(settings, shape ? &*shape : nullptr, kPreviewWidth,
                                        kPreviewHeight, kPreviewPixelsPerMm);
  preview_->setPixmap(QPixmap::fromImage(preview_image_));
}

}  // namespace kelvaro::gui
