#include "pattern/shape_library.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"

namespace kelvaro {
namespace fs = std::filesystem;
namespace {

std::size_t RecordCount(std::string_view bytes) { return bytes.size() / kShapeRecordSize; }

std::string_view Record(std::string_view bytes, std::size_t index) {
  return bytes.substr(index * kShapeRecordSize, kShapeRecordSize);
}

// The library's bytes; a missing file reads as empty. nullopt with `error_code` when the
// file is there but cannot be read.
std::optional<std::string> ReadLibrary(const fs::path& library, int& error_code) {
  error_code = 0;
  std::optional<std::string> bytes = ReadWholeFile(library, &error_code);
  if (bytes) return bytes;
  if (error_code == kErrorFileNotFound) {
    error_code = 0;
    return std::string();
  }
  return std::nullopt;
}

// Visits the named records in order until `visit` returns false or a damaged record comes;
// returns the number of that damaged record (from 1), or 0.
template <typename Visit>
int ForEachNamedRecord(std::string_view bytes, Visit visit) {
  for (std::size_t i = 0; i < RecordCount(bytes); ++i) {
    const std::string_view record = Record(bytes, i);
    if (ShapeRecordName(record).empty()) continue;
    std::optional<ShapeRecord> shape = DecodeShapeRecord(record);
    if (!shape) return static_cast<int>(i) + 1;
    if (!visit(static_cast<int>(i) + 1, std::move(*shape))) return 0;
  }
  return 0;
}

}  // namespace

ShapeListing ListShapesInBytes(std::string_view library_bytes) {
  ShapeListing listing;
  listing.damaged_record = ForEachNamedRecord(library_bytes, [&](int, ShapeRecord shape) {
    listing.names.push_back(std::move(shape.name));
    return true;
  });
  if (listing.damaged_record != 0) listing.message = kShapeFileDamagedMessage;
  return listing;
}

ShapeListing ListShapes(const fs::path& library) {
  int error_code = 0;
  const std::optional<std::string> bytes = ReadLibrary(library, error_code);
  if (!bytes) {
    ShapeListing listing;
    listing.message = kCleanUpErrorPrefix + std::to_string(error_code);
    return listing;
  }
  return ListShapesInBytes(*bytes);
}

ShapeLookup LoadShapeFromBytes(std::string_view library_bytes, std::string_view name) {
  ShapeLookup lookup;
  if (name.empty()) return lookup;
  const int damaged = ForEachNamedRecord(library_bytes, [&](int number, ShapeRecord shape) {
    if (shape.name != name) return true;
    lookup.shape = std::move(shape);
    lookup.record_number = number;
    return false;
  });
  if (damaged != 0) lookup.message = kShapeFileDamagedMessage;
  return lookup;
}

ShapeLookup LoadShape(const fs::path& library, std::string_view name) {
  int error_code = 0;
  const std::optional<std::string> bytes = ReadLibrary(library, error_code);
  if (!bytes) {
    ShapeLookup lookup;
    lookup.message = kCleanUpErrorPrefix + std::to_string(error_code);
    return lookup;
  }
  return LoadShapeFromBytes(*bytes, name);
}

std::string StoredShapeName(std::string_view typed_name) {
  const auto first = typed_name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string();
  const auto last = typed_name.find_last_not_of(" \t");
  std::string name(typed_name.substr(first, last - first + 1));
  std::replace(name.begin(), name.end(), ' ', '_');
  if (name.size() > kShapeNameSize) name.resize(kShapeNameSize);
  return name;
}

StoreShapeResult StoreShape(const fs::path& library, const ShapeRecord& shape,
                            const ReplaceShapeQuestion& ask_replace) {
  StoreShapeResult result;
  ShapeRecord stored = shape;
  stored.name = StoredShapeName(shape.name);
  if (stored.name.empty()) {
    result.message = kEmptyShapeNameMessage;
    result.caption = kReplaceShapeCaption;
    return result;
  }
  const std::optional<std::string> record = EncodeShapeRecord(stored);
  if (!record) {
    result.message = kShapeTooLargeMessage;
    result.caption = kReplaceShapeCaption;
    return result;
  }
  // The encoder cuts and pads the name; compare with what the file will hold.
  stored.name = ShapeRecordName(*record);

  auto file_error = [&](int code) {
    result.status = StoreShapeStatus::kFileError;
    result.error_code = code;
    result.message = kStoreShapeErrorPrefix + std::to_string(code);
    result.caption = kStoreShapeErrorCaption;
    return result;
  };
  // Another copy of the program must not store or remove between our read and our write.
  const FileLock lock(library);
  int error_code = 0;
  std::optional<std::string> bytes = ReadLibrary(library, error_code);
  if (!bytes) return file_error(error_code);

  int match = 0;
  const int damaged = ForEachNamedRecord(*bytes, [&](int number, const ShapeRecord& existing) {
    if (existing.name != stored.name) return true;
    match = number;
    return false;
  });
  if (damaged != 0) {
    // Behind a damaged record a new shape could never be found again.
    result.message = kShapeFileDamagedMessage;
    result.caption = kReplaceShapeCaption;
    return result;
  }

  std::size_t offset;
  if (match != 0) {
    if (!ask_replace || !ask_replace(stored.name)) {
      result.status = StoreShapeStatus::kCancelled;
      return result;
    }
    offset = static_cast<std::size_t>(match - 1) * kShapeRecordSize;
    result.status = StoreShapeStatus::kReplaced;
    result.record_number = match;
  } else {
    const std::size_t count = RecordCount(*bytes);
    offset = count * kShapeRecordSize;
    bytes->resize(offset + kShapeRecordSize);  // a short tail is no record; it is overwritten
    result.status = StoreShapeStatus::kAdded;
    result.record_number = static_cast<int>(count) + 1;
  }
  bytes->replace(offset, kShapeRecordSize, *record);
  const FileWriteResult written = WriteFileAtomically(library, *bytes);
  if (!written.ok) {
    result.record_number = 0;
    return file_error(written.error_code);
  }
  return result;
}

std::string ToggleRemovalMark(std::string_view entry) {
  const std::string_view mark = kRemovalMark;
  if (entry.starts_with(mark)) return std::string(entry.substr(mark.size()));
  return std::string(mark) + std::string(entry);
}

std::vector<std::string> MarkedShapeNames(std::span<const std::string> entries) {
  const std::string_view mark = kRemovalMark;
  std::vector<std::string> names;
  const std::size_t limit = std::min(entries.size(), static_cast<std::size_t>(kMaxEditedShapes));
  for (std::size_t i = 0; i < limit; ++i) {
    if (entries[i].starts_with(mark)) names.push_back(entries[i].substr(mark.size()));
  }
  return names;
}

RemoveShapesResult RemoveShapes(const fs::path& library, std::span<const std::string> names) {
  RemoveShapesResult result;
  if (names.empty()) return result;
  const FileLock lock(library);
  int error_code = 0;
  const std::optional<std::string> bytes = ReadLibrary(library, error_code);
  auto fail = [&](int code) {
    result.removed = 0;
    result.error_code = code;
    result.message = kCleanUpErrorPrefix + std::to_string(code);
    return result;
  };
  if (!bytes) return fail(error_code);

  std::string kept;
  const std::size_t count = RecordCount(*bytes);
  kept.reserve(count * kShapeRecordSize);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view record = Record(*bytes, i);
    if (i < static_cast<std::size_t>(kMaxEditedShapes)) {
      const std::string name = ShapeRecordName(record);
      if (!name.empty() && std::find(names.begin(), names.end(), name) != names.end()) {
        ++result.removed;
        continue;
      }
    }
    kept.append(record);
  }
  if (result.removed == 0) return result;
  const FileWriteResult written = WriteFileAtomically(library, kept);
  if (!written.ok) return fail(written.error_code);
  return result;
}

}  // namespace kelvaro
