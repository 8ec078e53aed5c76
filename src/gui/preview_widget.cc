#include "gui/preview_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrl>

#include "image/page_layout.h"

namespace kelvaro::gui {

PreviewCanvas BlankPageCanvas(const JobParameters& params) {
  const CanvasSize size =
      ComputeCanvasSize(params.image_area_width, params.page.width, params.page.height);
  PreviewCanvas canvas;
  canvas.width = std::max(size.width, 0);
  canvas.height = std::max(size.height, 0);
  canvas.rgba.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 4, 0xFF);
  return canvas;
}

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  setAcceptDrops(true);
  setAutoFillBackground(false);
}

void PreviewWidget::SetCanvas(const PreviewCanvas& canvas) {
  if (canvas.width <= 0 || canvas.height <= 0 ||
      canvas.rgba.size() < static_cast<std::size_t>(canvas.width) * canvas.height * 4) {
    image_ = QImage();
  } else {
    image_ = QImage(canvas.rgba.data(), canvas.width, canvas.height, canvas.width * 4,
                    QImage::Format_RGBA8888)
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
