#ifndef KELVARO_PLATFORM_TEMP_FILE_H_
#define KELVARO_PLATFORM_TEMP_FILE_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kelvaro {

// A private copy of a file in the system temporary folder, deleted when the object goes (or
// earlier through Remove). The name is `stem`, a unique part and the source's extension
// ("Vtemp3fQx9a.png"), so two programs loading at the same time never share a copy, and the
// decoder still tells the format by the extension.
class TempFileCopy {
 public:
  // Copies `source`. Returns nullopt when the temporary folder or the source cannot be used;
  // nothing is left behind then.
  static std::optional<TempFileCopy> Make(const std::filesystem::path& source,
                                          std::string_view stem);
  // The same in `folder` instead of the system temporary folder.
  static std::optional<TempFileCopy> MakeIn(const std::filesystem::path& folder,
                                            const std::filesystem::path& source,
                                            std::string_view stem);
  // Copies the file open on `source_fd` (read from its start) into the system temporary
  // folder, named with `extension` (".png"). When `head` is given, the copy starts with it
  // and goes on with the source's bytes from `skip` on: a header can be rewritten on the way.
  // The descriptor stays open.
  static std::optional<TempFileCopy> MakeFromOpenFile(int source_fd, std::string_view extension,
                                                      std::string_view stem,
                                                      std::string_view head = {},
                                                      std::uint64_t skip = 0);

  TempFileCopy(TempFileCopy&& other) noexcept;
  TempFileCopy& operator=(TempFileCopy&& other) noexcept;
  TempFileCopy(const TempFileCopy&) = delete;
  TempFileCopy& operator=(const TempFileCopy&) = delete;
  ~TempFileCopy();

  const std::filesystem::path& path() const { return path_; }
  // Deletes the copy now; later calls do nothing.
  void Remove();

 private:
  explicit TempFileCopy(std::filesystem::path path) : path_(std::move(path)) {}
  std::filesystem::path path_;
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_TEMP_FILE_H_
