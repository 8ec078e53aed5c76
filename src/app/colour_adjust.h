#ifndef KELVARO_APP_COLOUR_ADJUST_H_
#define KELVARO_APP_COLOUR_ADJUST_H_

#include <cstdint>
#include <functional>
#include <vector>

#include "image/tone_curve_table.h"
#include "settings/tone_curves.h"

namespace kelvaro {

// The colour adjustment window without a toolkit: the three tone curves, the table built from
// them while the user drags, and the canvas the window shows. The window forwards the mouse
// and the buttons here and paints `canvas()`.
class ColourAdjustModel {
 public:
  // The channel list: "All" edits the cyan curve and copies it into magenta and yellow.
  enum class Channel { kAll = 0, kCyan = 1, kMagenta = 2, kYellow = 3 };

  // Canvas pixels: 258 × 258, curve point (x, y) at pixel (x, 255 − y).
  static constexpr int kCanvasSize = 258;
  // The draggable points' colours (0xRRGGBB): P1, P2, P3.
  static constexpr std::uint32_t kPointColours[3] = {0xFF0000, 0xE60000, 0xFF00FF};

  // Called with the model after every release of a dragged point, after OK and after Cancel,
  // so that the main window takes the curves and the table and redraws its preview.
  using Changed = std::function<void(const ColourAdjustModel&)>;

  // Opens on the window's curves and table: both are backed up, "All" is selected and the
  // cyan curve drawn.
  ColourAdjustModel(const ToneCurves& curves, const ToneCurveTable& table, Changed changed = {});

  void SelectChannel(Channel channel);
  Channel channel() const { return channel_; }

  // Button down at a canvas pixel: picks P1, P2 or P3 when the pixel lies in its 7 × 7 box.
  // false when no point was picked (a click on the curve or the background).
  bool Press(int canvas_x, int canvas_y);
  // Mouse move: the picked point follows, clamped to the canvas, and the curve is redrawn.
  void Drag(int canvas_x, int canvas_y);
  // Button up: true when a drag ended (then `changed` has run).
  bool Release();
  int dragged_point() const { return dragged_; }

  // OK: the gaps of all three rows are filled once more; curves and table stay as edited.
  void Accept();
  // Cancel or the close box: the curves and the table exactly as they were when the window
  // opened (the window closes; nothing is drawn again).
  void Cancel();

  const ToneCurves& curves() const { return curves_; }
  const ToneCurveTable& table() const { return table_; }
  // 0xRRGGBB pixels, row by row.
  const std::vector<std::uint32_t>& canvas() const { return canvas_; }

 private:
  // The curve that is drawn and edited: cyan for "All".
  int EditedCurve() const;
  void Redraw(bool edited_now = false);
  void DrawLine(int x0, int y0, int x1, int y1);
  void DrawPoint(int x, int y, std::uint32_t colour);

  void Report() const;

  Changed changed_;
  ToneCurves curves_;
  ToneCurveTable table_;
  const ToneCurves backup_curves_;
  const ToneCurveTable backup_table_;
  Channel channel_ = Channel::kAll;
  int dragged_ = 0;  // 0, or the number 1 to 3 of the point being dragged
  std::vector<std::uint32_t> canvas_;
};

}  // namespace kelvaro

#endif  // KELVARO_APP_COLOUR_ADJUST_H_
