#ifndef KELVARO_IMAGE_SCREEN_PREVIEW_H_
#define KELVARO_IMAGE_SCREEN_PREVIEW_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/color_management.h"
#include "image/page_layout.h"
#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "image/work_image.h"
#include "platform/notifier.h"

namespace kelvaro {

// Bytes of a preview buffer: resize() leaves them unset, as every byte is written afterwards.
using ScreenBytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

// What the preview reads of the window, once per refresh. `colour` holds the same controls
// the print reads (medium, white sliders and boxes, brightness, contrast, black removal and
// its fuzz); the toner layout and the film flag do not change what the screen shows.
struct PreviewParams {
  SeparationParams colour;
  bool display_white = false;
};

// One copy of the picture before the proof: width × height records of 5 bytes C, M, Y, K, E,
// row by row from the top. E is 255 for a pixel that is drawn and 0 for one that lets the
// background through.
struct ProofRecords {
  std::int32_t width = 0;
  std::int32_t height = 0;
  ScreenBytes bytes;
};

// The white plane of one copy at the grid's size (width × height bytes, row by row): as the
// separation made it, and as the job prints it after the white edge.
struct GridWhitePlanes {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> separated;
  std::vector<std::uint8_t> printed;
};

// The picture as one preview copy of `width` × `height` pixels samples it, nearest neighbour:
// copy row j and column i take the grid pixel at row round(1 + j × grid height ÷ height) and
// column round(1 + i × grid width ÷ width), counted from 1 and kept within the grid. Each
// sample is 8 bytes: the preview grid's C', M', Y', A (black folded in), then the pixel grid's
// C, M, Y and a spare 0, row by row from the top. Only these are read on a refresh, so that
// its cost follows the copy and not the picture.
struct PreviewSamples {
  std::int32_t width = 0;  // the copy, pixels
  std::int32_t height = 0;
  std::int32_t grid_width = 0;  // the grid sampled, pixels
  std::int32_t grid_height = 0;
  ScreenBytes bytes;
};
inline constexpr std::size_t kPreviewSampleBytes = 8;

// The samples of `image` for a copy of `width` × `height` pixels. nullopt when a size is not
// positive or the grids do not hold their published size.
std::optional<PreviewSamples> SamplePicture(const WorkImage& image, std::int32_t width,
                                            std::int32_t height);

// The samples kept from one refresh to the next: taken again when the copy's or the grid's
// size changes, or after Forget(). The picture's owner calls Forget() whenever its pixels may
// have changed (a load, a new orientation), since a grid rebuilt in place looks the same here.
class PreviewSampleCache {
 public:
  // The samples of `image` at `width` × `height` pixels; null as SamplePicture gives nothing.
  const PreviewSamples* Samples(const WorkImage& image, std::int32_t width, std::int32_t height);
  void Forget() { kept_.reset(); }

 private:
  std::optional<PreviewSamples> kept_;
  const std::uint8_t* grid_ = nullptr;  // where the sampled grids were
  const std::uint8_t* preview_ = nullptr;
};

// Turns every sample into a proof record: the hot-stamp tint for the hot stamp foil, else the
// colour preview (tone curves, black removal, the screen's brightness, contrast and gamma, the
// white display, the white-only grey). With `pattern_mask` (one byte per sample, row by row)
// a non-zero byte makes the record magenta (0, 200, 0, 0, 0). nullopt when the mask is not
// one byte per sample.
//
// With `white` (planes of the sampled grid's size) and the white displayed, the display
// follows the white edge: where the edge took white away the colour loses the lightening of
// the white under it, and a sample left with neither white nor colour lets the background
// through; where a spread added white, the colour is lightened by it and an undrawn sample
// shows white. Samples whose white the edge left alone come out as without `white`.
std::optional<ProofRecords> SampleProofRecords(
    const PreviewSamples& samples, const PreviewParams& params, const ToneCurveTable& tone_table,
    std::optional<std::span<const std::uint8_t>> pattern_mask,
    const GridWhitePlanes* white = nullptr);
// The same for `image` sampled at `width` × `height` pixels; nullopt also when SamplePicture
// gives nothing.
std::optional<ProofRecords> SampleProofRecords(
    const WorkImage& image, std::int32_t width, std::int32_t height, const PreviewParams& params,
    const ToneCurveTable& tone_table, std::optional<std::span<const std::uint8_t>> pattern_mask,
    const GridWhitePlanes* white = nullptr);

// One copy as the screen shows it: width × height pixels of 4 bytes B, G, R, E.
struct PreviewImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  ScreenBytes pixels;
};

// The preview of one copy: the proof records converted for the screen through the printer and
// image profiles with the kept transform of `proof`, each pixel's E copied into its fourth
// byte. nullopt when SampleProofRecords gives nothing or no proof transform can be made (then
// "oops! Conversion failure" has been shown).
std::optional<PreviewImage> BuildPreviewImage(
    const PreviewSamples& samples, const PreviewParams& params, const ToneCurveTable& tone_table,
    std::optional<std::span<const std::uint8_t>> pattern_mask, ProofTransformCache& proof,
    const ColourContext& colour, Notifier& notifier, const GridWhitePlanes* white = nullptr);

// The white view of one copy: the printed white plane of `white` sampled at `width` ×
// `height` pixels as the preview samples the grid, each pixel a grey of its white level (full
// white toner light, none dark), every pixel drawn. A non-zero byte of `pattern_mask` (one per
// pixel) knocks the white out. nullopt when a size is not positive or the plane or the mask
// does not hold its size.
std::optional<PreviewImage> BuildWhiteViewImage(
    const GridWhitePlanes& white, std::int32_t width, std::int32_t height,
    std::optional<std::span<const std::uint8_t>> pattern_mask);

// The canvas background: plain white while "Print White" is off, the medium (a checkerboard
// of white and light grey) while it is on. The numbers are the window's preview modes. The
// white view draws on black, where no toner lies.
enum class PreviewBackground : int { kPlain = 6, kMedium = 17, kWhiteView = 30 };
inline constexpr int kCheckerSquare = 8;           // pixels
inline constexpr std::uint8_t kCheckerGrey = 204;  // the darker squares

// The preview of the page: width × height pixels of 4 bytes R, G, B, A (A always 255), row
// by row from the top, ready for a screen image or a PNG file.
struct PreviewCanvas {
  std::int32_t width = 0;
  std::int32_t height = 0;
  ScreenBytes rgba;
};

// Draws the page on `canvas`: the background, a dotted line along the printable area, every
// copy of `copy` at its place in `layout` (clipped to the canvas) and the page's outline. In
// the plain mode a copy's pixels are copied; over the medium a drawn pixel is combined with
// the background (near-white lightens it, anything else is ANDed with it) and an undrawn one
// leaves it visible. Without a layout or a copy only the page is drawn.
PreviewCanvas ComposePreviewCanvas(CanvasSize canvas, PreviewBackground background,
                                   const PageLayout* layout, const PreviewImage* copy);

// The zoom label: the picture's scale (oriented size ÷ physical size; with Rotate the width
// is compared with the physical height) as a percentage with one decimal, "81.3%".
std::string ZoomLabel(const WorkImage& image, bool rotate);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_SCREEN_PREVIEW_H_
