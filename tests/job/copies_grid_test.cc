#include "job/copies_grid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

CopiesGridInput Grid(std::int32_t across, std::int32_t down, std::int32_t w, std::int32_t h,
                     float copy_w_pt, float copy_h_pt, std::int32_t gap_x, std::int32_t gap_y,
                     float printable_w, float printable_h, bool optimal = false) {
  CopiesGridInput input;
  input.copies_across = across;
  input.copies_down = down;
  input.copy_width_px = w;
  input.copy_height_px = h;
  input.copy_width_pt = copy_w_pt;
  input.copy_height_pt = copy_h_pt;
  input.gap_x_pt = gap_x;
  input.gap_y_pt = gap_y;
  input.printable_width_pt = printable_w;
  input.printable_height_pt = printable_h;
  input.optimal_layout = optimal;
  return input;
}

TEST(CopiesGridSizeTest, Geometry) {
  struct Row {
    const char* what;
    CopiesGridInput input;
    std::int32_t gap_px_x, gap_px_y, gap_pt_x, gap_pt_y;
    std::int64_t x_pixel, y_pixel;
    float x_point, y_point;
  };
  const Row rows[] = {
      {"1 x 1, wider than the page", Grid(1, 1, 600, 400, 720, 480, 10, 10, 500, 300), 8, 8, 10, 10,
       602, 402, 720, 480},
      {"3 across, gap 10", Grid(3, 1, 600, 300, 72, 36, 10, 10, 236, 800), 83, 83, 10, 10, 1968,
       302, 236, 36},
      {"optimal layout", Grid(3, 2, 600, 600, 72, 72, 10, 10, 800, 800, true), 23, 23, 10, 10, 1848,
       1225, 236, 154},
      // (230 - 236) / 2 + 10 - 1 = 6 points, 50 pixels.
      {"fit across", Grid(3, 1, 600, 600, 72, 72, 10, 10, 230, 800), 50, 83, 6, 10, 1902, 602, 228,
       72},
      // (228 - 236 - 1) / 2 + 10 - 1 = 4.5 -> 4 points (halves to even), 33 pixels.
      {"fit down", Grid(1, 3, 600, 600, 72, 72, 10, 10, 800, 228), 83, 33, 10, 4, 602, 1868, 72,
       224},
      // (227 - 236) / 2 + 9 = 4.5 -> 4 across.
      {"fit across, half to even", Grid(3, 1, 600, 600, 72, 72, 10, 10, 227, 800), 33, 83, 4, 10,
       1868, 602, 224, 72},
      // (229 - 236) / 2 + 9 = 5.5 -> 6.
      {"fit across, half up to even", Grid(3, 1, 600, 600, 72, 72, 10, 10, 229, 800), 50, 83, 6, 10,
       1902, 602, 228, 72},
      // (144.5 - 145) + 1 - 1 < 0: no gap left, still 2 pixels across and 3 down.
      {"minimum pixel gaps", Grid(2, 2, 600, 600, 72, 72, 1, 1, 144.5f, 143.5f), 2, 3, 0, 0, 1204,
       1205, 144, 144},
      // Copies alone wider than the area: the gap goes to 0 rather than growing to 59.
      {"copies wider than the area", Grid(3, 1, 600, 600, 72, 72, 10, 10, 100, 800), 2, 83, 0, 10,
       1806, 602, 216, 72},
      {"one copy: no fit, gap unused", Grid(1, 1, 600, 600, 72, 72, 50, 50, 10, 10), 416, 416, 50,
       50, 602, 602, 72, 72},
      {"counts 0 and -3 count as 1", Grid(0, -3, 600, 400, 72, 48, 10, 10, 500, 500), 83, 83, 10,
       10, 602, 402, 72, 48},
      {"negative gap gives no pixel gap", Grid(2, 1, 600, 600, 72, 72, -5, 0, 800, 800), 0, 0, -5,
       0, 1202, 602, 139, 72},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const CopiesGridSize size = ComputeCopiesGrid(row.input);
    EXPECT_EQ(size.gap_x_px, row.gap_px_x);
    EXPECT_EQ(size.gap_y_px, row.gap_px_y);
    EXPECT_EQ(size.gap_x_pt, row.gap_pt_x);
    EXPECT_EQ(size.gap_y_pt, row.gap_pt_y);
    EXPECT_EQ(size.x_pixel, row.x_pixel);
    EXPECT_EQ(size.y_pixel, row.y_pixel);
    EXPECT_FLOAT_EQ(size.x_point, row.x_point);
    EXPECT_FLOAT_EQ(size.y_point, row.y_point);
    EXPECT_EQ(size.block_bytes, 5u * static_cast<std::uint64_t>(row.x_pixel) *
                                    static_cast<std::uint64_t>(row.y_pixel));
  }
}

TEST(CopiesGridSizeTest, LimitIsInclusive) {
  // 5 × 12 × 17895697 = 1,073,741,820: the largest block under the limit with these sizes.
  CopiesGridSize size = ComputeCopiesGrid(Grid(1, 1, 10, 17895695, 1, 1, 0, 0, 10, 10));
  EXPECT_EQ(size.block_bytes, 1073741820u);
  EXPECT_TRUE(size.within_limit());
  // 5 × 5 × 42949673 = 1,073,741,825: one byte over.
  size = ComputeCopiesGrid(Grid(1, 1, 3, 42949671, 1, 1, 0, 0, 10, 10));
  EXPECT_EQ(size.block_bytes, 1073741825u);
  EXPECT_FALSE(size.within_limit());
  // 4 × 268435456 = exactly 2^30 bytes would be allowed, but 5 planes never hit it exactly;
  // the check itself compares with <=.
  CopiesGridSize exact;
  exact.block_bytes = kMaxImageDataBytes;
  EXPECT_TRUE(exact.within_limit());
  exact.block_bytes = kMaxImageDataBytes + 1;
  EXPECT_FALSE(exact.within_limit());
}

TEST(CopiesGridSizeTest, HugeCountsDoNotOverflow) {
  const CopiesGridSize size =
      ComputeCopiesGrid(Grid(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 1e-3f, 1e-3f, INT32_MAX,
                             INT32_MAX, 1e30f, 1e30f));
  EXPECT_GT(size.x_pixel, 0);
  EXPECT_GT(size.y_pixel, 0);
  EXPECT_FALSE(size.within_limit());
}

// A separation whose every byte tells its row, plane and column apart.
SeparationSet NumberedSet(std::int32_t w, std::int32_t h) {
  SeparationSet set;
  set.width = w;
  set.height = h;
  for (std::int32_t row = 0; row < h; ++row) {
    for (int plane = 1; plane <= 5; ++plane) {
      for (std::int32_t x = 0; x < w; ++x) {
        set.bytes.push_back(static_cast<std::uint8_t>(1 + row * 50 + plane * 8 + x));
      }
    }
  }
  return set;
}

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string&) override {}
  void SetProgress(long long value, long long) override { values.push_back(value); }
  std::vector<long long> values;
};

TEST(ComposeTiledImageTest, EveryByteInItsPlace) {
  const std::int32_t w = 3, h = 2;
  const SeparationSet set = NumberedSet(w, h);
  // 2 across, 3 down; gaps of 2 and 1 pixels (copy 3 pixels = 3 points, gap 2 and 1 points).
  const CopiesGridInput input = Grid(2, 3, 0, 0, 3, 2, 2, 1, 100, 100);
  testing::RecordingNotifier notifier;
  RecordingProgress progress;
  const ComposeResult result = ComposeTiledImage(std::make_shared<const SeparationSet>(set), input,
                                                 kDefaultGridTooBigText, notifier, progress);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(notifier.messages.empty());
  const TiledImage& image = result.image;
  const std::int32_t gap_x = 2, gap_y = 1;
  ASSERT_EQ(image.x_pixel, w * 2 + 2 + gap_x);
  ASSERT_EQ(image.y_pixel, h * 3 + 2 + gap_y * 2);
  EXPECT_FLOAT_EQ(image.x_point, 8);
  EXPECT_FLOAT_EQ(image.y_point, 8);
  ASSERT_EQ(image.size(), 5u * image.x_pixel * image.y_pixel);
  const std::string bytes = image.AsJobBlock().Collect();
  ASSERT_EQ(bytes.size(), image.size());
  for (std::int32_t y = 0; y < image.y_pixel; ++y) {
    for (int plane = 1; plane <= 5; ++plane) {
      for (std::int32_t x = 0; x < image.x_pixel; ++x) {
        const int copy_x = x / (w + gap_x), in_x = x % (w + gap_x);
        const int copy_y = y / (h + gap_y), in_y = y % (h + gap_y);
        const bool covered = copy_x < 2 && copy_y < 3 && in_x < w && in_y < h;
        const std::uint8_t expected = covered ? set.At(in_y, in_x, plane) : 0;
        const std::size_t at = (static_cast<std::size_t>(y) * 5 + (plane - 1)) * image.x_pixel + x;
        ASSERT_EQ(static_cast<std::uint8_t>(bytes[at]), expected)
            << "row " << y << " plane " << plane << " x " << x;
      }
    }
  }
  EXPECT_EQ(progress.values, (std::vector<long long>{100}));
}

// A block larger than one piece is handed on in pieces of whole rows, each row as it is
// composed on its own.
TEST(ComposeTiledImageTest, LargeBlocksGoOutInPiecesOfWholeRows) {
  const SeparationSet set = NumberedSet(300, 200);
  testing::RecordingNotifier notifier;
  NullProgress progress;
  const ComposeResult result =
      ComposeTiledImage(std::make_shared<const SeparationSet>(set),
                        Grid(3, 3, 0, 0, 300, 200, 2, 1, 1e6f, 1e6f), "x", notifier, progress);
  ASSERT_TRUE(result.ok());
  const TiledImage& image = result.image;
  const std::size_t row_bytes = 5u * static_cast<std::size_t>(image.x_pixel);
  std::string sent;
  int pieces = 0;
  ASSERT_TRUE(image.Send([&](std::string_view piece) {
    EXPECT_EQ(piece.size() % row_bytes, 0u);
    sent.append(piece);
    ++pieces;
    return true;
  }));
  EXPECT_GT(pieces, 1);
  ASSERT_EQ(sent.size(), image.size());
  std::vector<std::uint8_t> row(row_bytes);
  for (std::int32_t y = 0; y < image.y_pixel; ++y) {
    image.ComposeRow(y, row.data());
    ASSERT_EQ(sent.compare(y * row_bytes, row_bytes, std::string(row.begin(), row.end())), 0)
        << "row " << y;
  }
  // A writer that fails stops the block.
  int calls = 0;
  EXPECT_FALSE(image.Send([&](std::string_view) { return ++calls > 1 ? true : false; }));
  EXPECT_EQ(calls, 1);
}

TEST(ComposeTiledImageTest, OverTheLimitShowsTheMessageAndStops) {
  const SeparationSet set = NumberedSet(1, 1);
  // 20002 × 20002 pixels × 5 planes is about 2 GB.
  const CopiesGridInput input = Grid(20000, 20000, 0, 0, 1, 1, 0, 0, 1e9f, 1e9f);
  testing::RecordingNotifier notifier;
  NullProgress progress;
  const ComposeResult result = ComposeTiledImage(std::make_shared<const SeparationSet>(set), input,
                                                 "too big for this language", notifier, progress);
  EXPECT_EQ(result.error, ComposeError::kTooBig);
  EXPECT_EQ(result.image.size(), 0u);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(notifier.messages[0].text, "too big for this language");
  EXPECT_EQ(notifier.messages[0].icon, MessageIcon::kError);
}

TEST(ComposeTiledImageTest, DefaultMessageText) {
  EXPECT_EQ(std::string(kDefaultGridTooBigText),
            "The original image is to big\nfor the requested copies\n"
            "Please reduce the size/resolution");
}

TEST(ComposeTiledImageTest, InconsistentSeparationIsRefusedQuietly) {
  testing::RecordingNotifier notifier;
  NullProgress progress;
  SeparationSet empty;
  EXPECT_EQ(ComposeTiledImage(std::make_shared<const SeparationSet>(empty),
                              Grid(1, 1, 0, 0, 1, 1, 0, 0, 9, 9), "x", notifier, progress)
                .error,
            ComposeError::kBadInput);
  SeparationSet short_set = NumberedSet(4, 4);
  short_set.bytes.resize(10);
  EXPECT_EQ(ComposeTiledImage(std::make_shared<const SeparationSet>(short_set),
                              Grid(1, 1, 0, 0, 1, 1, 0, 0, 9, 9), "x", notifier, progress)
                .error,
            ComposeError::kBadInput);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST(ComposeTiledImageTest, ZeroCopiesComposeOne) {
  const SeparationSet set = NumberedSet(2, 2);
  testing::RecordingNotifier notifier;
  NullProgress progress;
  const ComposeResult result =
      ComposeTiledImage(std::make_shared<const SeparationSet>(set),
                        Grid(0, 0, 0, 0, 2, 2, 5, 5, 100, 100), "x", notifier, progress);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.image.x_pixel, 4);
  EXPECT_EQ(result.image.y_pixel, 4);
  const std::string bytes = result.image.AsJobBlock().Collect();
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), set.At(0, 0, 1));
  EXPECT_EQ(bytes[2], 0) << "spare column";
}

}  // namespace
}  // namespace kelvaro
