#ifndef KELVARO_PATTERN_SHAPE_RECORD_H_
#define KELVARO_PATTERN_SHAPE_RECORD_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

// One shape of the shape library as it sits in the file: a record of exactly 32252 bytes,
// little-endian, no header in front of the first record.
//
//   offset     size        field
//   0          4           int32 number of polygons used (0..20)
//   4          80          name, padded with blanks; blanks of the typed name stored as "_"
//   84         4           float32 gap factor for screen angle 45
//   88         4           float32 gap factor for screen angle 0
//   92         20 x 1604   polygons: int32 point count (0..200), 200 x (float32 x, float32 y)
//   32172      20 x 4      int32 fill colour of each polygon (RGB value, 0 black, 16777215 white)
inline constexpr std::size_t kShapeRecordSize = 32252;
inline constexpr std::size_t kShapeNameOffset = 4;
inline constexpr std::size_t kShapeNameSize = 80;
inline constexpr std::size_t kShapeGap45Offset = 84;
inline constexpr std::size_t kShapeGap0Offset = 88;
inline constexpr std::size_t kShapePolygonsOffset = 92;
inline constexpr std::size_t kShapePolygonSize = 4 + 200 * 8;
inline constexpr std::size_t kShapeColoursOffset = 32172;
inline constexpr int kMaxShapePolygons = 20;
inline constexpr int kMaxShapePoints = 200;
inline constexpr std::uint32_t kShapeBlack = 0;
inline constexpr std::uint32_t kShapeWhite = 16777215;

// Coordinates in shape units: the pattern scales x by the shape width and y by its height,
// so a shape drawn from 0 to 1 fills the chosen size.
struct ShapePoint {
  float x = 0;
  float y = 0;
  bool operator==(const ShapePoint&) const = default;
};

struct ShapePolygon {
  std::vector<ShapePoint> points;  // at most 200
  std::uint32_t colour = kShapeBlack;
  bool operator==(const ShapePolygon&) const = default;
};

struct ShapeRecord {
  std::string name;  // as stored, without the padding; "" marks a free record
  float gap45 = 0;   // share of the row pitch added between rows at screen angle 45
  float gap0 = 0;    // the same at screen angle 0
  std::vector<ShapePolygon> polygons;  // at most 20, drawn in this order
  bool operator==(const ShapeRecord&) const = default;
};

// The name in a record's 80-byte field with trailing blanks and zero bytes removed.
std::string ShapeRecordName(std::string_view record_bytes);

// The 32252 bytes of `shape`. The name is cut to 80 bytes and padded with blanks; unused
// polygon slots and points are zero. Returns nullopt for a shape the file cannot hold (more
// than 20 polygons, more than 200 points in one, or a number that is not finite).
std::optional<std::string> EncodeShapeRecord(const ShapeRecord& shape);

// Reads one record (exactly 32252 bytes). Returns nullopt for a damaged record: a polygon
// count outside 0..20, a point count outside 0..200, or a gap factor or used point that is
// not a finite number. Nothing beyond the counts a record states is read.
std::optional<ShapeRecord> DecodeShapeRecord(std::string_view record_bytes);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_SHAPE_RECORD_H_
