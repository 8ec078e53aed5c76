#ifndef KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_
#define KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_

#include <QDialog>
#include <QWidget>

#include "app/colour_adjust.h"
#include "settings/ui_text.h"

class QComboBox;

namespace kelvaro::gui {

// The canvas of the colour window: paints the model's pixels and forwards the mouse.
class CurveCanvas final : public QWidget {
 public:
  explicit CurveCanvas(ColourAdjustModel& model, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ColourAdjustModel& model_;
};

// "Colour Adjust": the view of a ColourAdjustModel, the tone curves bent on a canvas.
class ColourAdjustDialog final : public QDialog {
 public:
  ColourAdjustDialog(ColourAdjustModel& model, const UiText& texts, QWidget* parent = nullptr);

  void accept() override;
  void reject() override;  // Cancel, Escape and the close box

 private:
  ColourAdjustModel& model_;
  CurveCanvas* canvas_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_COLOUR_ADJUST_DIALOG_H_
