#include "app/job_planes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

// An opaque cyan disc of radius 60 px in a 200 × 200 picture at 300 pixels per inch.
WorkImage Disc() {
  WorkImage image;
  image.width = image.height = image.output_width = image.output_height = 200;
  image.grid.assign(5u * 200 * 200, 0);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      if ((x - 100) * (x - 100) + (y - 100) * (y - 100) > 60 * 60) continue;
      std::uint8_t* record = image.grid.data() + image.GridOffset(x, y);
      record[0] = 120;
      record[4] = 255;
    }
  }
  image.x_dpi = image.y_dpi = 300;
  image.physical_width_pt = image.physical_height_pt = 200 * 72.0f / 300;
  image.oriented_width_pt = image.oriented_height_pt = 200 * 72.0f / 300;
  return image;
}

class JobPlanesTest : public ::testing::Test {
 protected:
  JobPlanesTest() : store_(folders_.folders(), notifier_) {
    params_.print_white = true;
    params_.print_cmy = true;
    params_.white_density = 100;
    params_.brightness = 10;
  }

  SeparationSet Planes(int white_edge) {
    WorkImage image = Disc();
    params_.white_edge = white_edge;
    NullProgress progress;
    SeparationOutcome outcome = BuildJobPlanes(image, params_, store_, std::nullopt, progress);
    EXPECT_TRUE(outcome.ok());
    return outcome.set;
  }

  // The radius of the disc a plane carries, from its area.
  static double Radius(const SeparationSet& set, int plane) {
    int count = 0;
    for (int row = 0; row < set.height; ++row) {
      for (int x = 0; x < set.width; ++x) count += set.At(row, x, plane) != 0 ? 1 : 0;
    }
    return std::sqrt(count / M_PI);
  }

  static std::vector<std::uint8_t> Plane(const SeparationSet& set, int plane) {
    std::vector<std::uint8_t> bytes;
    for (int row = 0; row < set.height; ++row) {
      bytes.insert(bytes.end(), set.PlaneRow(row, plane), set.PlaneRow(row, plane) + set.width);
    }
    return bytes;
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  JobParameters params_;
};

TEST_F(JobPlanesTest, AChokeAndASpreadMoveTheWhiteDiscsEdgeByTheWidth) {
  const SeparationSet plain = Planes(0);
  const SeparationSet choked = Planes(50);  // 0.5 mm at 300 ppi is 5.9 px
  const SeparationSet spread = Planes(-50);
  const double radius = Radius(plain, 4);
  ASSERT_NEAR(radius, 60, 1);
  EXPECT_NEAR(radius - Radius(choked, 4), 5.9, 1.5);
  EXPECT_NEAR(Radius(spread, 4) - radius, 5.9, 1.5);
  for (int plane : {1, 2, 3, 5}) {
    EXPECT_EQ(Plane(choked, plane), Plane(plain, plane)) << plane;
    EXPECT_EQ(Plane(spread, plane), Plane(plain, plane)) << plane;
  }
}

TEST_F(JobPlanesTest, TheKnockOutComesAfterTheSpread) {
  // A mask over the left half: a spread must not grow white back into it.
  std::vector<std::uint8_t> mask(200u * 200, 0);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 100; ++x) mask[y * 200 + x] = 1;
  }
  WorkImage image = Disc();
  params_.white_edge = -100;
  NullProgress progress;
  const SeparationOutcome outcome = BuildJobPlanes(image, params_, store_, mask, progress);
  ASSERT_TRUE(outcome.ok());
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(outcome.set.At(y, x, 4), 0) << x << "," << y;
  }
  EXPECT_NE(outcome.set.At(100, 165, 4), 0);  // grown beyond the disc's edge at 160
}

}  // namespace
}  // namespace kelvaro
