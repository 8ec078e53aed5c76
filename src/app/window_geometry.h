#ifndef KELVARO_APP_WINDOW_GEOMETRY_H_
#define KELVARO_APP_WINDOW_GEOMETRY_H_

#include "settings/settings_store.h"

namespace kelvaro {

// Sizes and positions of the main window, in screen pixels.
inline constexpr int kDefaultWindowWidth = 1017;
inline constexpr int kDefaultWindowHeight = 511;
inline constexpr int kDefaultImageAreaWidth = 310;
inline constexpr int kDefaultImageAreaHeight = 438;

struct WindowGeometry {
  int x = 0;
  int y = 0;
  int width = kDefaultWindowWidth;
  int height = kDefaultWindowHeight;
  int image_area_width = kDefaultImageAreaWidth;
  int image_area_height = kDefaultImageAreaHeight;
  bool restored = false;  // true when the saved geometry was used

  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// The default window, centred on a screen of the given size.
WindowGeometry DefaultWindowGeometry(int screen_width, int screen_height);

// The geometry the window opens with: the saved [Active] L_Used_X, L_Used_Y, L_Used_H,
// L_Used_W and T_Used_W when they are usable, else the centred default. A negative saved
// position or a saved height below 438 gives the default; so does a saved window that would
// lie wholly off the screen, or one without a usable width.
WindowGeometry RestoreWindowGeometry(const SettingsStore& store, int screen_width,
                                     int screen_height);

// Writes the geometry of the closing window: position, outer size and image-area width.
void SaveWindowGeometry(SettingsStore& store, int x, int y, int width, int height,
                        int image_area_width);

// The outer window size and image area for a size the user drags to. The height decides;
// the image area keeps the proportion 1000 : 1414.
struct DraggedSize {
  int width = 0;
  int height = 0;
  int image_area_width = 0;
  int image_area_height = 0;

  friend bool operator==(const DraggedSize&, const DraggedSize&) = default;
};
// With a screen size that holds the smallest window, the window is kept within it.
DraggedSize SizeForDrag(int proposed_width, int proposed_height, int screen_width = 0,
                        int screen_height = 0);

}  // namespace kelvaro

#endif  // KELVARO_APP_WINDOW_GEOMETRY_H_
