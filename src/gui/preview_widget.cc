#include "gui/preview_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrl>

#include "image/page_layout.h"

namespace kelvaro::gui {

PreviewBuffer BlankPagePreview(const JobParameters& params, const WorkImage*, int available_width) {
  const CanvasSize canvas =
      ComputeCanvasSize(available_width, params.page.width, params.page.height);
  PreviewBuffer buffer;
  buffer.width = std::max(canvas.width, 0);
  buffer.height = std::max(canvas.height, 0);
  buffer.rgb.assign(static_cast<std::size_t>(buffer.width) * buffer.height * 3, 0xFF);
  return buffer;
}

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  setAcceptDrops(true);
  setAutoFillBackground(false);
}

void PreviewWidget::SetBuffer(const PreviewBuffer& buffer) {
  if (buffer.width <= 0 || buffer.height <= 0 ||
      buffer.rgb.size() < static_cast<std::size_t>(buffer.width) * buffer.height * 3) {
    image_ = QImage();
  } else {
    image_ = QImage(buffer.rgb.data(), buffer.width, buffer.height, buffer.width * 3,
                    QImage::Format_RGB888)
                 .copy();
  }
  update();
}

void PreviewWidget::SetEmptyPicture(const QString& resource) {
  empty_picture_ = resource;
  update();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0x8a, 0x93, 0x9e));
  if (!image_.isNull()) {
    const QPoint at((width() - image_.width()) / 2, (height() - image_.height()) / 2);
    painter.drawImage(at, image_);
    return;
  }
  if (!empty_picture_.isEmpty()) {
    QSvgRenderer picture(empty_picture_);
    picture.render(&painter, QRectF(rect()));
  }
}

void PreviewWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PreviewWidget::dropEvent(QDropEvent* event) {
  std::vector<std::string> files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  }
  event->acceptProposedAction();
  if (drop_handler_ && !files.empty()) drop_handler_(files);
}

}  // namespace kelvaro::gui
