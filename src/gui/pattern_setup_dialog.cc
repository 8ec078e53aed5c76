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
#include "gui/dialog_support.h"
#include "gui/pattern_import_dialog.h"
#include "gui/pattern_library_dialog.h"
#include "gui/pattern_preview.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

constexpr char kInvertCaption[] = "Invert Pattern";

// The preview shows 40 × 30 mm of the screen.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
constexpr double kPreviewPixelsPerMm = 8;

}  // namespace

PatternSetupDialog::PatternSetupDialog(PatternSetupModel& model, const UiText& texts,
                                       QWidget* parent)
    : QDialog(parent), model_(model), texts_(texts) {
  setWindowTitle(TextOf(texts, ui::kPatternTitle));
  Named(this, ui::kPatternTitle);
  QGridLayout* grid = BuildSettings(texts);
  preview_ = Named(new QLabel, ui::kPatternTitle, "preview");
  preview_->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
  preview_->setFrameShape(QFrame::Box);
  preview_->setAccessibleName(TextOf(texts, ui::kPatternTitle));

  auto* top = new QHBoxLayout;
  top->addLayout(grid);
  top->addWidget(preview_, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  AddButtons(layout, texts);
  RedrawPreview();
}

// Shape, screen angle, the three lengths and the inversion.
QGridLayout* PatternSetupDialog::BuildSettings(const UiText& texts) {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  shape_ = new QComboBox;
  shape_->setMinimumContentsLength(16);
  grid->addWidget(CaptionFor(texts, ui::kPatternShape, shape_), 0, 0);
  grid->addWidget(shape_, 0, 1, 1, 3);
  ShowShapes();
  connect(shape_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.ChooseShape(index); });
  connect(shape_, &QComboBox::activated, this, [this] { RedrawPreview(); });

  angle_ = new QComboBox;
  for (int angle : kPatternScreenAngles) angle_->addItem(QString::number(angle));
  angle_->setCurrentIndex(model_.angle_index());
  grid->addWidget(CaptionFor(texts, ui::kScreenAngle, angle_), 1, 0);
  grid->addWidget(angle_, 1, 1);
  grid->addWidget(new QLabel(TextOf(texts, ui::kDegrees)), 1, 2);
  connect(angle_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.ChooseAngle(index); });
  connect(angle_, &QComboBox::activated, this, [this] { RedrawPreview(); });

  grid->addWidget(Bold(new QLabel(TextOf(texts, ui::kPatternSizeHeading))), 2, 0, 1, 4);
  AddLength(grid, 3, ui::kPatternHeight, Length::kHeight);
  AddLength(grid, 4, ui::kPatternWidth, Length::kWidth);
  AddLength(grid, 5, ui::kPatternGap, Length::kGap);

  auto* invert = Named(new QCheckBox(kInvertCaption), kInvertCaption);
  invert->setChecked(model_.inverted());
  grid->addWidget(invert, 6, 0, 1, 4);
  connect(invert, &QCheckBox::toggled, this, [this](bool on) {
    model_.Invert(on);
    RedrawPreview();
  });
  grid->setRowStretch(7, 1);
  return grid;
}

// A slider and a box for one length: the caption names the slider, the unit the box.
void PatternSetupDialog::AddLength(QGridLayout* grid, int row, int caption_text, Length length) {
  LengthControl& control = lengths_[static_cast<int>(length)];
  control.slider = new QSlider(Qt::Horizontal);
  control.slider->setRange(0, model_.SliderMaximum(length));
  control.slider->setMinimumWidth(140);
  control.edit = Named(new QLineEdit, caption_text, "value");
  control.edit->setFixedWidth(56);
  grid->addWidget(CaptionFor(texts_, caption_text, control.slider), row, 0);
  grid->addWidget(control.slider, row, 1);
  grid->addWidget(control.edit, row, 2);
  grid->addWidget(BuddyLabel(TextOf(texts_, UnitLabelTextNumber(model_.unit())), control.edit), row,
                  3);
  ShowLength(length);

  connect(control.slider, &QSlider::valueChanged, this, [this, length](int position) {
    model_.MoveSlider(length, position);
    lengths_[static_cast<int>(length)].edit->setText(Q(model_.Text(length)));
    RedrawPreview();
  });
  connect(control.edit, &QLineEdit::editingFinished, this, [this, length] {
    model_.Type(length, lengths_[static_cast<int>(length)].edit->text().toStdString());
    ShowLength(length);
    RedrawPreview();
  });
}

// The library buttons, then Print, Save Settings and Exit.
void PatternSetupDialog::AddButtons(QBoxLayout* layout, const UiText& texts) {
  auto* library_row = new QHBoxLayout;
  QPushButton* import = CaptionedButton(texts, ui::kSaveShapeButton);
  QPushButton* remove = CaptionedButton(texts, ui::kDeleteButton);
  library_row->addWidget(import);
  library_row->addWidget(remove);
  library_row->addStretch(1);
  auto* main_row = new QHBoxLayout;
  QPushButton* print = CaptionedButton(texts, ui::kPrintButton);
  QPushButton* save = CaptionedButton(texts, ui::kSaveSettingsButton);
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton);
  main_row->addWidget(print);
  main_row->addWidget(save);
  main_row->addStretch(1);
  main_row->addWidget(exit);

  connect(import, &QPushButton::clicked, this, [this] {
    EditLibrary<PatternImportDialog>(PatternImportModel(model_.app(), model_.choices()));
  });
  connect(remove, &QPushButton::clicked, this,
          [this] { EditLibrary<PatternLibraryDialog>(PatternLibraryModel(model_.app())); });
  connect(save, &QPushButton::clicked, this, [this] { model_.Save(); });
  connect(print, &QPushButton::clicked, this, [this] {
    model_.Print();
    RedrawPreview();
  });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  layout->addLayout(library_row);
  layout->addLayout(main_row);
}

template <typename D, typename M>
void PatternSetupDialog::EditLibrary(M model) {
  D dialog(model, texts_, this);
  dialog.exec();
  model_.RefillShapes();
  ShowShapes();
  RedrawPreview();
}

void PatternSetupDialog::ShowLength(Length length) {
  const LengthControl& control = lengths_[static_cast<int>(length)];
  {
    const QSignalBlocker block(control.slider);
    control.slider->setValue(model_.SliderPosition(length));
  }
  control.edit->setText(Q(model_.Text(length)));
}

void PatternSetupDialog::ShowShapes() {
  const QSignalBlocker block(shape_);
  shape_->clear();
  for (const std::string& name : model_.shapes()) shape_->addItem(Q(name));
  shape_->setCurrentIndex(model_.shape_index());
}

void PatternSetupDialog::RedrawPreview() {
  const std::optional<ShapeRecord> shape = model_.PreviewShape();
  preview_image_ = RenderPatternPreview(model_.settings(), shape ? &*shape : nullptr, kPreviewWidth,
                                        kPreviewHeight, kPreviewPixelsPerMm);
  preview_->setPixmap(QPixmap::fromImage(preview_image_));
}

}  // namespace kelvaro::gui
