#ifndef KELVARO_IMAGE_IMAGE_LOADER_H_
#define KELVARO_IMAGE_IMAGE_LOADER_H_

#include <filesystem>
#include <string>

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

// Decodes the picture at `path` into `image`: its raw buffer becomes 5 × width × height bytes,
// the first 4 × width × height of them RGBA row by row from the top (from the bottom when
// `flip`), the rest zero. The decoder reads a private temporary copy of the file when one can
// be made, else the file itself; the copy is deleted straight after decoding. Decoder errors
// and a failed pixel copy are shown through `notifier`; returns false then, and `image` is left
// empty. Progress: 1, 5 and 25 of 100.
bool DecodeImageFile(const std::filesystem::path& path, bool flip, WorkImage& image,
                     Notifier& notifier, ProgressSink& progress);

// Opens a picture file the way the window does. `path` is the file path text: double quotes are
// removed from it unless it names a file as it is; on any failure it is set to "" and `image`
// is left exactly as it was (the
// previous picture stays usable). On success `image` holds the converted raw records,
// the oriented grids, the fitted resolution and the sizes; the outcome tells the fit's Rotate
// decision, transparency, whether the fit command should run and the size labels.
// The window itself writes "0" to the "Crop" setting and resets the copy counts first.
LoadOutcome LoadImageFile(std::string& path, const LoadOptions& options, const LoadSteps& steps,
                          WorkImage& image, Notifier& notifier, ProgressSink& progress);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_IMAGE_LOADER_H_
