#ifndef KELVARO_IMAGE_PREVIEW_PNG_H_
#define KELVARO_IMAGE_PREVIEW_PNG_H_

#include <filesystem>

#include "image/screen_preview.h"
#include "platform/outcome.h"

namespace kelvaro {

// Writes the preview canvas to `path` as an RGBA PNG, replacing the file as a whole (a
// failure leaves an older file as it was). The failure says why.
Outcome WritePreviewPng(const std::filesystem::path& path, const PreviewCanvas& canvas);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_PREVIEW_PNG_H_
