#ifndef KELVARO_GUI_PREVIEW_WIDGET_H_
#define KELVARO_GUI_PREVIEW_WIDGET_H_

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/job_parameters.h"
#include "image/screen_preview.h"
#include "image/work_image.h"

namespace kelvaro::gui {

// The page with no picture loaded: white, on the canvas the layout uses for the window's page
// and image area width.
PreviewCanvas BlankPageCanvas(const JobParameters& params);

// The image area: shows the preview buffer centred on its background, or the empty-area
// picture before there is one, and takes files dropped onto it.
class PreviewWidget final : public QWidget {
 public:
  using DropHandler = std::function<void(const std::vector<std::string>& local_files)>;

  explicit PreviewWidget(QWidget* parent = nullptr);
  void SetDropHandler(DropHandler handler) { drop_handler_ = std::move(handler); }
  // Shows a canvas the preview drew (R, G, B, A bytes row by row).
  void SetCanvas(const PreviewCanvas& canvas);
  void SetEmptyPicture(const QString& resource);
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QImage image_;
  QString empty_picture_;
  DropHandler drop_handler_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PREVIEW_WIDGET_H_
