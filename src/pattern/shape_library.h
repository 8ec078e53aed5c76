#ifndef KELVARO_PATTERN_SHAPE_LIBRARY_H_
#define KELVARO_PATTERN_SHAPE_LIBRARY_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/shape_record.h"

namespace kelvaro {

// The shape library file is a plain run of 32252-byte records (shape_record.h), numbered
// from 1; a tail shorter than one record is no record. A record with an empty name is free
// and skipped. A named record that is damaged stops every reader there: the records before
// it are used, nothing from it or after it.

// Messages and captions of the library operations.
inline constexpr char kShapeFileDamagedMessage[] = "Shape file is damaged.\nUnable to open";
inline constexpr char kReplaceShapeQuestion[] = "Matching Name in Library";
inline constexpr char kReplaceShapeCaption[] = "Shape Converter";
inline constexpr char kStoreShapeErrorPrefix[] = "Error lib is readonly ";
inline constexpr char kStoreShapeErrorCaption[] = "shape converter";
inline constexpr char kCleanUpErrorPrefix[] = "Error ";
inline constexpr char kCleanUpErrorCaption[] = "Converter";
inline constexpr char kEmptyShapeNameMessage[] = "The shape needs a name";
inline constexpr char kShapeTooLargeMessage[] =
    "The shape has more polygons or points than a library record holds";
// The prefix the library edit list puts in front of a name marked for removal.
inline constexpr char kRemovalMark[] = "** ";
// The library edit handles this many entries.
inline constexpr int kMaxEditedShapes = 200;
// Storing and removing rewrite the library as a whole, in memory; a larger library is
// refused for them (2000 records). Listing and lookup read one record at a time and take any.
inline constexpr std::uintmax_t kMaxEditedLibraryBytes = 2000 * kShapeRecordSize;

// Listing: every named record in record order, up to the first damaged one. `message` is
// empty, or the damaged-file message (`damaged_record` then names the record, from 1), or
// "Error ", the code and its meaning ("Error 5 - Access denied (read only?)") when the file is
// there but cannot be read. The records are read one at a time and only the names kept. A missing
// or empty file lists nothing and says nothing.
struct ShapeListing {
  std::vector<std::string> names;
  int damaged_record = 0;
  std::string message;
};
ShapeListing ListShapes(const std::filesystem::path& library);
ShapeListing ListShapesInBytes(std::string_view library_bytes);

// Lookup by name: the first record, from 1 upward, whose stored name equals `name` exactly.
// `shape` is empty when no record matches (the pattern then draws nothing) or when a damaged
// record comes first (`message` says so). `record_number` is the match's number, from 1.
struct ShapeLookup {
  std::optional<ShapeRecord> shape;
  int record_number = 0;
  std::string message;
};
ShapeLookup LoadShape(const std::filesystem::path& library, std::string_view name);
ShapeLookup LoadShapeFromBytes(std::string_view library_bytes, std::string_view name);

// The name a typed name is stored under: blanks trimmed at both ends, every inner blank
// replaced by "_", cut to the 80 bytes of the field.
std::string StoredShapeName(std::string_view typed_name);

// Asked when the library already holds a shape of that (stored) name; true replaces it.
// The window asks kReplaceShapeQuestion with caption kReplaceShapeCaption, OK and Cancel.
using ReplaceShapeQuestion = std::function<bool(const std::string& stored_name)>;

enum class StoreShapeStatus {
  kAdded,      // written after the last record
  kReplaced,   // written over the record of the same name, same record number
  kCancelled,  // the replace question was answered no; nothing stored
  kRefused,    // empty name, a shape the record cannot hold, or a damaged library
  kFileError,  // the library could not be read or written; nothing stored
};
struct StoreShapeResult {
  StoreShapeStatus status = StoreShapeStatus::kRefused;
  int record_number = 0;  // where the shape went, from 1
  int error_code = 0;     // kFileError: the file error's code
  std::string message;    // what to show (with `caption`); empty when stored or cancelled
  std::string caption;
  bool stored() const {
    return status == StoreShapeStatus::kAdded || status == StoreShapeStatus::kReplaced;
  }
};

// Adds `shape` under StoredShapeName(shape.name) or, after `ask_replace` agreed, replaces the
// record of that name in place. The file is replaced as a whole through a temporary file, so
// a failure leaves the library as it was; a missing file is created (not its folder). A file
// error gives "Error lib is readonly ", the code and its meaning, caption "shape converter".
StoreShapeResult StoreShape(const std::filesystem::path& library, const ShapeRecord& shape,
                            const ReplaceShapeQuestion& ask_replace);

// Library edit. A click on an entry puts the removal mark in front of it or takes it away.
std::string ToggleRemovalMark(std::string_view entry);
// The names of the marked entries among the first 200, mark removed, in list order.
std::vector<std::string> MarkedShapeNames(std::span<const std::string> entries);

struct RemoveShapesResult {
  int removed = 0;      // records dropped
  int error_code = 0;   // 0, or the code of the failed read or write
  std::string message;  // "Error ", the code and its meaning, caption kCleanUpErrorCaption;
                        // empty on success
  bool ok() const { return error_code == 0; }
};
// Drops every record among the first 200 whose stored name is one of `names` and writes the
// others back from record 1 in their old order; records after the 200th are kept unchanged
// behind them, and a short tail is dropped. The kept records go into a temporary file beside
// the library, which then replaces it, so a failure at any point keeps the whole library.
// With no names nothing is touched.
RemoveShapesResult RemoveShapes(const std::filesystem::path& library,
                                std::span<const std::string> names);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_SHAPE_LIBRARY_H_
