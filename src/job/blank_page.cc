#include "job/blank_page.h"

#include <cstdlib>

#include "job/feature_blocks.h"

namespace kelvaro {

std::optional<PostScriptJob> BuildBlankPageJob(const PostScriptJobInput& input,
                                               const UiText& texts) {
  PostScriptJob job;
  job.image = TiledImage::Blank(kBlankPagePixels, kBlankPagePixels, 72, 72);
  job.number_of_prints = ClampNumberOfPrints(input.number_of_prints);
  const HeaderImage image{kBlankPagePixels, kBlankPagePixels, 72, 72};
  job.header = BuildJobHeader(input, texts, image, JobKind::kBlankPage, job.number_of_prints);
  job.trailer = BuildJobTrailer();
  return job;
}

}  // namespace kelvaro
