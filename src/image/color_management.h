#ifndef KELVARO_IMAGE_COLOR_MANAGEMENT_H_
#define KELVARO_IMAGE_COLOR_MANAGEMENT_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/decoded_rows.h"
#include "image/orientation.h"
#include "image/profiles.h"
#include "image/work_image.h"
#include "platform/data_folders.h"
#include "platform/notifier.h"

namespace kelvaro {

// The texts the conversions show. The window fills them from the UiText table (entries 0,
// 134 and 133); the defaults are the built-in English texts.
struct ColourMessages {
  std::string title = kProgramTitle;                            // UiText 0
  std::string odd_image = "Something odd with this image";      // UiText 134
  std::string conversion_failure = "oops! Conversion failure";  // UiText 133
};

// What a conversion needs besides the pixels.
struct ColourContext {
  ProfileNames profiles;  // with the defaults applied (MakeProfileNames / ReadProfileNames)
  DataFolders folders;    // where bare profile names are looked for
  ColourMessages messages;
  // Worker threads for the transform; 0 means one per processor core.
  int threads = 0;
};

enum class ConvertStatus {
  kConverted,
  // No transform could be made from the two profiles (missing, damaged or of the wrong colour
  // space). "Something odd with this image" has been shown and Load Defaults has run.
  kNoTransform,
  // Memory ran out. The memory message has been shown; the program must close.
  kOutOfMemory,
  // The buffer does not hold width × height RGBA pixels. Nothing has been shown.
  kBadBuffer,
};

// The memory message shown before the program closes; `prefix` is 1 or 2.
std::string MemoryMessage(int prefix);

// Converts the WorkImage's raw buffer in place from width × height RGBA pixels to width ×
// height records of 5 bytes C, M, Y, K, A, through the input and output profiles with the
// perceptual intent. The opacity is carried around the transform unchanged. The buffer must
// hold at least 4 × width × height bytes; it is grown to 5 × width × height if needed (the
// loader allocates it at that size so that nothing else full-sized is needed).
//
// On any failure the raw buffer is emptied, which tells the load pipeline to stop:
// kNoTransform also runs `load_defaults` (the Load Defaults command) after its message;
// kOutOfMemory tells the caller to close the main window. Progress goes to `progress` as a
// percentage (0..100) from the calling thread; the work itself is spread over the threads.
ConvertStatus ConvertWorkImage(WorkImage& image, const ColourContext& context, Notifier& notifier,
                               ProgressSink& progress, const std::function<void()>& load_defaults);

// ConvertWorkImage with a head start: converts a picture's RGBA rows into C, M, Y, K, A
// records band by band while the loader still decodes the next ones (see DecodedRowsTaker).
// The same transform, so the same records.
// How a picture printed once is laid out, known before it decodes: its records can then go
// straight to their places in the oriented grid as they are converted, and none are kept in
// the picture's own order.
struct OrientAhead {
  bool mirror = false;
  bool flip = false;
  std::optional<bool> rotate;  // as chosen; unset: as the fit decides (TurnsAtLoad)
  Resolution file;             // the file's own resolution
  PrintableArea printable;
};

class RowConversion final : public DecodedRowsTaker {
 public:
  explicit RowConversion(ColourContext context);
  ~RowConversion() override;
  RowConversion(const RowConversion&) = delete;
  RowConversion& operator=(const RowConversion&) = delete;

  // Makes the transform and the records; false when either cannot be had (the conversion
  // step then converts, and reports, as always).
  bool Begin(std::int32_t width, std::int32_t height, int channels) override;
  // While the decoder runs on its own core, on this thread alone; after it, on every core.
  // True when the rows were converted: the records hold all that is needed of them.
  bool Take(std::span<const std::uint8_t> pixels, std::int32_t first, std::int32_t end,
            bool decoding) override;
  void Drop() override;
  std::chrono::steady_clock::duration busy() const override { return busy_; }

  // For the pictures that follow: their records go to their places in the oriented grid as
  // `ahead` lays it out; nullopt, in the picture's own order (the raw buffer).
  void PlaceOriented(std::optional<OrientAhead> ahead) { ahead_ = ahead; }
  // Set when the records converted so far are in their oriented places.
  const std::optional<RecordPlacement>& placement() const { return placement_; }

  // Every row of a picture of `image`'s size was converted; its decoded pixels may be gone.
  bool HasWholePicture(const WorkImage& image) const;
  // Some converted pixel is transparent (as HasTransparentPixel).
  bool saw_transparent() const { return transparent_; }

  // When HasWholePicture: the records become `image`'s raw buffer (its grid, when placed),
  // each with the opacity of its decoded pixel, or full opacity with `opaque`; the decoded
  // pixels are dropped and true is returned. False, with `image` unchanged, otherwise. What was
  // converted is forgotten either way.
  bool Finish(WorkImage& image, bool opaque, ProgressSink& progress);

 private:
  struct TransformDeleter {
    void operator()(void* transform) const;
  };
  ColourContext context_;
  std::unique_ptr<void, TransformDeleter> transform_;
  std::optional<OrientAhead> ahead_;
  std::optional<RecordPlacement> placement_;
  PixelBytes records_;  // in the picture's order, or in the grid's when placed
  // Each thread's colours and records of a few rows on their way to their places.
  std::vector<PixelBytes> scratch_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  int channels_ = 4;  // bytes a decoded pixel: R, G, B and, with 4, A
  std::int32_t rows_converted_ = 0;
  bool all_opaque_ = true;    // every pixel converted so far had full opacity
  bool transparent_ = false;  // some pixel converted so far is transparent
  std::chrono::steady_clock::duration busy_{};
};

// Soft proof for the screen: `pixels` holds width × height records of 5 bytes C, M, Y, K and a
// spare byte. On success it is replaced by width × height records of 4 bytes B, G, R, 0 (a
// 32-bit screen bitmap), converted from the printer profile to the image profile, and true is
// returned. When no transform can be made "oops! Conversion failure" is shown and `pixels` is
// left as it was; false is returned then, and also (with nothing shown) when the sizes do
// not match the buffer.
bool ProofToScreen(std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
                   const ColourContext& context, Notifier& notifier);

// The proof transform kept from one preview refresh to the next, so that a refresh costs the
// canvas and not the opening of two profiles and the building of a transform. The window
// keeps one for its life; a change of the profile names or folders makes a new transform on
// the next use, and Forget() drops it (a profile file replaced under the same name).
//
// The preview's records carry no black but at most a level of 1 (the white-only grey), so
// beside the four-channel transform two three-channel links are kept, sampled from it with
// black 0 and 1: Little CMS runs those through its fast 8-bit path, several times faster.
// Their results lie within a level or two of the four-channel transform's.
class ProofTransformCache {
 public:
  // `fast_links` false: every record through the four-channel transform, as ProofToScreen.
  explicit ProofTransformCache(bool fast_links = true);
  ~ProofTransformCache();
  ProofTransformCache(ProofTransformCache&&) noexcept;
  ProofTransformCache& operator=(ProofTransformCache&&) noexcept;
  ProofTransformCache(const ProofTransformCache&) = delete;
  ProofTransformCache& operator=(const ProofTransformCache&) = delete;

  // ProofToScreen with the kept transform: the same results and the same message when no
  // transform can be made (nothing is kept then, so the next call tries again).
  bool Convert(std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
               const ColourContext& context, Notifier& notifier);
  // The same from `records` (width × height records of 5 bytes) into `screen` (width × height
  // pixels of 4 bytes B, G, R and a fourth byte left as it was). False, with `screen`
  // untouched, when the sizes do not match or no transform can be made (shown as above).
  bool Convert(std::span<const std::uint8_t> records, std::span<std::uint8_t> screen,
               std::int32_t width, std::int32_t height, const ColourContext& context,
               Notifier& notifier);
  void Forget();
  // Whether a transform is kept at the moment.
  bool holds_transform() const { return transforms_.full != nullptr; }

 private:
  struct TransformDeleter {
    void operator()(void* transform) const;
  };
  using Transform = std::unique_ptr<void, TransformDeleter>;
  struct Transforms {
    Transform full;     // C, M, Y, K and a spare byte to B, G, R and a spare byte
    Transform black_0;  // C, M, Y and two spare bytes, black taken as 0; may be null
    Transform black_1;  // the same with black 1
  };
  // The transforms for the profiles of `context`, made when they are not kept yet; false
  // (after the message) when none can be made.
  bool MakeTransforms(const ColourContext& context, Notifier& notifier);

  bool fast_links_ = true;
  Transforms transforms_;
  ProfileNames names_;
  DataFolders folders_;
};

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_COLOR_MANAGEMENT_H_
