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

CurveCanvas::CurveCanvas(ColourAdjustModel& model, std::function<void()> released, QWidget* parent)
    : QWidget(parent), model_(model), released_(std::move(released)) {
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
  if (model_.Release() && released_) released_();
}

ColourAdjustDialog::ColourAdjustDialog(const ToneCurves& curves, const ToneCurveTable& table,
                                       const UiText& texts, Changed changed, QWidget* parent)
    : QDialog(parent), model_(curves, table), changed_(std::move(changed)) {
  setWindowTitle(TextOf(texts, ui::kColourAdjustTitle));
  canvas_ = new CurveCanvas(model_, [this] {
    if (changed_) changed_(model_);
  });
  canvas_->setObjectName("canvas");
  canvas_->setAccessibleName(TextOf(texts, ui::kColourAdjustTitle));
  auto* channels = new QComboBox;
  channels->setObjectName("channel");
  channels->setAccessibleName(TextOf(texts, ui::kColourAdjustTitle));
  for (int text : {ui::kAllChannels, ui::kCyanChannel, ui::kMagentaChannel, ui::kYellowChannel})
    channels->addItem(TextOf(texts, text));
  channels->setCurrentIndex(0);
  connect(channels, &QComboBox::currentIndexChanged, this, [this](int index) {
    model_.SelectChannel(static_cast<ColourAdjustModel::Channel>(index));
    canvas_->update();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channels, 0, Qt::AlignLeft);
  layout->addWidget(canvas_);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  QPushButton* cancel = CaptionedButton(texts, ui::kCancelButton, "cancel");
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(ok, &QPushButton::clicked, this, &ColourAdjustDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &ColourAdjustDialog::reject);
}

void ColourAdjustDialog::accept() {
  model_.Accept();
  if (changed_) changed_(model_);
  QDialog::accept();
}

void ColourAdjustDialog::reject() {
  model_.Cancel();
  if (changed_) changed_(model_);
  QDialog::reject();
}

}  // namespace kelvaro::gui
