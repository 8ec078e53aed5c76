#include "app/job_planes.h"

#include <algorithm>

#include "image/white_edge.h"
#include "platform/length_units.h"

namespace kelvaro {

PlaneResolution JobPlaneResolution(const WorkImage& image) {
  PlaneResolution resolution;
  if (image.oriented_width_pt > 0) {
    resolution.x_ppi = PixelsPerInch(image.output_width, image.oriented_width_pt);
  }
  if (image.oriented_height_pt > 0) {
    resolution.y_ppi = PixelsPerInch(image.output_height, image.oriented_height_pt);
  }
  return resolution;
}

SeparationOutcome BuildJobPlanes(const WorkImage& image, const JobParameters& params,
                                 const SettingsStore& store,
                                 std::optional<std::span<const std::uint8_t>> pattern_mask,
                                 ProgressSink& progress) {
  const SeparationParams separation = SeparationParamsFrom(params, store);
  if (params.white_edge == 0) {
    return BuildSeparation(image, separation, params.tone_table, pattern_mask, progress);
  }
  // The mask is checked before any work, as the separation would.
  const std::size_t pixels = static_cast<std::size_t>(std::max(image.output_width, 0)) *
                             static_cast<std::size_t>(std::max(image.output_height, 0));
  if (pattern_mask && !image.empty() && pattern_mask->size() != pixels) {
    return SeparationOutcome{{}, SeparationError::kMaskMismatch};
  }
  SeparationOutcome outcome =
      BuildSeparation(image, separation, params.tone_table, std::nullopt, progress);
  if (!outcome.ok()) return outcome;
  const PlaneResolution resolution = JobPlaneResolution(image);
  if (!ApplyWhiteEdge(outcome.set, separation.layout, params.white_edge, resolution.x_ppi,
                      resolution.y_ppi)) {
    return SeparationOutcome{{}, SeparationError::kOutOfMemory};
  }
  if (pattern_mask) KnockOutPattern(outcome.set, *pattern_mask);
  return outcome;
}

std::optional<GridWhitePlanes> BuildJobWhitePlanes(const WorkImage& image,
                                                   const JobParameters& params,
                                                   const SettingsStore& store) {
  const SeparationParams separation = SeparationParamsFrom(params, store);
  NullProgress progress;
  SeparationOutcome outcome =
      BuildSeparation(image, separation, params.tone_table, std::nullopt, progress);
  if (!outcome.ok()) return std::nullopt;
  const SeparationSet& set = outcome.set;
  const int white_plane = separation.layout == TonerLayout::kWhiteFirst ? 1 : 4;
  auto white_of = [&] {
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(set.width) * set.height);
    for (std::int32_t row = 0; row < set.height; ++row) {
      std::copy_n(set.PlaneRow(row, white_plane), set.width,
                  plane.begin() + static_cast<std::ptrdiff_t>(row) * set.width);
    }
    return plane;
  };
  GridWhitePlanes planes;
  planes.width = set.width;
  planes.height = set.height;
  planes.separated = white_of();
  const PlaneResolution resolution = JobPlaneResolution(image);
  if (params.white_edge == 0) {
    planes.printed = planes.separated;
  } else if (ApplyWhiteEdge(outcome.set, separation.layout, params.white_edge, resolution.x_ppi,
                            resolution.y_ppi)) {
    planes.printed = white_of();
  } else {
    return std::nullopt;
  }
  return planes;
}

}  // namespace kelvaro
