// The print command end to end: the job for the sample artwork at two settings against the
// reviewed golden jobs, and what Ghostscript puts on each separation against the planes of
// the job's image data block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/pgm.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::KelvaroBinary;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempDir;

const fs::path kSample = testing::SampleArtwork();
// 2023-11-14 22:13:20 UTC: the golden jobs' creation date.
constexpr char kPinnedClock[] = "1700000000";

struct JobCase {
  const char* golden;  // gzip-compressed job in tests/golden
  const char* options;
};

const JobCase kCases[] = {
    {"job-c711wt-white-last.ps.gz", "--model C711WT"},
    {"job-pro8432wt-white-first-a3-2x2.ps.gz",
     "--model Pro8432WT --toner-order WF --paper A3 --across 2 --down 2"},
};

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Runs `kelvaro print` with a fresh user folder and the pinned clock; the job and the planes
// go into `dir`.
std::string PrintSample(const fs::path& dir, const std::string& options) {
  const fs::path job = dir / "job.ps";
  const std::string command =
      "cd " + Quoted(dir) + " && KELVARO_USER_DIR=" + Quoted(dir / "user") +
      " KELVARO_COMMON_DIR=" + Quoted(dir / "common") + " SOURCE_DATE_EPOCH=" + kPinnedClock + " " +
      Quoted(KelvaroBinary()) + " print " + Quoted(kSample) + " " + options + " --output " +
      Quoted(job) + " --dump-separations " + Quoted(dir / "planes") + " 2>/dev/null";
  const testing::CommandResult result = RunCommand(command);
  EXPECT_EQ(result.status, 0) << command;
  return ReadFileBytes(job);
}

class GoldenJobTest : public ::testing::TestWithParam<JobCase> {};

TEST_P(GoldenJobTest, MatchesTheReviewedJob) {
  TempDir dir;
  const std::string job = PrintSample(dir.path(), GetParam().options);
  ASSERT_FALSE(job.empty());
  const fs::path golden = testing::GoldenFolder() / GetParam().golden;
  if (std::getenv("KELVARO_UPDATE_GOLDEN") != nullptr) {
    testing::WriteFileBytes(dir.path() / "new.ps", job);
    ASSERT_EQ(
        RunCommand("gzip -9nc " + Quoted(dir.path() / "new.ps") + " > " + Quoted(golden)).status,
        0);
  }
  const testing::CommandResult expected = RunCommand("gzip -dc " + Quoted(golden));
  ASSERT_EQ(expected.status, 0) << "cannot read " << golden;
  ASSERT_EQ(job.size(), expected.out.size());
  // Report the first differing line rather than two megabytes.
  if (job != expected.out) {
    std::size_t at = 0;
    while (job[at] == expected.out[at]) ++at;
    const std::size_t line = expected.out.rfind('\n', at) + 1;
    FAIL() << "first difference at byte " << at
           << ", line starting: " << expected.out.substr(line, 80);
  }
  // A job ends with the PJL end-of-job line and the end byte.
  EXPECT_EQ(job.back(), '\x04');
}

INSTANTIATE_TEST_SUITE_P(Sample, GoldenJobTest, ::testing::ValuesIn(kCases));

// The number of a "/cols  602 def" line of the job's image header.
double HeaderNumber(const std::string& job, const std::string& before, const std::string& after) {
  const std::size_t start = job.find(before);
  if (start == std::string::npos) return 0;
  return std::atof(job.c_str() + start + before.size());
}

// The bounding box of ink (values above 0) in `image`, where `ink` maps a byte to its amount.
struct Box {
  long left = -1;
  long top = -1;
};
template <typename Ink>
Box FirstInk(const testing::Gray& image, Ink ink) {
  Box box;
  for (long y = 0; y < image.height && box.top < 0; ++y) {
    for (long x = 0; x < image.width; ++x) {
      if (ink(image.At(x, y)) != 0) {
        box.top = y;
        break;
      }
    }
  }
  for (long x = 0; x < image.width && box.left < 0; ++x) {
    for (long y = 0; y < image.height; ++y) {
      if (ink(image.At(x, y)) != 0) {
        box.left = x;
        break;
      }
    }
  }
  return box;
}

class SeparationRenderTest : public ::testing::TestWithParam<JobCase> {};

TEST_P(SeparationRenderTest, GhostscriptPutsThePlanesOnTheSeparations) {
  if (RunCommand("command -v gs >/dev/null && test -x /usr/bin/convert").status != 0) {
    GTEST_SKIP() << "Ghostscript or ImageMagick is not installed";
  }
  TempDir dir;
  const std::string job = PrintSample(dir.path(), GetParam().options);
  ASSERT_FALSE(job.empty());

  // Render at the image's own resolution, so that image pixels fall on device pixels.
  const double cols = HeaderNumber(job, "/cols ", " def");
  // The scale line of the image header: Xpoint, Ypoint, "scale".
  const std::size_t scale_line = job.find(" scale\r\nlevel2");
  ASSERT_NE(scale_line, std::string::npos);
  const std::size_t line_start = job.rfind("\r\n", scale_line) + 2;
  const double xpt = std::atof(job.c_str() + line_start);
  ASSERT_GT(xpt, 0);
  char resolution[32];
  std::snprintf(resolution, sizeof resolution, "%.6f", cols * 72.0 / xpt);
  const std::string gs = "cd " + Quoted(dir.path()) +
                         " && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiffsep"
                         " -sCompression=none -r" +
                         resolution + " -sOutputFile=sep.tif job.ps >gs.log 2>&1";
  ASSERT_EQ(RunCommand(gs).status, 0) << ReadFileBytes(dir.path() / "gs.log");

  const char* kSeparations[] = {"Cyan", "Magenta", "Yellow", "Black"};
  std::optional<Box> place;
  for (int plane = 1; plane <= 4; ++plane) {
    SCOPED_TRACE(kSeparations[plane - 1]);
    const std::string name = kSeparations[plane - 1];
    const fs::path pgm = dir.path() / (name + ".pgm");
    ASSERT_EQ(RunCommand("/usr/bin/convert " + Quoted(dir.path() / ("sep(" + name + ").tif")) +
                         " -depth 8 " + Quoted(pgm))
                  .status,
              0);
    const std::optional<testing::Gray> device = testing::ReadPgm(pgm);
    const std::optional<testing::Gray> planes =
        testing::ReadPgm(dir.path() / "planes" / ("plane" + std::to_string(plane) + ".pgm"));
    ASSERT_TRUE(device && planes);
    // The device separation holds grey levels: ink is 255 minus the level.
    auto device_ink = [](int level) { return 255 - level; };
    auto plane_ink = [](int amount) { return amount; };
    const Box on_device = FirstInk(*device, device_ink);
    const Box in_plane = FirstInk(*planes, plane_ink);
    ASSERT_GE(in_plane.left, 0) << "the plane has no ink";
    // Every separation shows the grid at the same place on the page.
    const Box here{on_device.left - in_plane.left, on_device.top - in_plane.top};
    if (!place) place = here;
    EXPECT_EQ(here.left, place->left);
    EXPECT_EQ(here.top, place->top);

    long exact = 0;
    long shifted = 0;
    long wrong = 0;
    for (long y = 0; y < planes->height; ++y) {
      for (long x = 0; x < planes->width; ++x) {
        const int want = planes->At(x, y);
        auto device_at = [&](long dx, long dy) -> int {
          const long px = x + place->left + dx;
          const long py = y + place->top + dy;
          if (px < 0 || py < 0 || px >= device->width || py >= device->height) return -1;
          return device_ink(device->At(px, py));
        };
        if (device_at(0, 0) == want) {
          ++exact;
          continue;
        }
        // A one-pixel shift from rounding of the placement shows only at an edge.
        bool explained = false;
        for (long dy = -1; dy <= 1 && !explained; ++dy) {
          for (long dx = -1; dx <= 1 && !explained; ++dx) explained = device_at(dx, dy) == want;
        }
        ++(explained ? shifted : wrong);
      }
    }
    EXPECT_EQ(wrong, 0) << exact << " pixels equal, " << shifted << " shifted by one";
    EXPECT_GT(exact, planes->width * planes->height * 99 / 100);
  }
}

INSTANTIATE_TEST_SUITE_P(Sample, SeparationRenderTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace kelvaro
