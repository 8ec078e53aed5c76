#include "app/window_geometry.h"

#include "platform/rounding.h"
#include "settings/keys.h"

namespace kelvaro {
namespace {

// The image area's height for its width, in the proportion 1000 : 1414.
int ImageAreaHeightFor(int width) {
  return static_cast<int>(DivideRoundEven(static_cast<long>(width) * 1414, 1000));
}

}  // namespace

WindowGeometry DefaultWindowGeometry(int screen_width, int screen_height) {
  WindowGeometry geometry;
  // Centred with the historical outer size the window was first laid out with.
  geometry.x = (screen_width - 1005) / 2;
  geometry.y = (screen_height - 485) / 2;
  return geometry;
}

WindowGeometry RestoreWindowGeometry(const SettingsStore& store, int screen_width,
                                     int screen_height) {
  const WindowGeometry fallback = DefaultWindowGeometry(screen_width, screen_height);
  const long x = ReadLeadingNumber(store.ReadSetting(keys::active::kWindowX));
  const long y = ReadLeadingNumber(store.ReadSetting(keys::active::kWindowY));
  if (x < 0 || y < 0) return fallback;
  const long height = ReadLeadingNumber(store.ReadSetting(keys::active::kWindowHeight));
  if (height < kDefaultImageAreaHeight) return fallback;
  const long width = ReadLeadingNumber(store.ReadSetting(keys::active::kWindowWidth));
  // A window without width cannot be used, and one saved wholly beyond the screen (a monitor
  // that has gone) could never be reached again.
  if (width <= 0) return fallback;
  if (screen_width > 0 && screen_height > 0 && (x >= screen_width || y >= screen_height)) {
    return fallback;
  }
  long area_width = ReadLeadingNumber(store.ReadSetting(keys::active::kImageAreaWidth));
  if (area_width <= 0) area_width = kDefaultImageAreaWidth;

  WindowGeometry geometry;
  geometry.x = static_cast<int>(x);
  geometry.y = static_cast<int>(y);
  geometry.width = static_cast<int>(width);
  geometry.height = static_cast<int>(height);
  geometry.image_area_width = static_cast<int>(area_width);
  geometry.image_area_height = ImageAreaHeightFor(geometry.image_area_width);
  geometry.restored = true;
  return geometry;
}

void SaveWindowGeometry(SettingsStore& store, int x, int y, int width, int height,
                        int image_area_width) {
  store.WriteSetting(keys::active::kWindowX, FormatStoredNumber(x));
  store.WriteSetting(keys::active::kWindowY, FormatStoredNumber(y));
  store.WriteSetting(keys::active::kWindowHeight, FormatStoredNumber(height));
  store.WriteSetting(keys::active::kWindowWidth, FormatStoredNumber(width));
  store.WriteSetting(keys::active::kImageAreaWidth, FormatStoredNumber(image_area_width));
}

namespace {

DraggedSize SizeForHeight(int height) {
  DraggedSize size;
  size.height = height;
  size.image_area_width = static_cast<int>(DivideRoundEven((height - 78L) * 1000, 1414));
  size.width = size.image_area_width + 707;
  size.image_area_height = ImageAreaHeightFor(size.image_area_width);
  return size;
}

}  // namespace

DraggedSize SizeForDrag(int proposed_width, int proposed_height, int screen_width,
                        int screen_height) {
  int height = proposed_height;
  if (proposed_width < kDefaultWindowWidth || proposed_height < kDefaultWindowHeight) {
    height = kDefaultWindowHeight;
  }
  DraggedSize size = SizeForHeight(height);
  // The width follows the height, so a tall drag could push the right-hand controls off the
  // screen: the window stops growing where it still fits. A screen that cannot hold even the
  // smallest window is no guide.
  const DraggedSize smallest = SizeForHeight(kDefaultWindowHeight);
  if (screen_width >= smallest.width && screen_height >= smallest.height) {
    while (size.height > kDefaultWindowHeight &&
           (size.width > screen_width || size.height > screen_height)) {
      size = SizeForHeight(size.height - 1);
    }
  }
  return size;
}

}  // namespace kelvaro
