#include "gui/colour_adjust_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

CurveCanvas::CurveCanvas(ColourAdjustModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  constexpr int kSize = ColourAdjustModel::kCanvasSize;
  setFixedSize(kSize, kSize);
  setFocusPolicy(Qt::ClickFocus);
  setCursor(Qt::CrossCursor);
}

QSize CurveCanvas::sizeHint() const {
  return {ColourAdjustModel::kCanvasSize, ColourAdjustModel::kCanvasSize};
}

void CurveCanvas::paintEvent(QPaintEvent*) {
  constexpr int kSize = ColourAdjustModel::kCanvasSize;
  QImage image(kSize, kSize, QImage::Format_RGB32);
  const std::vector<std::uint32_t>& pixels = model_.canvas();
  for (int y = 0; y < kSize; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kSize; ++x) line[x] = 0xFF000000u | pixels[y * kSize + x];
  }
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

void CurveCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus();
  const QPoint at = event->position().toPoint();
  model_.Press(at.x(), at.y());
}

void CurveCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (model_.dragged_point() == 0) return;
  const QPoint at = event->position().toPoint();
  model_.Drag(at.x(), at.y());
  update();
}

void CurveCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  model_.Release();
}

ColourAdjustDialog::ColourAdjustDialog(ColourAdjustModel& model, const UiText& texts,
                                       QWidget* parent)
    : QDialog(parent), model_(model), canvas_(new CurveCanvas(model)) {
  setWindowTitle(TextOf(texts, ui::kColourTitle));
  Named(this, ui::kColourTitle);
  Named(canvas_, ui::kColourTitle, "canvas");
  canvas_->setAccessibleName(TextOf(texts, ui::kColourTitle));
  auto* channels = Named(new QComboBox, ui::kColourTitle, "channel");
  channels->setAccessibleName(TextOf(texts, ui::kColourTitle));
  for (int channel = 0; channel < 4; ++channel) {
    channels->addItem(TextOf(texts, ui::kColourFirstChannel + channel));
  }
  channels->setCurrentIndex(0);
  connect(channels, &QComboBox::currentIndexChanged, this, [this](int index) {
    model_.SelectChannel(static_cast<ColourAdjustModel::Channel>(index));
    canvas_->update();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channels, 0, Qt::AlignLeft);
  layout->addWidget(canvas_);
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  QPushButton* cancel = CaptionedButton(texts, ui::kCancelButton);
  layout->addLayout(ButtonRow({ok, cancel}));
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(ok, &QPushButton::clicked, this, &ColourAdjustDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &ColourAdjustDialog::reject);
}

void ColourAdjustDialog::accept() {
  model_.Accept();
  QDialog::accept();
}

void ColourAdjustDialog::reject() {
  model_.Cancel();
  QDialog::reject();
}

}  // namespace kelvaro::gui
