#include "gui/pattern_import_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <filesystem>

#include "app/pattern_setup.h"
#include "gui/pattern_preview.h"
#include "pattern/pattern_print.h"
#include "pattern/vector_import.h"
#include "settings/keys.h"

namespace kelvaro::gui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr char kTitle[] = "Shape Import Utility";
constexpr char kFileDialogTitle[] = "File Import";
constexpr char kFileFilter[] = "Illustrator AI Files (V3 to 6) (*.AI *.ai)";
// UiText entries of the window.
constexpr int kShapeNameText = 253;
constexpr int kShapeGapText = 245;
constexpr int kScreenAngleText = 247;
constexpr int kDegreesText = 248;
constexpr int kAngleGapText = 255;
constexpr int kZoomText = 59;
constexpr int kOpenFileText = 11;
constexpr int kSaveShapeText = 246;
constexpr int kExitText = 7;

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
// The zoom slider is the preview's pixels per millimetre.
constexpr int kZoomMinimum = 2;
constexpr int kZoomMaximum = 24;
constexpr int kZoomStart = 8;

bool AskReplace(QWidget* parent, const std::string&) {
  QMessageBox box(QMessageBox::Question, kReplaceShapeCaption, kReplaceShapeQuestion,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace

PatternImportDialog::PatternImportDialog(AppContext& app, PatternDialogChoices choices,
                                         QWidget* parent)
    : QDialog(parent), app_(app), choices_(std::move(choices)), unit_(ReadUnit(app.store)) {
  const UiText& texts = app_.texts;
  setWindowTitle(kTitle);
  setObjectName("shapeImportDialog");
  gap_mm_ = OpenImportGap(app_.store);
  const QString unit_label = Q(texts.Get(UnitLabelTextNumber(unit_)));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  int row = 0;
  auto caption = [&](int text, QWidget* buddy) {
    auto* label = new QLabel(Q(texts.Get(text)));
    label->setBuddy(buddy);
    return label;
  };

  name_ = new QLineEdit;
  name_->setObjectName("shapeName");
  name_->setMaxLength(static_cast<int>(kShapeNameSize));
  grid->addWidget(caption(kShapeNameText, name_), row, 0);
  grid->addWidget(name_, row++, 1, 1, 2);

  gap_ = new QLineEdit(Q(ImportLengthText(gap_mm_, unit_)));
  gap_->setObjectName("shapeGap");
  gap_->setFixedWidth(70);
  grid->addWidget(caption(kShapeGapText, gap_), row, 0);
  grid->addWidget(gap_, row, 1);
  grid->addWidget(new QLabel(unit_label), row++, 2);
  connect(gap_, &QLineEdit::editingFinished, this, [this] {
    gap_mm_ = ImportGapFromText(gap_->text().toStdString(), unit_);
    gap_->setText(Q(ImportLengthText(gap_mm_, unit_)));
    RedrawPreview();
  });

  angle_ = new QComboBox;
  angle_->setObjectName("screenAngle");
  for (int angle : kPatternScreenAngles) angle_->addItem(QString::number(angle));
  grid->addWidget(caption(kScreenAngleText, angle_), row, 0);
  grid->addWidget(angle_, row, 1);
  grid->addWidget(new QLabel(Q(texts.Get(kDegreesText))), row++, 2);
  connect(angle_, &QComboBox::currentIndexChanged, this, [this] {
    ShowBaseGap();
    RedrawPreview();
  });

  base_slider_ = new QSlider(Qt::Horizontal);
  base_slider_->setObjectName("baseGapSlider");
  base_slider_->setRange(SliderFromBaseGap(-5), SliderFromBaseGap(5));
  auto* angle_gap = caption(kAngleGapText, base_slider_);
  angle_gap->setWordWrap(true);
  grid->addWidget(angle_gap, row++, 0, 1, 3);
  base_value_ = new QLineEdit;
  base_value_->setObjectName("baseGapValue");
  base_value_->setFixedWidth(70);
  auto* base_unit = new QLabel(unit_label);
  base_unit->setBuddy(base_value_);
  grid->addWidget(base_slider_, row, 0);
  grid->addWidget(base_value_, row, 1);
  grid->addWidget(base_unit, row++, 2);
  connect(base_slider_, &QSlider::valueChanged, this, [this](int position) {
    base_gap_[Angle() == 0 ? 0 : 1] = BaseGapFromSlider(position);
    base_value_->setText(Q(BaseGapText(base_gap(Angle()), unit_)));
    RedrawPreview();
  });
  connect(base_value_, &QLineEdit::editingFinished, this, [this] {
    base_gap_[Angle() == 0 ? 0 : 1] = BaseGapFromText(base_value_->text().toStdString(), unit_);
    ShowBaseGap();
    RedrawPreview();
  });

  zoom_ = new QSlider(Qt::Horizontal);
  zoom_->setObjectName("zoom");
  zoom_->setRange(kZoomMinimum, kZoomMaximum);
  zoom_->setValue(kZoomStart);
  grid->addWidget(caption(kZoomText, zoom_), row, 0);
  grid->addWidget(zoom_, row++, 1, 1, 2);
  connect(zoom_, &QSlider::valueChanged, this, [this] { RedrawPreview(); });
  // The rows keep their height; the room beside the preview stays below them.
  grid->setRowStretch(row, 1);

  preview_ = new QLabel;
  preview_->setObjectName("shapePreview");
  preview_->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
  preview_->setFrameShape(QFrame::Box);
  preview_->setAccessibleName(kTitle);

  auto* buttons = new QHBoxLayout;
  auto button = [&](int text, const char* name) {
    auto* b = new QPushButton(Q(texts.Get(text)));
    b->setObjectName(name);
    // Return in a box finishes the typing; it must not open or store anything.
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  QPushButton* open = button(kOpenFileText, "openFile");
  save_ = button(kSaveShapeText, "saveShape");
  QPushButton* exit = button(kExitText, "exit");
  save_->setEnabled(false);
  connect(open, &QPushButton::clicked, this, [this] { OpenDrawing(); });
  connect(save_, &QPushButton::clicked, this, [this] { SaveToLibrary(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addWidget(preview_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  ShowBaseGap();
  RedrawPreview();
}

int PatternImportDialog::Angle() const { return angle_->currentIndex() == 1 ? 0 : 45; }

void PatternImportDialog::ShowBaseGap() {
  const double value = base_gap(Angle());
  {
    const QSignalBlocker block(base_slider_);
    base_slider_->setValue(SliderFromBaseGap(value));
  }
  base_value_->setText(Q(BaseGapText(value, unit_)));
}

void PatternImportDialog::OpenDrawing() {
  const std::string start = app_.store.ReadSetting(keys::pattern_import::kFolder);
  std::optional<std::string> chosen;
  if (choices_.choose_drawing) {
    chosen = choices_.choose_drawing(start);
  } else {
    const QString file =
        QFileDialog::getOpenFileName(this, kFileDialogTitle, Q(start), kFileFilter);
    if (!file.isEmpty()) chosen = file.toStdString();
  }
  if (!chosen) return;
  const std::filesystem::path path(*chosen);
  app_.store.WriteSetting(keys::pattern_import::kFolder, path.parent_path().string());
  VectorImportResult imported = ImportVectorShape(path);
  if (!imported.ok()) {
    if (!imported.message.empty()) {
      app_.notifier().Show(kConversionFailedTitle, imported.message, MessageIcon::kError);
    }
    return;
  }
  shape_ = std::move(imported.shape);
  name_->setText(Q(shape_->name));
  save_->setEnabled(true);
  RedrawPreview();
}

void PatternImportDialog::SaveToLibrary() {
  if (!shape_) return;
  const ShapeRecord record =
      ShapeForLibrary(*shape_, name_->text().toStdString(), base_gap(0), base_gap(45));
  ReplaceShapeQuestion ask = choices_.ask_replace;
  if (!ask) ask = [this](const std::string& name) { return AskReplace(this, name); };
  const StoreShapeResult stored = StoreShape(StoredShapeLibraryPath(app_.store), record, ask);
  if (!stored.message.empty()) {
    app_.notifier().Show(stored.caption, stored.message, MessageIcon::kError);
  }
}

void PatternImportDialog::RedrawPreview() {
  PatternSettings settings = NormalisePatternSettings(ReadPatternSettings(app_.store));
  settings.shape.clear();  // whatever its name, the imported shape is drawn
  settings.gap_mm = gap_mm_;
  settings.screen_angle = Angle();
  settings.inverted = false;
  std::optional<ShapeRecord> shown;
  if (shape_) shown = ShapeForLibrary(*shape_, shape_->name, base_gap(0), base_gap(45));
  preview_image_ = RenderPatternPreview(settings, shown ? &*shown : nullptr, kPreviewWidth,
                                        kPreviewHeight, zoom_->value());
  preview_->setPixmap(QPixmap::fromImage(preview_image_));
}

}  // namespace kelvaro::gui
