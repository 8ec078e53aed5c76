// The vector drawing importer and the shape library reader on arbitrary bytes; whatever the
// importer accepts is stored, read back and drawn as a small pattern.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pattern/pattern_mask.h"
#include "pattern/shape_library.h"
#include "pattern/shape_record.h"
#include "pattern/vector_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kelvaro::NullProgress progress;

  // The bytes as a library: listing, lookup and drawing the first shape found.
  const kelvaro::ShapeListing listing = kelvaro::ListShapesInBytes(bytes);
  if (!listing.names.empty()) {
    const kelvaro::ShapeLookup lookup = kelvaro::LoadShapeFromBytes(bytes, listing.names[0]);
    if (lookup.shape) {
      kelvaro::PatternSettings settings;
      settings.shape = lookup.shape->name;
      kelvaro::GeneratePreviewPatternMask(settings, &*lookup.shape, 48, 32, 4.0, {true, true, true},
                                          progress);
    }
  }

  // The bytes as a drawing.
  kelvaro::VectorImportResult imported = kelvaro::ParseVectorShape(bytes, "fuzz");
  if (imported.ok()) {
    const auto record = kelvaro::EncodeShapeRecord(imported.shape);
    if (!record || !kelvaro::DecodeShapeRecord(*record)) __builtin_trap();
    kelvaro::PatternSettings settings;
    settings.shape = "fuzz";
    settings.screen_angle = 0;
    kelvaro::GeneratePreviewPatternMask(settings, &imported.shape, 40, 30, 3.0, {}, progress);
  }
  return 0;
}
