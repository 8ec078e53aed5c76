#include "pattern/shape_record.h"

#include <cmath>
#include <cstring>

#include "platform/text_helpers.h"

namespace kelvaro {
namespace {

std::uint32_t ReadU32(std::string_view bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t ReadI32(std::string_view bytes, std::size_t offset) {
  return static_cast<std::int32_t>(ReadU32(bytes, offset));
}

float ReadF32(std::string_view bytes, std::size_t offset) {
  const std::uint32_t bits = ReadU32(bytes, offset);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void WriteU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void WriteF32(std::string& bytes, std::size_t offset, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteU32(bytes, offset, bits);
}

std::size_t PointOffset(int polygon, int point) {
  return kShapePolygonsOffset + static_cast<std::size_t>(polygon) * kShapePolygonSize + 4 +
         static_cast<std::size_t>(point) * 8;
}

}  // namespace

std::string ShapeRecordName(std::string_view record_bytes) {
  std::string_view name = record_bytes.substr(kShapeNameOffset, kShapeNameSize);
  // The name field is padded with blanks or zero bytes.
  return std::string(TrimEnd(name, std::string_view(" \0", 2)));
}

std::optional<std::string> EncodeShapeRecord(const ShapeRecord& shape) {
  if (shape.polygons.size() > static_cast<std::size_t>(kMaxShapePolygons)) return std::nullopt;
  if (!std::isfinite(shape.gap45) || !std::isfinite(shape.gap0)) return std::nullopt;
  std::string bytes(kShapeRecordSize, '\0');
  WriteU32(bytes, 0, static_cast<std::uint32_t>(shape.polygons.size()));
  std::string name = shape.name.substr(0, kShapeNameSize);
  name.resize(kShapeNameSize, ' ');
  bytes.replace(kShapeNameOffset, kShapeNameSize, name);
  WriteF32(bytes, kShapeGap45Offset, shape.gap45);
  WriteF32(bytes, kShapeGap0Offset, shape.gap0);
  for (std::size_t i = 0; i < shape.polygons.size(); ++i) {
    const ShapePolygon& polygon = shape.polygons[i];
    if (polygon.points.size() > static_cast<std::size_t>(kMaxShapePoints)) return std::nullopt;
    const int index = static_cast<int>(i);
    WriteU32(bytes, kShapePolygonsOffset + i * kShapePolygonSize,
             static_cast<std::uint32_t>(polygon.points.size()));
    for (std::size_t k = 0; k < polygon.points.size(); ++k) {
      const ShapePoint& point = polygon.points[k];
      if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
      WriteF32(bytes, PointOffset(index, static_cast<int>(k)), point.x);
      WriteF32(bytes, PointOffset(index, static_cast<int>(k)) + 4, point.y);
    }
    WriteU32(bytes, kShapeColoursOffset + i * 4, polygon.colour);
  }
  return bytes;
}

std::optional<ShapeRecord> DecodeShapeRecord(std::string_view record_bytes) {
  if (record_bytes.size() != kShapeRecordSize) return std::nullopt;
  ShapeRecord shape;
  const std::int32_t count = ReadI32(record_bytes, 0);
  if (count < 0 || count > kMaxShapePolygons) return std::nullopt;
  shape.name = ShapeRecordName(record_bytes);
  shape.gap45 = ReadF32(record_bytes, kShapeGap45Offset);
  shape.gap0 = ReadF32(record_bytes, kShapeGap0Offset);
  if (!std::isfinite(shape.gap45) || !std::isfinite(shape.gap0)) return std::nullopt;
  shape.polygons.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::int32_t points = ReadI32(
        record_bytes, kShapePolygonsOffset + static_cast<std::size_t>(i) * kShapePolygonSize);
    if (points < 0 || points > kMaxShapePoints) return std::nullopt;
    ShapePolygon& polygon = shape.polygons[static_cast<std::size_t>(i)];
    polygon.points.resize(static_cast<std::size_t>(points));
    for (int k = 0; k < points; ++k) {
      ShapePoint& point = polygon.points[static_cast<std::size_t>(k)];
      point.x = ReadF32(record_bytes, PointOffset(i, k));
      point.y = ReadF32(record_bytes, PointOffset(i, k) + 4);
      if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
    }
    polygon.colour = ReadU32(record_bytes, kShapeColoursOffset + static_cast<std::size_t>(i) * 4);
  }
  return shape;
}

}  // namespace kelvaro
