#ifndef KELVARO_PLATFORM_SPOOLER_H_
#define KELVARO_PLATFORM_SPOOLER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvaro {

// The outcome of handing a job to a queue. `error` says what went wrong, in words a print
// shop can act on, when `ok` is false.
struct SpoolResult {
  bool ok = false;
  std::string error;
};

// Whether a queue takes jobs now.
struct QueueCheck {
  bool ok = true;
  std::string error;  // when !ok: why no job can go there, in words a print shop can act on
  std::string note;   // when ok and still worth saying: a stopped queue takes jobs but holds them
};

// Writes one piece of a job; false when it could not be written.
using PieceWriter = std::function<bool(std::string_view)>;

// One part of a job: bytes at hand, or bytes made piece by piece as they are sent, so that a
// large image data block is never held whole.
class JobBlock {
 public:
  JobBlock(std::string_view bytes) : bytes_(bytes) {}    // NOLINT(google-explicit-constructor)
  JobBlock(const std::string& bytes) : bytes_(bytes) {}  // NOLINT(google-explicit-constructor)
  JobBlock(const char* bytes) : bytes_(bytes) {}         // NOLINT(google-explicit-constructor)
  JobBlock(std::function<bool(const PieceWriter&)> pieces, std::uint64_t size)
      : pieces_(std::move(pieces)), size_(size) {}

  std::uint64_t size() const { return pieces_ ? size_ : bytes_.size(); }
  // Hands every piece to `write`, in order; false as soon as a write fails.
  bool Send(const PieceWriter& write) const { return pieces_ ? pieces_(write) : write(bytes_); }
  // The whole block in one string, for small blocks.
  std::string Collect() const {
    std::string all;
    Send([&all](std::string_view piece) {
      all.append(piece);
      return true;
    });
    return all;
  }

 private:
  std::string_view bytes_;
  std::function<bool(const PieceWriter&)> pieces_;
  std::uint64_t size_ = 0;
};

// Hands RAW jobs (bytes the printer receives unchanged) to the operating system's spooler.
class Spooler {
 public:
  virtual ~Spooler() = default;

  // Sends `blocks` in order as one RAW document named `document` to `queue`. Calls
  // `before_block(i)` before block i is written (for progress). Every step's result is
  // checked; on a failure part-way the job is cancelled so no half job prints.
  virtual SpoolResult SendRaw(const std::string& queue, const std::string& document,
                              const std::vector<JobBlock>& blocks,
                              const std::function<void(std::size_t)>& before_block) = 0;

  // Whether `queue` can take a job now, asked before a job is built for it, so that a print
  // server that does not answer or a queue that is not there is named at once, not after
  // minutes of work. ok with a `note` for a queue that takes jobs but holds them. Queues of
  // the "file:" form, and spoolers that cannot tell, are ready.
  virtual QueueCheck CheckQueue(const std::string& /*queue*/) { return {}; }
};

// Queue names of this form write the job to PATH instead of spooling it.
inline constexpr std::string_view kFileQueuePrefix = "file:";

// The system spooler: CUPS for queue names, a file for "file:PATH".
std::unique_ptr<Spooler> MakeSystemSpooler();

// Writes the blocks to `path` through a temporary file in the same folder, then renames it,
// so a failed write never leaves a partial job behind. A link keeps pointing at the job. A
// device or pipe (a printer port, /dev/stdout) is written directly and never replaced.
SpoolResult WriteJobFile(const std::string& path, const std::vector<JobBlock>& blocks,
                         const std::function<void(std::size_t)>& before_block);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_SPOOLER_H_
