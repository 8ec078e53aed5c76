#ifndef KELVARO_GUI_PREVIEW_WIDGET_H_
#define KELVARO_GUI_PREVIEW_WIDGET_H_

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/job_parameters.h"
#include "image/work_image.h"

namespace kelvaro::gui {

// A picture of the page as the preview makes it: width × height pixels of 3 bytes R, G, B,
// row by row from the top.
struct PreviewBuffer {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Makes the preview from the job parameters, the loaded picture (nullptr with none) and the
// width the image area offers, in pixels. The window only shows what it gets.
using PreviewRenderer = std::function<PreviewBuffer(const JobParameters& params,
                                                    const WorkImage* image, int available_width)>;

// The preview until the picture preview is there: the blank page on the canvas size the
// layout uses.
PreviewBuffer BlankPagePreview(const JobParameters& params, const WorkImage* image,
                               int available_width);

// The image area: shows the preview buffer centred on its background, or the empty-area
// picture before there is one, and takes files dropped onto it.
class PreviewWidget final : public QWidget {
 public:
  using DropHandler = std::function<void(const std::vector<std::string>& local_files)>;

  explicit PreviewWidget(QWidget* parent = nullptr);
  void SetDropHandler(DropHandler handler) { drop_handler_ = std::move(handler); }
  void SetBuffer(const PreviewBuffer& buffer);
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
