#include "pattern/shape_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "settings/settings_store.h"

namespace kelvaro {
namespace fs = std::filesystem;
namespace {

std::size_t RecordCount(std::string_view bytes) { return bytes.size() / kShapeRecordSize; }

std::string_view Record(std::string_view bytes, std::size_t index) {
  return bytes.substr(index * kShapeRecordSize, kShapeRecordSize);
}

// The head of a record: the polygon count and the name, all a reader needs to skip it.
constexpr std::size_t kRecordHeadSize = kShapeNameOffset + kShapeNameSize;

// The library's bytes; a missing file reads as empty. nullopt with `error_code` when the
// file is there but cannot be read, or is too large to be edited as a whole.
std::optional<std::string> ReadLibrary(const fs::path& library, int& error_code) {
  error_code = 0;
  std::optional<std::string> bytes = ReadWholeFile(library, &error_code, kMaxEditedLibraryBytes);
  if (bytes) return bytes;
  if (error_code == kErrorFileNotFound) {
    error_code = 0;
    return std::string();
  }
  return std::nullopt;
}

// The code of a failed read or write and what it means: "28 - No space left on device".
std::string FileErrorWords(int error_code) {
  if (error_code == kErrorFileTooLarge) {
    return std::to_string(error_code) + " - The library holds more than " +
           std::to_string(kMaxEditedLibraryBytes / kShapeRecordSize) +
           " records, more than can be edited";
  }
  // The store's texts begin with "Error ", which the prefixes of the library already say.
  return WriteErrorText(error_code).substr(std::string_view("Error ").size());
}

// Records in memory, for the edits that rewrite the library.
class BytesRecords {
 public:
  explicit BytesRecords(std::string_view bytes) : bytes_(bytes) {}
  std::size_t count() const { return RecordCount(bytes_); }
  std::optional<std::string_view> Read(std::size_t index, std::size_t length) {
    return Record(bytes_, index).substr(0, length);
  }
  int error_code() const { return 0; }

 private:
  std::string_view bytes_;
};

// Records read from the open file one at a time, so that the memory a reader needs does not
// grow with the library: a large (or sparse) library costs time, never all of memory.
class FileRecords {
 public:
  // A missing file holds no records.
  explicit FileRecords(const fs::path& library) {
    fd_ = ::open(library.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
      if (errno != ENOENT) error_code_ = WindowsErrorCode(errno);
      return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      error_code_ = WindowsErrorCode(errno);
    } else if (!S_ISREG(info.st_mode)) {
      error_code_ = kErrorNotRegularFile;
    } else {
      count_ = static_cast<std::size_t>(info.st_size) / kShapeRecordSize;
    }
  }
  FileRecords(const FileRecords&) = delete;
  FileRecords& operator=(const FileRecords&) = delete;
  ~FileRecords() {
    if (fd_ >= 0) ::close(fd_);
  }

  std::size_t count() const { return error_code_ == 0 ? count_ : 0; }
  // The first `length` bytes of record `index`; nullopt when the read failed (error_code()).
  std::optional<std::string_view> Read(std::size_t index, std::size_t length) {
    buffer_.resize(length);
    std::size_t done = 0;
    const off_t start = static_cast<off_t>(index * kShapeRecordSize);
    while (done < length) {
      const ssize_t n =
          ::pread(fd_, buffer_.data() + done, length - done, start + static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // A library cut while we read it ends where it was cut.
        error_code_ = n < 0 ? WindowsErrorCode(errno) : 0;
        if (n == 0) count_ = index;
        return std::nullopt;
      }
      done += static_cast<std::size_t>(n);
    }
    return std::string_view(buffer_);
  }
  int error_code() const { return error_code_; }

 private:
  int fd_ = -1;
  std::size_t count_ = 0;
  int error_code_ = 0;
  std::string buffer_;
};

// Visits the named records in order until `visit` returns false or a damaged record comes;
// returns the number of that damaged record (from 1), or 0. Free records are skipped on
// their head alone.
template <typename Records, typename Visit>
int ForEachNamedRecord(Records& records, Visit visit) {
  for (std::size_t i = 0; i < records.count(); ++i) {
    const std::optional<std::string_view> head = records.Read(i, kRecordHeadSize);
    if (!head) return 0;
    if (ShapeRecordName(*head).empty()) continue;
    const std::optional<std::string_view> record = records.Read(i, kShapeRecordSize);
    if (!record) return 0;
    std::optional<ShapeRecord> shape = DecodeShapeRecord(*record);
    if (!shape) return static_cast<int>(i) + 1;
    if (!visit(static_cast<int>(i) + 1, std::move(*shape))) return 0;
  }
  return 0;
}

template <typename Records>
ShapeListing ListRecords(Records& records) {
  ShapeListing listing;
  listing.damaged_record = ForEachNamedRecord(records, [&](int, ShapeRecord shape) {
    listing.names.push_back(std::move(shape.name));
    return true;
  });
  if (listing.damaged_record != 0) {
    listing.message = kShapeFileDamagedMessage;
  } else if (records.error_code() != 0) {
    listing.names.clear();
    listing.message = kCleanUpErrorPrefix + FileErrorWords(records.error_code());
  }
  return listing;
}

template <typename Records>
ShapeLookup LookUpRecord(Records& records, std::string_view name) {
  ShapeLookup lookup;
  if (name.empty()) return lookup;
  const int damaged = ForEachNamedRecord(records, [&](int number, ShapeRecord shape) {
    if (shape.name != name) return true;
    lookup.shape = std::move(shape);
    lookup.record_number = number;
    return false;
  });
  if (damaged != 0) {
    lookup.message = kShapeFileDamagedMessage;
  } else if (records.error_code() != 0) {
    lookup.message = kCleanUpErrorPrefix + FileErrorWords(records.error_code());
  }
  return lookup;
}

// A shape the library cannot take, with what to tell the user.
StoreShapeResult RefusedShape(const char* message) {
  StoreShapeResult result;
  result.message = message;
  result.caption = kReplaceShapeCaption;
  return result;
}

// A failed read or write of the library, with its code.
StoreShapeResult FileErrorResult(int code) {
  StoreShapeResult result;
  result.status = StoreShapeStatus::kFileError;
  result.error_code = code;
  result.message = kStoreShapeErrorPrefix + FileErrorWords(code);
  result.caption = kStoreShapeErrorCaption;
  return result;
}

// Puts `record` into the library's `bytes`: over record `match` (from 1) once `ask_replace`
// agreed to replace it, or after the last record when `match` is 0. The status says which, or
// that the user kept the old shape.
StoreShapeResult PlaceRecord(std::string& bytes, const std::string& record, int match,
                             const std::string& stored_name,
                             const ReplaceShapeQuestion& ask_replace) {
  StoreShapeResult result;
  std::size_t offset;
  if (match != 0) {
    if (!ask_replace || !ask_replace(stored_name)) {
      result.status = StoreShapeStatus::kCancelled;
      return result;
    }
    offset = static_cast<std::size_t>(match - 1) * kShapeRecordSize;
    result.status = StoreShapeStatus::kReplaced;
    result.record_number = match;
  } else {
    const std::size_t count = RecordCount(bytes);
    offset = count * kShapeRecordSize;
    bytes.resize(offset + kShapeRecordSize);  // a short tail is no record; it is overwritten
    result.status = StoreShapeStatus::kAdded;
    result.record_number = static_cast<int>(count) + 1;
  }
  bytes.replace(offset, kShapeRecordSize, record);
  return result;
}

}  // namespace

ShapeListing ListShapesInBytes(std::string_view library_bytes) {
  BytesRecords records(library_bytes);
  return ListRecords(records);
}

ShapeListing ListShapes(const fs::path& library) {
  FileRecords records(library);
  return ListRecords(records);
}

ShapeLookup LoadShapeFromBytes(std::string_view library_bytes, std::string_view name) {
  BytesRecords records(library_bytes);
  return LookUpRecord(records, name);
}

ShapeLookup LoadShape(const fs::path& library, std::string_view name) {
  FileRecords records(library);
  return LookUpRecord(records, name);
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
  ShapeRecord stored = shape;
  stored.name = StoredShapeName(shape.name);
  if (stored.name.empty()) return RefusedShape(kEmptyShapeNameMessage);
  const std::optional<std::string> record = EncodeShapeRecord(stored);
  if (!record) return RefusedShape(kShapeTooLargeMessage);
  // The encoder cuts and pads the name; compare with what the file will hold.
  stored.name = ShapeRecordName(*record);

  // Another copy of the program must not store or remove between our read and our write.
  const FileLock lock(library);
  int error_code = 0;
  std::optional<std::string> bytes = ReadLibrary(library, error_code);
  if (!bytes) return FileErrorResult(error_code);

  int match = 0;
  BytesRecords records(*bytes);
  const int damaged = ForEachNamedRecord(records, [&](int number, const ShapeRecord& existing) {
    if (existing.name != stored.name) return true;
    match = number;
    return false;
  });
  // Behind a damaged record a new shape could never be found again.
  if (damaged != 0) return RefusedShape(kShapeFileDamagedMessage);

  StoreShapeResult result = PlaceRecord(*bytes, *record, match, stored.name, ask_replace);
  if (result.status == StoreShapeStatus::kCancelled) return result;
  const FileWriteResult written = WriteFileAtomically(library, *bytes);
  if (!written.ok) return FileErrorResult(written.error_code);
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
    result.message = kCleanUpErrorPrefix + FileErrorWords(code);
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
