#ifndef KELVARO_IMAGE_IMAGE_LOADER_H_
#define KELVARO_IMAGE_IMAGE_LOADER_H_

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "image/decoded_rows.h"
#include "image/load_pipeline.h"
#include "image/work_image.h"
#include "platform/notifier.h"

namespace kelvaro {

// Starts the image decoder. Start-up calls it once; further calls do nothing.
void InitImageDecoder();

// The name shown for a decoder error code ("INVALID ENUM", ..., "Error 1234" for codes not in
// the table); "" for 0.
std::string ImageErrorName(unsigned code);

// Reads the decoder's pending error and, when there is one, shows its name (title
// "Kelvaro Pro", error icon). Then empties the decoder's error queue (at most 200 reads).
// Returns true when an error was reported.
bool CheckImageError(Notifier& notifier);

// Shown when the decoded pixels cannot be copied out of the decoder.
inline constexpr char kFailedToConvertImage[] = "Failed to Convert Image";
// The temporary copy is "Vtemp" + a unique part + the file's extension.
inline constexpr char kTempCopyStem[] = "Vtemp";

// Shown, after the file's name, when the decoder crashed, hung or ran out of its memory.
inline constexpr char kNotDecoded[] = "the picture could not be decoded";

// What a decode may cost.
struct DecodeLimits {
  // Wall-clock and processor time of the decoder.
  std::chrono::milliseconds time{120000};
  // The memory the program may use for a picture, in bytes; 0 for the computer's memory.
  std::uint64_t memory_bytes = 0;
  // Plain PNGs are read row by row with the PNG library; off, every picture goes through the
  // general decoder (the two give the same pixels).
  bool png_rows = true;
};

// Decodes the picture at `path` into `image`: its decoded pixels become width × height RGBA
// pixels row by row from the top (from the bottom when `flip`), in the decoder's memory.
// Only a regular file is read. Its leading bytes choose the decoder, whatever its name says,
// and its header's width and height are checked before any decoding: an empty picture, one
// larger than the decoder can hold or one that would not fit in `limits.memory_bytes` is
// refused. The decoder runs in a child process under `limits`, on a private temporary copy of
// the file (BMP files with newer info headers get the classic header there); the pixels come
// back through shared memory, and the copy is deleted when the child ends. A decoder crash,
// hang or runaway costs only the child.
// Every failure is shown through `notifier` with the file's name (decoder errors by their name
// on the first line); returns false then, and `image` is left empty. Progress: 1, 5 and 25
// of 100.
//
// With `rows`, a plain PNG's rows are handed to it while the next ones decode, on a thread of
// the loader's (see DecodedRowsTaker); it is told to drop them unless they are the picture
// that `image` gets.
bool DecodeImageFile(const std::filesystem::path& path, bool flip, WorkImage& image,
                     Notifier& notifier, ProgressSink& progress, const DecodeLimits& limits = {},
                     DecodedRowsTaker* rows = nullptr);

// Opens a picture file the way the window does. `path` is the file path text: double quotes are
// removed from it unless it names a file as it is; on any failure it is set to "" and `image`
// is left exactly as it was (the
// previous picture stays usable). On success `image` holds the converted raw records,
// the oriented grids, the fitted resolution and the sizes; the outcome tells the fit's Rotate
// decision, transparency, whether the fit command should run and the size labels.
// The window itself writes "0" to the "Crop" setting and resets the copy counts first.
// `limits` bound the decoding as for DecodeImageFile.
LoadOutcome LoadImageFile(std::string& path, const LoadOptions& options, const LoadSteps& steps,
                          WorkImage& image, Notifier& notifier, ProgressSink& progress,
                          const DecodeLimits& limits = {});

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_IMAGE_LOADER_H_
