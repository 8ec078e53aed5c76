#include "app/hot_folder.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>
#include <thread>
#include <utility>

#include "image/picture_header.h"

namespace kelvaro {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrinting = "printing";
constexpr const char* kPrinted = "printed";
constexpr const char* kFailed = "failed";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsPicture(const fs::path& file) {
  std::array<std::uint8_t, kMagicBytes> bytes{};
  std::ifstream in(file, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  const auto got = static_cast<std::size_t>(in.gcount());
  return FormatFromLeadingBytes(std::span<const std::uint8_t>(bytes.data(), got)) !=
         PictureFormat::kUnknown;
}

}  // namespace

bool IsSkippedHotFolderName(const std::string& name) {
  if (name.empty() || name.front() == '.' || name.back() == '~') return true;
  if (name == kHotFolderSettingsName) return true;
  for (const char* tail : {".part", ".partial", ".tmp", ".crdownload", ".download"}) {
    if (EndsWith(name, tail)) return true;
  }
  return false;
}

fs::path FreeNameIn(const fs::path& folder, const std::string& name) {
  fs::path candidate = folder / name;
  std::error_code ec;
  const fs::path plain(name);
  for (int n = 1; fs::exists(candidate, ec) || fs::is_symlink(candidate, ec); ++n) {
    candidate =
        folder / (plain.stem().string() + "-" + std::to_string(n) + plain.extension().string());
  }
  return candidate;
}

HotFolder::HotFolder(fs::path folder, HotFolderPrintFunction print,
                     std::function<void(const std::string&)> log, Clock::duration settle)
    : folder_(std::move(folder)), print_(std::move(print)), log_(std::move(log)), settle_(settle) {}

bool HotFolder::Prepare() {
  for (const char* sub : {kPrinting, kPrinted, kFailed}) {
    std::error_code ec;
    fs::create_directories(folder_ / sub, ec);
    if (ec || !fs::is_directory(folder_ / sub)) {
      log_("cannot make the folder " + (folder_ / sub).string() + ": " + ec.message());
      return false;
    }
  }
  return true;
}

std::vector<fs::path> HotFolder::Leftovers() const {
  std::vector<std::pair<fs::file_time_type, fs::path>> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_ / kPrinting, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    found.emplace_back(entry.last_write_time(ec), entry.path());
  }
  std::sort(found.begin(), found.end());
  std::vector<fs::path> result;
  for (auto& item : found) result.push_back(std::move(item.second));
  return result;
}

void HotFolder::MarkComplete(const std::string& name) {
  if (IsSkippedHotFolderName(name) || stuck_.count(name) != 0) return;
  seen_[name].complete = true;
}

void HotFolder::ExpectEvents() {
  // The files there now were not seen to start, so they cannot be seen to finish.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().filename().string();
    if (!IsSkippedHotFolderName(name) && entry.is_regular_file(ec)) seen_[name].timed = true;
  }
  events_ = true;
}

void HotFolder::EventsLost() {
  for (auto& [name, seen] : seen_) seen.timed = true;
  lost_ = true;
}

void HotFolder::Listen(FolderEvents* events, std::chrono::milliseconds wait) {
  if (events == nullptr) {
    std::this_thread::sleep_for(wait);
    return;
  }
  const FolderEventBatch batch = events->Wait(wait);
  if (batch.lost) EventsLost();
  for (const std::string& name : batch.finished) MarkComplete(name);
}

std::vector<fs::path> HotFolder::Settled(Clock::time_point now) {
  std::map<std::string, Seen> still;
  std::vector<std::pair<fs::file_time_type, fs::path>> ready;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string name = entry.path().filename().string();
    if (IsSkippedHotFolderName(name) || stuck_.count(name) != 0 || !entry.is_regular_file(ec)) {
      continue;
    }
    const std::uintmax_t size = entry.file_size(ec);
    if (ec) continue;
    const fs::file_time_type mtime = entry.last_write_time(ec);
    if (ec) continue;
    Seen seen;
    seen.timed = !events_ || lost_;
    if (const auto before = seen_.find(name); before != seen_.end()) seen = before->second;
    if (!seen.listed || seen.size != size || seen.mtime != mtime) {
      seen.size = size;
      seen.mtime = mtime;
      seen.since = now;
    }
    seen.listed = true;
    if (seen.complete || (seen.timed && now - seen.since >= settle_)) {
      ready.emplace_back(mtime, entry.path());
    }
    still[name] = seen;
  }
  // Names not in the folder any more are forgotten, marked complete or not: gone is gone.
  seen_ = std::move(still);
  lost_ = false;
  std::sort(ready.begin(), ready.end());
  std::vector<fs::path> result;
  for (auto& item : ready) result.push_back(std::move(item.second));
  return result;
}

bool HotFolder::Process(const fs::path& picture) {
  const std::string name = picture.filename().string();
  seen_.erase(name);
  std::error_code ec;
  fs::path printing = picture;
  if (picture.parent_path() != folder_ / kPrinting) {
    printing = FreeNameIn(folder_ / kPrinting, name);
    fs::rename(picture, printing, ec);
    if (ec) {
      stuck_.insert(name);
      log_(name + ": cannot move it to " + kPrinting + "/: " + ec.message());
      return false;
    }
  }
  HotFolderPrint result;
  if (!IsPicture(printing)) {
    result.message = "\"" + name + "\" is no picture the program can read.";
  } else {
    result = print_(printing);
  }
  const fs::path filed =
      FreeNameIn(folder_ / (result.ok ? kPrinted : kFailed), printing.filename().string());
  fs::rename(printing, filed, ec);
  if (ec) {
    log_(name + ": cannot move it out of " + kPrinting + "/: " + ec.message());
    return false;
  }
  if (!result.ok) {
    std::ofstream text(filed.string() + ".txt", std::ios::trunc);
    text << result.message << '\n';
  }
  // One line per picture: a message of several lines is joined.
  std::string outcome = result.ok ? "printed" : "failed: " + result.message;
  std::replace(outcome.begin(), outcome.end(), '\n', ' ');
  std::string line = name + "\t" + outcome;
  if (!result.destination.empty()) line += "\t" + result.destination;
  if (result.ok) {
    line += "\t" + std::to_string(result.job_bytes) + " bytes";
    if (!result.cost_line.empty()) line += "\t" + result.cost_line;
  }
  log_(line);
  return result.ok;
}

}  // namespace kelvaro
