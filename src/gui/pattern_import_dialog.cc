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

#include "app/pattern_setup.h"
#include "gui/dialog_support.h"
#include "gui/pattern_preview.h"
#include "pattern/vector_import.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

constexpr char kTitle[] = "Shape Import Utility";
constexpr char kFileDialogTitle[] = "File Import";
constexpr char kFileFilter[] = "Illustrator AI Files (V3 to 6) (*.AI *.ai)";

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

PatternImportDialog::PatternImportDialog(PatternImportModel& model, const UiText& texts,
                                         QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(kTitle);
  Named(this, kTitle);
  QGridLayout* grid = BuildSettings(texts);
  preview_ = Named(new QLabel, std::string(kTitle) + " preview");
  preview_->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
  preview_->setFrameShape(QFrame::Box);
  preview_->setAccessibleName(kTitle);

  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addWidget(preview_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(BuildButtons(texts));
  ShowBaseGap();
  RedrawPreview();
}

// Name, gap, screen angle, the base gap and the zoom, one row each.
QGridLayout* PatternImportDialog::BuildSettings(const UiText& texts) {
  const QString unit_label = TextOf(texts, UnitLabelTextNumber(model_.unit()));
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  int row = 0;
  name_ = new QLineEdit;
  name_->setMaxLength(static_cast<int>(kShapeNameSize));
  grid->addWidget(CaptionFor(texts, ui::kShapeName, name_), row, 0);
  grid->addWidget(name_, row++, 1, 1, 2);

  gap_ = new QLineEdit(Q(model_.GapText()));
  gap_->setFixedWidth(70);
  grid->addWidget(CaptionFor(texts, ui::kPatternGap, gap_), row, 0);
  grid->addWidget(gap_, row, 1);
  grid->addWidget(new QLabel(unit_label), row++, 2);
  connect(gap_, &QLineEdit::editingFinished, this, [this] {
    model_.TypeGap(gap_->text().toStdString());
    gap_->setText(Q(model_.GapText()));
    RedrawPreview();
  });

  angle_ = new QComboBox;
  for (int angle : kPatternScreenAngles) angle_->addItem(QString::number(angle));
  angle_->setCurrentIndex(model_.angle_index());
  grid->addWidget(CaptionFor(texts, ui::kScreenAngle, angle_), row, 0);
  grid->addWidget(angle_, row, 1);
  grid->addWidget(new QLabel(TextOf(texts, ui::kDegrees)), row++, 2);
  connect(angle_, &QComboBox::currentIndexChanged, this, [this](int index) {
    model_.ChooseAngle(index);
    ShowBaseGap();
    RedrawPreview();
  });

  row = AddBaseGap(grid, row, texts);
  zoom_ = new QSlider(Qt::Horizontal);
  zoom_->setRange(kZoomMinimum, kZoomMaximum);
  zoom_->setValue(kZoomStart);
  grid->addWidget(CaptionFor(texts, ui::kZoomLabel, zoom_), row, 0);
  grid->addWidget(zoom_, row++, 1, 1, 2);
  connect(zoom_, &QSlider::valueChanged, this, [this] { RedrawPreview(); });
  // The rows keep their height; the room beside the preview stays below them.
  grid->setRowStretch(row, 1);
  return grid;
}

// The base gap of the chosen angle: its caption on a row of its own, then slider and box.
int PatternImportDialog::AddBaseGap(QGridLayout* grid, int row, const UiText& texts) {
  base_slider_ = new QSlider(Qt::Horizontal);
  base_slider_->setRange(SliderFromBaseGap(-5), SliderFromBaseGap(5));
  QLabel* caption = CaptionFor(texts, ui::kAngleGap, base_slider_);
  caption->setWordWrap(true);
  grid->addWidget(caption, row++, 0, 1, 3);
  base_value_ = Named(new QLineEdit, ui::kAngleGap, "value");
  base_value_->setFixedWidth(70);
  grid->addWidget(base_slider_, row, 0);
  grid->addWidget(base_value_, row, 1);
  grid->addWidget(BuddyLabel(TextOf(texts, UnitLabelTextNumber(model_.unit())), base_value_), row++,
                  2);
  connect(base_slider_, &QSlider::valueChanged, this, [this](int position) {
    model_.MoveBaseGap(position);
    base_value_->setText(Q(model_.BaseGapText()));
    RedrawPreview();
  });
  connect(base_value_, &QLineEdit::editingFinished, this, [this] {
    model_.TypeBaseGap(base_value_->text().toStdString());
    ShowBaseGap();
    RedrawPreview();
  });
  return row;
}

QBoxLayout* PatternImportDialog::BuildButtons(const UiText& texts) {
  auto* buttons = new QHBoxLayout;
  QPushButton* open = CaptionedButton(texts, ui::kOpenFileButton);
  save_ = CaptionedButton(texts, ui::kSaveShapeButton);
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton);
  for (QPushButton* b : {open, save_, exit}) buttons->addWidget(b);
  save_->setEnabled(false);
  connect(open, &QPushButton::clicked, this, [this] { OpenDrawing(); });
  connect(save_, &QPushButton::clicked, this, [this] { SaveToLibrary(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  return buttons;
}

void PatternImportDialog::ShowBaseGap() {
  {
    const QSignalBlocker block(base_slider_);
    base_slider_->setValue(model_.BaseGapSliderPosition());
  }
  base_value_->setText(Q(model_.BaseGapText()));
}

void PatternImportDialog::OpenDrawing() {
  const std::string start = model_.StartFolder();
  std::optional<std::string> chosen;
  if (model_.choices().choose_drawing) {
    chosen = model_.choices().choose_drawing(start);
  } else {
    const QString file =
        QFileDialog::getOpenFileName(this, kFileDialogTitle, Q(start), kFileFilter);
    if (!file.isEmpty()) chosen = file.toStdString();
  }
  if (!chosen || !model_.Import(*chosen)) return;
  name_->setText(Q(model_.shape_name()));
  save_->setEnabled(true);
  RedrawPreview();
}

void PatternImportDialog::SaveToLibrary() {
  ReplaceShapeQuestion ask = model_.choices().ask_replace;
  if (!ask) ask = [this](const std::string& name) { return AskReplace(this, name); };
  model_.Save(name_->text().toStdString(), ask);
}

void PatternImportDialog::RedrawPreview() {
  const std::optional<ShapeRecord> shown = model_.PreviewShape();
  preview_image_ = RenderPatternPreview(model_.PreviewSettings(), shown ? &*shown : nullptr,
                                        kPreviewWidth, kPreviewHeight, zoom_->value());
  preview_->setPixmap(QPixmap::fromImage(preview_image_));
}

}  // namespace kelvaro::gui
