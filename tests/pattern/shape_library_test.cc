#include "pattern/shape_library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

ShapeRecord Triangle(const std::string& name, std::uint32_t colour = kShapeBlack) {
  ShapeRecord shape;
  shape.name = name;
  shape.gap45 = 0.25f;
  shape.gap0 = -0.5f;
  shape.polygons.push_back({{{0, 1}, {0.5f, 0}, {1, 1}}, colour});
  return shape;
}

std::string Encoded(const ShapeRecord& shape) { return EncodeShapeRecord(shape).value(); }

std::int32_t I32At(const std::string& bytes, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}
float F32At(const std::string& bytes, std::size_t offset) {
  float v;
  std::memcpy(&v, bytes.data() + offset, 4);
  return v;
}

TEST(ShapeRecordTest, FieldsSitAtTheirOffsets) {
  ShapeRecord shape = Triangle("Star");
  shape.polygons.push_back({{{0.25f, 0.75f}}, kShapeWhite});
  const std::string bytes = Encoded(shape);
  ASSERT_EQ(bytes.size(), 32252u);
  EXPECT_EQ(I32At(bytes, 0), 2);
  EXPECT_EQ(bytes.substr(4, 80), "Star" + std::string(76, ' '));
  EXPECT_EQ(F32At(bytes, 84), 0.25f);  // angle 45
  EXPECT_EQ(F32At(bytes, 88), -0.5f);  // angle 0
  // Polygon 1 at 92: count, then x, y pairs; polygon 2 at 92 + 1604.
  EXPECT_EQ(I32At(bytes, 92), 3);
  EXPECT_EQ(F32At(bytes, 96 + 8), 0.5f);
  EXPECT_EQ(F32At(bytes, 96 + 8 + 4), 0.0f);
  EXPECT_EQ(I32At(bytes, 92 + 1604), 1);
  EXPECT_EQ(F32At(bytes, 92 + 1604 + 4 + 4), 0.75f);
  EXPECT_EQ(I32At(bytes, 32172), 0);
  EXPECT_EQ(I32At(bytes, 32172 + 4), 16777215);
  EXPECT_EQ(DecodeShapeRecord(bytes), shape);
}

TEST(ShapeRecordTest, DamagedRecordsAreRefused) {
  const std::string good = Encoded(Triangle("T"));
  auto with = [&](std::size_t offset, std::int32_t value) {
    std::string bytes = good;
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::int32_t nan_bits;
  std::memcpy(&nan_bits, &nan, 4);
  EXPECT_FALSE(DecodeShapeRecord(with(0, 21)));  // polygons
  EXPECT_FALSE(DecodeShapeRecord(with(0, -1)));
  EXPECT_FALSE(DecodeShapeRecord(with(92, 201)));              // points
  EXPECT_FALSE(DecodeShapeRecord(with(96, nan_bits)));         // a used point
  EXPECT_FALSE(DecodeShapeRecord(with(84, nan_bits)));         // a gap factor
  EXPECT_TRUE(DecodeShapeRecord(with(96 + 3 * 8, nan_bits)));  // beyond the used points
  EXPECT_FALSE(DecodeShapeRecord(good.substr(1)));
  ShapeRecord too_many = Triangle("T");
  too_many.polygons.resize(21);
  EXPECT_FALSE(EncodeShapeRecord(too_many));
}

class ShapeLibraryTest : public ::testing::Test {
 protected:
  fs::path Library() const { return dir_.path() / "shape.lib"; }
  StoreShapeResult Store(const ShapeRecord& shape, bool answer = true) {
    return StoreShape(Library(), shape, [&](const std::string& name) {
      asked_.push_back(name);
      return answer;
    });
  }
  TempDir dir_;
  std::vector<std::string> asked_;
};

TEST_F(ShapeLibraryTest, MissingOrEmptyLibraryListsNothing) {
  EXPECT_TRUE(ListShapes(Library()).names.empty());
  EXPECT_TRUE(ListShapes(Library()).message.empty());
  WriteFileBytes(Library(), "Clean up\r\n");  // shorter than one record
  EXPECT_TRUE(ListShapes(Library()).names.empty());
  EXPECT_FALSE(LoadShape(Library(), "Star").shape);
}

TEST_F(ShapeLibraryTest, StoreListLoadAndReplace) {
  EXPECT_EQ(Store(Triangle("  my star ")).status, StoreShapeStatus::kAdded);
  EXPECT_EQ(Store(Triangle("Heart")).record_number, 2);
  // A free record between them is skipped.
  WriteFileBytes(Library(), ReadFileBytes(Library()) + Encoded(Triangle("")));
  EXPECT_EQ(Store(Triangle("Hex")).record_number, 4);
  EXPECT_EQ(ListShapes(Library()).names, (std::vector<std::string>{"my_star", "Heart", "Hex"}));
  EXPECT_TRUE(asked_.empty());

  // Same name, Cancel: nothing changes.
  const std::string before = ReadFileBytes(Library());
  EXPECT_EQ(Store(Triangle("Heart", kShapeWhite), false).status, StoreShapeStatus::kCancelled);
  EXPECT_EQ(asked_, std::vector<std::string>{"Heart"});
  EXPECT_EQ(ReadFileBytes(Library()), before);

  // OK replaces in place.
  const StoreShapeResult replaced = Store(Triangle("Heart", kShapeWhite), true);
  EXPECT_EQ(replaced.status, StoreShapeStatus::kReplaced);
  EXPECT_EQ(replaced.record_number, 2);
  EXPECT_EQ(ReadFileBytes(Library()).size(), 4 * kShapeRecordSize);
  const ShapeLookup heart = LoadShape(Library(), "Heart");
  ASSERT_TRUE(heart.shape);
  EXPECT_EQ(heart.record_number, 2);
  EXPECT_EQ(heart.shape->polygons[0].colour, kShapeWhite);
  EXPECT_EQ(heart.shape->gap45, 0.25f);

  EXPECT_FALSE(LoadShape(Library(), "heart").shape);  // names match exactly
  EXPECT_FALSE(LoadShape(Library(), "my star").shape);
  EXPECT_EQ(Store(Triangle("   ")).status, StoreShapeStatus::kRefused);
  ShapeRecord too_large = Triangle("Big");
  too_large.polygons[0].points.resize(201);
  EXPECT_EQ(Store(too_large).message, kShapeTooLargeMessage);
  EXPECT_EQ(ListShapes(Library()).names.size(), 3u);
}

TEST_F(ShapeLibraryTest, DamagedRecordStopsReadersThere) {
  std::string damaged = Encoded(Triangle("Broken"));
  const std::int32_t points = 5000;
  std::memcpy(damaged.data() + 92, &points, 4);
  WriteFileBytes(Library(), Encoded(Triangle("A")) + damaged + Encoded(Triangle("B")));
  const ShapeListing listing = ListShapes(Library());
  EXPECT_EQ(listing.names, std::vector<std::string>{"A"});
  EXPECT_EQ(listing.damaged_record, 2);
  EXPECT_EQ(listing.message, "Shape file is damaged.\nUnable to open");
  EXPECT_TRUE(LoadShape(Library(), "A").shape);
  EXPECT_FALSE(LoadShape(Library(), "B").shape);
  EXPECT_FALSE(LoadShape(Library(), "B").message.empty());
  // Storing behind it would be lost; the file is left alone.
  const std::string before = ReadFileBytes(Library());
  EXPECT_EQ(Store(Triangle("C")).status, StoreShapeStatus::kRefused);
  EXPECT_EQ(ReadFileBytes(Library()), before);
}

TEST_F(ShapeLibraryTest, LibraryEditMarksAndRemoves) {
  for (const char* name : {"A", "B", "C", "D"}) Store(Triangle(name));
  std::vector<std::string> entries = ListShapes(Library()).names;
  entries[1] = ToggleRemovalMark(entries[1]);
  entries[3] = ToggleRemovalMark(entries[3]);
  entries[2] = ToggleRemovalMark(ToggleRemovalMark(entries[2]));
  EXPECT_EQ(entries[1], "** B");
  EXPECT_EQ(entries[2], "C");
  const std::vector<std::string> marked = MarkedShapeNames(entries);
  EXPECT_EQ(marked, (std::vector<std::string>{"B", "D"}));

  const RemoveShapesResult removed = RemoveShapes(Library(), marked);
  EXPECT_TRUE(removed.ok());
  EXPECT_EQ(removed.removed, 2);
  EXPECT_EQ(ListShapes(Library()).names, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(ReadFileBytes(Library()), Encoded(Triangle("A")) + Encoded(Triangle("C")));
  // No temporary file is left beside it; only the lock file of the cycles stays.
  std::vector<std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path())) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{Library().filename().string(),
                                             Library().filename().string() + ".lock"}));

  const std::vector<std::string> all = {"A", "C"};
  EXPECT_TRUE(RemoveShapes(Library(), all).ok());
  EXPECT_LT(ReadFileBytes(Library()).size(), kShapeRecordSize);
  EXPECT_TRUE(ListShapes(Library()).names.empty());
}

TEST_F(ShapeLibraryTest, FailedWritesKeepTheLibrary) {
  Store(Triangle("A"));
  Store(Triangle("B"));
  const std::string before = ReadFileBytes(Library());
  ::chmod(Library().c_str(), 0444);
  const StoreShapeResult stored = Store(Triangle("C"));
  EXPECT_EQ(stored.status, StoreShapeStatus::kFileError);
  EXPECT_EQ(stored.message, "Error lib is readonly 5 - Access denied (read only?)");
  EXPECT_EQ(stored.caption, "shape converter");
  const std::vector<std::string> names = {"A"};
  const RemoveShapesResult removed = RemoveShapes(Library(), names);
  EXPECT_EQ(removed.message, "Error 5 - Access denied (read only?)");
  EXPECT_EQ(ReadFileBytes(Library()), before);
}

}  // namespace
}  // namespace kelvaro
