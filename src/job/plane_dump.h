#ifndef KELVARO_JOB_PLANE_DUMP_H_
#define KELVARO_JOB_PLANE_DUMP_H_

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/outcome.h"
#include "platform/spooler.h"

namespace kelvaro {

// Writes the planes of an image data block as binary PGM files plane1.pgm ... plane5.pgm in
// `folder` (created when missing), `x_pixel` × `y_pixel` each, so that what a job puts on
// each toner can be looked at. Fails with the file that could not be written.
Outcome DumpPlanes(const std::filesystem::path& folder, const JobBlock& block, std::int64_t x_pixel,
                   std::int64_t y_pixel);

}  // namespace kelvaro

#endif  // KELVARO_JOB_PLANE_DUMP_H_
