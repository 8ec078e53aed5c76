#ifndef KELVARO_JOB_BLANK_PAGE_H_
#define KELVARO_JOB_BLANK_PAGE_H_

#include <optional>

#include "job/postscript_writer.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The blank page's image: 20 × 20 pixels of five zero planes, 2,000 bytes.
inline constexpr int kBlankPagePixels = 20;

// A complete job whose only content is an image without toner, so that the printer feeds and
// processes one sheet without printing on it. It honours the number of prints, tray, media
// type, output bin and paper size of `input` and ignores the copies grid, offsets, caption
// and statistics. nullopt only when its 2,000 bytes cannot be allocated.
std::optional<PostScriptJob> BuildBlankPageJob(const PostScriptJobInput& input,
                                               const UiText& texts);

}  // namespace kelvaro

#endif  // KELVARO_JOB_BLANK_PAGE_H_
