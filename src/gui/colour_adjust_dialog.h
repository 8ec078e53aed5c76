#ifndef KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_
#define KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_

#include <QDialog>
#include <QWidget>
#include <functional>

#include "app/colour_adjust.h"
#include "settings/ui_text.h"

class QComboBox;

namespace kelvaro::gui {

// The canvas of the colour window: paints the model's pixels and forwards the mouse.
class CurveCanvas final : public QWidget {
 public:
  CurveCanvas(ColourAdjustModel& model, std::function<void()> released, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ColourAdjustModel& model_;
  std::function<void()> released_;
};

// "Colour Adjust": the tone curves bent on a canvas. `changed` is called with the model after
// every release of a dragged point, after OK and after Cancel or the close box, so that the
// window takes the curves and the table and redraws its preview.
class ColourAdjustDialog final : public QDialog {
 public:
  using Changed = std::function<void(const ColourAdjustModel&)>;
  ColourAdjustDialog(const ToneCurves& curves, const ToneCurveTable& table, const UiText& texts,
                     Changed changed, QWidget* parent = nullptr);

  ColourAdjustModel& model() { return model_; }
  CurveCanvas* canvas() { return canvas_; }

  void accept() override;
  void reject() override;  // Cancel, Escape and the close box

 private:
  ColourAdjustModel model_;
  Changed changed_;
  CurveCanvas* canvas_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_
