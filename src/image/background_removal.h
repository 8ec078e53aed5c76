#ifndef KELVARO_IMAGE_BACKGROUND_REMOVAL_H_
#define KELVARO_IMAGE_BACKGROUND_REMOVAL_H_

#include <cstdint>
#include <span>
#include <string>

#include "image/work_image.h"
#include "platform/notifier.h"

namespace kelvaro {

// Written by the black removal dialog when the key is empty.
inline constexpr char kDefaultBlackRemovalFuzzy[] = "5";

// A picture with a pixel whose opacity is below this counts as transparent.
inline constexpr std::uint8_t kTransparentBelow = 50;

// True when some pixel of `rgba` (4 bytes R, G, B, A per pixel) has A below 50.
bool HasTransparentPixel(std::span<const std::uint8_t> rgba);

struct BackgroundRemovalOptions {
  SourceKind source_kind = SourceKind::kOther;  // lossless kinds match exactly, others by tolerance
  bool removal_on = false;                      // the "Background Removal" switch
  double jpeg_artifact = 5;                     // "JPEG Artifact", the tolerance for JPEG files
  std::string caption = "<<<<<  background removal  >>>>>";  // UiText 37
};

// The tolerance window of one channel in tolerance mode: a value x matches when
// centre - tolerance < x < centre + tolerance.
struct ToleranceWindow {
  int centre = 0;
  int tolerance = 0;
  bool Contains(int x) const { return x > centre - tolerance && x < centre + tolerance; }
};

// The window around reference value `v` (0..255) for tolerance `tolerance` (kept within
// 0..255): centred on v, moved up to `tolerance` near 0 and down to 256 - tolerance near 255.
ToleranceWindow MakeToleranceWindow(int v, int tolerance);

// The tolerance used for a stored "JPEG Artifact": rounded (ties to even) and kept within
// 0..255, so a damaged value cannot overflow.
int JpegTolerance(double jpeg_artifact);

// Makes the background of an opaque picture transparent. `rgba` holds the decoded pixels, 4
// bytes R, G, B, A each, row by row; only A bytes change.
//
// A picture with a pixel of A below 50 is left as it is and false is returned (the
// "Background Removal" box does not apply to it). Otherwise true is returned, and: with the
// switch off every A becomes 255; with it on, every pixel of the first pixel's colour gets
// A = 0 — exactly that colour for lossless files, every colour inside the tolerance window of
// each channel for the other kinds. Progress (a percentage) goes to `progress` every 5000
// pixels, after the caption.
bool RemoveBackground(std::span<std::uint8_t> rgba, const BackgroundRemovalOptions& options,
                      ProgressSink& progress);

// The JPEG settings dialog's slider (0..100) and "JPEG Artifact":
// position = round(5 × (artifact - 1)), artifact = round(position ÷ 5 + 1). Positions are
// kept within the slider's range.
int JpegArtifactToSlider(double jpeg_artifact);
int SliderToJpegArtifact(int position);

// The black removal dialog's slider (0..100) and "BLACK Removal Fuzzy" f:
// position = round(f × 100 ÷ 50), f = max(position × 50 ÷ 100, 1), so halves occur.
int BlackRemovalFuzzToSlider(double fuzz);
double SliderToBlackRemovalFuzz(int position);

// A setting number the way the store writes it: a blank before non-negative values, and
// at most the decimals needed (" 5", " 12.5", "-2").
std::string FormatSettingDecimal(double value);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_BACKGROUND_REMOVAL_H_
