#include "job/blank_page.h"

#include <cstdlib>

#include "job/feature_blocks.h"

namespace kelvaro {

std::optional<PostScriptJob> BuildBlankPageJob(const PostScriptJobInput& input,
                                               const UiText& texts) {
  constexpr std::size_t kBytes = static_cast<std::size_t>(5) * kBlankPagePixels * kBlankPagePixels;
  PostScriptJob job;
  job.image.data.reset(static_cast<std::uint8_t*>(std::calloc(kBytes, 1)));
  if (!job.image.data) return std::nullopt;
  job.image.size = kBytes;
  job.image.x_pixel = kBlankPagePixels;
  job.image.y_pixel = kBlankPagePixels;
  job.image.x_point = 72;
  job.image.y_point = 72;
  job.number_of_prints = ClampNumberOfPrints(input.number_of_prints);
  const HeaderImage image{kBlankPagePixels, kBlankPagePixels, 72, 72};
  job.header = BuildJobHeader(input, texts, image, JobKind::kBlankPage, job.number_of_prints);
  job.trailer = BuildJobTrailer();
  return job;
}

}  // namespace kelvaro
