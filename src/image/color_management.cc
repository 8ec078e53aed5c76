#include "image/color_management.h"

#include <lcms2.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "image/background_removal.h"

namespace kelvaro {
namespace {

// Pixels per work unit: small enough that the two scratch buffers of a thread stay in the
// cache, large enough that the hand-over between threads costs nothing measurable.
constexpr std::size_t kChunkPixels = 1 << 16;

struct TransformDeleter {
  void operator()(void* transform) const {
    if (transform != nullptr) cmsDeleteTransform(transform);
  }
};
using TransformHandle = std::unique_ptr<void, TransformDeleter>;

// Both directions share one transform between threads, so the one-pixel cache is switched
// off; it only remembers the last colour and never changes a result.
TransformHandle MakeTransform(std::string_view source_name, cmsUInt32Number source_format,
                              std::string_view target_name, cmsUInt32Number target_format,
                              const DataFolders& folders, cmsUInt32Number flags = 0) {
  ProfileHandle source = OpenNamedProfile(source_name, folders);
  ProfileHandle target = OpenNamedProfile(target_name, folders);
  if (!source || !target) return TransformHandle();
  // The profiles are closed as soon as the transform exists (when the handles go).
  return TransformHandle(cmsCreateTransform(source.get(), source_format, target.get(),
                                            target_format, INTENT_PERCEPTUAL,
                                            cmsFLAGS_NOCACHE | flags));
}

int ThreadCount(int requested) {
  if (requested > 0) return requested;
  unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

// width × height as a pixel count; nullopt when a side is not positive or `bytes_per_pixel`
// times the count would not fit in memory sizes.
std::optional<std::size_t> PixelCount(std::int32_t width, std::int32_t height,
                                      std::size_t bytes_per_pixel) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const auto w = static_cast<std::uint64_t>(width);
  const auto h = static_cast<std::uint64_t>(height);
  if (w * h > std::numeric_limits<std::size_t>::max() / bytes_per_pixel) return std::nullopt;
  return static_cast<std::size_t>(w * h);
}

// Drops the decoded pixels and the raw buffer: the load pipeline stops on an empty one.
void ReleasePicture(WorkImage& image) {
  image.decoded.reset();
  PixelBytes().swap(image.raw);
}

// The fixed words blame the picture; a profile that is there but cannot serve is named.
void ReportNoTransform(const ColourContext& context, Notifier& notifier) {
  std::string message = context.messages.odd_image;
  for (const auto& [name, role] : {std::pair{context.profiles.input, ProfileRole::kInput},
                                   std::pair{context.profiles.output, ProfileRole::kOutput}}) {
    const ProfileProblem problem = FindProfileProblem(name, role, context.folders);
    if (problem.kind == ProfileProblem::Kind::kDamaged) {
      message += "\r\nThe colour profile \"" + name + "\" " + problem.detail + ".";
    }
  }
  notifier.Show(context.messages.title, message, MessageIcon::kWarning);
}

// Starts `count` threads running `work(thread_index)` and joins them. Threads that cannot be
// started are left out; when none can, the work runs on the calling thread. `wait` runs on the
// calling thread while the workers run.
template <typename Work, typename Wait>
void RunOnThreads(int count, Work work, Wait wait) {
  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(count));
  // A single worker is this thread itself: a band converted while the decoder runs starts no
  // thread of its own.
  for (int i = 0; i < count && count > 1; ++i) {
    try {
      workers.emplace_back(work, i);
    } catch (const std::system_error&) {
      break;
    }
  }
  if (workers.empty()) work(0);
  wait();
  for (std::thread& worker : workers) worker.join();
}

// Makes the print's transform: RGBA pixels (R, G, B with `channels` 3) in, four-byte C, M, Y,
// K out. The five-byte records (C, M, Y, K, A) are put together from those and the opacity by
// ConvertChunks: the library's own packing of an extra byte and its copy of the opacity go
// through general per-channel code, and cost more than a fifth of the conversion. Both input
// layouts give the same colours; R, G, B are a good part faster.
TransformHandle MakePrintTransform(const ColourContext& context, int channels = 4) {
  return MakeTransform(context.profiles.input, channels == 3 ? TYPE_RGB_8 : TYPE_RGBA_8,
                       context.profiles.output, TYPE_CMYK_8, context.folders);
}

// The colours of `count` pixels of `channels` bytes into C, M, Y, K, A records, by way of
// `colours`, a scratch of 4 × `count` bytes. Pixels without opacity are fully opaque.
void ConvertChunk(cmsHTRANSFORM transform, const std::uint8_t* pixels, int channels,
                  std::uint8_t* records, std::size_t count, std::uint8_t* colours) {
  cmsDoTransform(transform, pixels, colours, static_cast<cmsUInt32Number>(count));
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(records + 5 * i, colours + 4 * i, 4);
    records[5 * i + 4] = channels == 4 ? pixels[4 * i + 3] : 255;
  }
}

// Converts pixels of `channels` bytes (as MakePrintTransform took) into C, M, Y, K, A records of
// another buffer, chunk by chunk on several threads. Chunks are independent; progress is the
// share of chunks done, reported from the calling thread only.
void ConvertChunks(cmsHTRANSFORM transform, const std::uint8_t* input, int channels,
                   std::uint8_t* records, std::size_t pixels, int threads, ProgressSink& progress) {
  const std::size_t chunks = (pixels + kChunkPixels - 1) / kChunkPixels;
  threads = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), chunks));
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::condition_variable moved;
  std::size_t done = 0;
  RunOnThreads(
      threads,
      [&](int) {
        const auto colours =
            std::make_unique_for_overwrite<std::uint8_t[]>(4 * std::min(kChunkPixels, pixels));
        for (std::size_t chunk = next.fetch_add(1); chunk < chunks; chunk = next.fetch_add(1)) {
          const std::size_t begin = chunk * kChunkPixels;
          const std::size_t count = std::min(kChunkPixels, pixels - begin);
          ConvertChunk(transform, input + channels * begin, channels, records + 5 * begin, count,
                       colours.get());
          {
            const std::lock_guard lock(mutex);
            ++done;
          }
          moved.notify_all();
        }
      },
      [&] {
        long long shown = -1;
        std::unique_lock lock(mutex);
        for (;;) {
          const std::size_t seen = done;
          const auto percent = static_cast<long long>(
              std::nearbyint(100.0 * static_cast<double>(seen) / static_cast<double>(chunks)));
          if (percent != shown) {
            shown = percent;
            lock.unlock();
            progress.SetProgress(percent, 100);
            lock.lock();
          }
          if (done == chunks) return;
          moved.wait(lock, [&] { return done != seen; });
        }
      });
}

// Source rows converted and placed at a time: few enough that their records are still in the
// core's cache when they are placed.
constexpr std::int32_t kPlacedChunkRows = 16;

// Converts rows [first, end) of `pixels` (pixels of `channels` bytes, `width` a row) into
// C, M, Y, K, A records at their places in `grid`, on `scratch.size()` threads, each with
// scratch of its own. Each thread takes one run of rows: in a turned grid the records of
// neighbouring rows sit side by side, and two threads seldom write into the same cache line.
void ConvertAndPlace(cmsHTRANSFORM transform, const std::uint8_t* pixels, int channels,
                     std::int32_t width, std::int32_t first, std::int32_t end,
                     const RecordPlacement& placement, std::uint8_t* grid,
                     std::span<PixelBytes> scratch) {
  const auto threads = static_cast<std::int32_t>(scratch.size());
  const std::size_t row_pixels = static_cast<std::size_t>(width);
  RunOnThreads(
      threads,
      [&](int thread) {
        std::uint8_t* colours = scratch[static_cast<std::size_t>(thread)].data();
        std::uint8_t* records = colours + 4 * row_pixels * kPlacedChunkRows;
        const std::int32_t rows = end - first;
        const std::int32_t to = first + rows * (thread + 1) / threads;
        for (std::int32_t y = first + rows * thread / threads; y < to; y += kPlacedChunkRows) {
          const std::int32_t y1 = std::min(y + kPlacedChunkRows, to);
          ConvertChunk(transform, pixels + static_cast<std::size_t>(channels) * row_pixels * y,
                       channels, records, row_pixels * (y1 - y), colours);
          placement.Place(records, y, y1, grid);
        }
      },
      [] {});
}

}  // namespace

std::string MemoryMessage(int prefix) {
  return std::to_string(prefix) +
         " Unable to allocate memory.\r\nPlease Reduce resolution of the image\r\n"
         "Kelvaro Pro will close";
}

ConvertStatus ConvertWorkImage(WorkImage& image, const ColourContext& context, Notifier& notifier,
                               ProgressSink& progress, const std::function<void()>& load_defaults) {
  const std::optional<std::size_t> pixels = PixelCount(image.width, image.height, 5);
  const std::span<const std::uint8_t> rgba = image.DecodedRgba();
  if (!pixels || rgba.size() < 4 * *pixels) {
    ReleasePicture(image);
    return ConvertStatus::kBadBuffer;
  }
  const std::size_t count = *pixels;
  TransformHandle transform = MakePrintTransform(context);
  if (!transform) {
    ReportNoTransform(context, notifier);
    if (load_defaults) load_defaults();
    ReleasePicture(image);
    return ConvertStatus::kNoTransform;
  }
  PixelBytes records;
  try {
    records.resize(5 * count);
    PreferLargePages(records);
  } catch (const std::bad_alloc&) {
    ReleasePicture(image);
    notifier.Show(kProgramTitle, MemoryMessage(1), MessageIcon::kError);
    return ConvertStatus::kOutOfMemory;
  }
  ConvertChunks(transform.get(), rgba.data(), 4, records.data(), count,
                ThreadCount(context.threads), progress);
  image.decoded.reset();
  image.raw.swap(records);
  return ConvertStatus::kConverted;
}

RowConversion::RowConversion(ColourContext context) : context_(std::move(context)) {}
RowConversion::~RowConversion() = default;

void RowConversion::TransformDeleter::operator()(void* transform) const {
  if (transform != nullptr) cmsDeleteTransform(transform);
}

bool RowConversion::Begin(std::int32_t width, std::int32_t height, int channels) {
  Drop();
  const std::optional<std::size_t> pixels = PixelCount(width, height, 5);
  if (!pixels || (channels != 3 && channels != 4)) return false;
  TransformHandle transform = MakePrintTransform(context_, channels);
  if (!transform) return false;
  try {
    records_.resize(5 * *pixels);
    PreferLargePages(records_);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (ahead_) {
    placement_.emplace(width, height, ahead_->mirror, ahead_->flip,
                       TurnsAtLoad(ahead_->rotate, width, height, ahead_->file, ahead_->printable));
  }
  transform_.reset(transform.release());
  width_ = width;
  height_ = height;
  channels_ = channels;
  return true;
}

bool RowConversion::Take(std::span<const std::uint8_t> pixels, std::int32_t first, std::int32_t end,
                         bool decoding) {
  const auto started = std::chrono::steady_clock::now();
  const std::size_t row_pixels = static_cast<std::size_t>(width_);
  const std::size_t begin = static_cast<std::size_t>(first) * row_pixels;
  const std::size_t count = static_cast<std::size_t>(end - first) * row_pixels;
  const auto channels = static_cast<std::size_t>(channels_);
  if (!transform_ || first < 0 || end > height_ || end <= first ||
      pixels.size() < channels * (begin + count)) {
    return false;
  }
  const std::uint8_t* band = pixels.data() + channels * begin;
  NullProgress quiet;
  const int threads = decoding ? 1 : ThreadCount(context_.threads);
  if (placement_) {
    // No more threads than runs of rows to give them.
    const auto runs =
        static_cast<std::size_t>((end - first + kPlacedChunkRows - 1) / kPlacedChunkRows);
    const std::size_t workers = std::min(static_cast<std::size_t>(threads), runs);
    try {
      if (scratch_.size() < workers) scratch_.resize(workers);
      for (std::size_t i = 0; i < workers; ++i) {
        scratch_[i].resize(9 * row_pixels * kPlacedChunkRows);
      }
    } catch (const std::bad_alloc&) {
      return false;
    }
    ConvertAndPlace(transform_.get(), pixels.data(), channels_, width_, first, end, *placement_,
                    records_.data(), std::span(scratch_).first(workers));
  } else {
    ConvertChunks(transform_.get(), band, channels_, records_.data() + 5 * begin, count, threads,
                  quiet);
  }
  // Without an opacity channel every pixel is fully opaque.
  if (all_opaque_ && channels_ == 4) {
    for (std::size_t i = 0; i < count && all_opaque_; ++i) all_opaque_ = band[4 * i + 3] == 255;
  }
  if (!all_opaque_ && !transparent_) {
    transparent_ = HasTransparentPixel(std::span(band, 4 * count));
  }
  rows_converted_ += end - first;
  busy_ += std::chrono::steady_clock::now() - started;
  return true;
}

void RowConversion::Drop() {
  transform_.reset();
  all_opaque_ = true;
  transparent_ = false;
  placement_.reset();
  PixelBytes().swap(records_);
  std::vector<PixelBytes>().swap(scratch_);
  rows_converted_ = 0;
}

bool RowConversion::HasWholePicture(const WorkImage& image) const {
  return transform_ && rows_converted_ == height_ && image.width == width_ &&
         image.height == height_;
}

bool RowConversion::Finish(WorkImage& image, bool opaque, ProgressSink& progress) {
  if (!HasWholePicture(image)) {
    Drop();
    return false;
  }
  // The conversion copied every opacity already.
  if (opaque && !all_opaque_) {
    std::uint8_t* record = records_.data();
    const std::size_t pixels = records_.size() / 5;
    for (std::size_t i = 0; i < pixels; ++i) record[5 * i + 4] = 255;
  }
  image.decoded.reset();
  (placement_ ? image.grid : image.raw).swap(records_);
  Drop();
  progress.SetProgress(100, 100);
  return true;
}

bool ProofToScreen(std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
                   const ColourContext& context, Notifier& notifier) {
  ProofTransformCache transform(/*fast_links=*/false);
  return transform.Convert(pixels, width, height, context, notifier);
}

ProofTransformCache::ProofTransformCache(bool fast_links) : fast_links_(fast_links) {}
ProofTransformCache::~ProofTransformCache() = default;
ProofTransformCache::ProofTransformCache(ProofTransformCache&&) noexcept = default;
ProofTransformCache& ProofTransformCache::operator=(ProofTransformCache&&) noexcept = default;

void ProofTransformCache::TransformDeleter::operator()(void* transform) const {
  if (transform != nullptr) cmsDeleteTransform(transform);
}

void ProofTransformCache::Forget() { transforms_ = Transforms{}; }

namespace {

// Five-byte proof records read as C, M, Y and two spare bytes.
constexpr cmsUInt32Number kCmyRecord =
    COLORSPACE_SH(PT_CMY) | CHANNELS_SH(3) | BYTES_SH(1) | EXTRA_SH(2);
// Nodes per side of the three-channel links, as Little CMS itself samples 8-bit RGB.
constexpr cmsUInt32Number kLinkNodes = 33;

struct LinkSampling {
  cmsHTRANSFORM cmyk_to_rgb;  // 16 bits a channel
  cmsUInt16Number black;
};

int SampleWithBlack(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const auto* sampling = static_cast<const LinkSampling*>(cargo);
  const cmsUInt16Number cmyk[4] = {in[0], in[1], in[2], sampling->black};
  cmsDoTransform(sampling->cmyk_to_rgb, cmyk, out, 1);
  return TRUE;
}

// A device link from C, M, Y to the screen's RGB, sampled from `cmyk_to_rgb` with a fixed
// black of `black` (8-bit level). Null when Little CMS cannot make it.
TransformHandle MakeCmyLink(cmsHTRANSFORM cmyk_to_rgb, std::uint8_t black) {
  std::unique_ptr<cmsPipeline, decltype(&cmsPipelineFree)> lut(cmsPipelineAlloc(nullptr, 3, 3),
                                                               cmsPipelineFree);
  if (!lut) return TransformHandle();
  cmsStage* clut = cmsStageAllocCLut16bit(nullptr, kLinkNodes, 3, 3, nullptr);
  LinkSampling sampling{cmyk_to_rgb, static_cast<cmsUInt16Number>(black * 257)};
  if (clut == nullptr || !cmsStageSampleCLut16bit(clut, SampleWithBlack, &sampling, 0) ||
      !cmsPipelineInsertStage(lut.get(), cmsAT_BEGIN, clut)) {
    if (clut != nullptr) cmsStageFree(clut);
    return TransformHandle();
  }
  ProfileHandle link(cmsCreateProfilePlaceholder(nullptr));
  if (!link) return TransformHandle();
  cmsSetProfileVersion(link.get(), 4.3);
  cmsSetDeviceClass(link.get(), cmsSigLinkClass);
  cmsSetColorSpace(link.get(), cmsSigCmyData);
  cmsSetPCS(link.get(), cmsSigRgbData);
  cmsSetHeaderRenderingIntent(link.get(), INTENT_PERCEPTUAL);
  if (!cmsWriteTag(link.get(), cmsSigAToB0Tag, lut.get())) return TransformHandle();
  return TransformHandle(cmsCreateTransform(link.get(), kCmyRecord, nullptr, TYPE_BGRA_8,
                                            INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
}

}  // namespace

bool ProofTransformCache::MakeTransforms(const ColourContext& context, Notifier& notifier) {
  const ProfileNames& names = context.profiles;
  const DataFolders& folders = context.folders;
  if (transforms_.full && names.input == names_.input && names.output == names_.output &&
      folders.user == folders_.user && folders.common == folders_.common &&
      folders.program == folders_.program) {
    return true;
  }
  Forget();
  // The printer's CMYK is the source here and the image's RGB stands for the screen.
  TransformHandle full =
      MakeTransform(names.output, TYPE_CMYKA_8, names.input, TYPE_BGRA_8, folders);
  if (!full) {
    notifier.Show(context.messages.title, context.messages.conversion_failure,
                  MessageIcon::kWarning);
    return false;
  }
  transforms_.full.reset(full.release());
  // Without the links every record goes through the four-channel transform.
  if (TransformHandle precise = !fast_links_ ? TransformHandle()
                                             : MakeTransform(names.output, TYPE_CMYK_16,
                                                             names.input, TYPE_RGB_16, folders)) {
    transforms_.black_0.reset(MakeCmyLink(precise.get(), 0).release());
    transforms_.black_1.reset(MakeCmyLink(precise.get(), 1).release());
  }
  names_ = names;
  folders_ = folders;
  return true;
}

bool ProofTransformCache::Convert(std::vector<std::uint8_t>& pixels, std::int32_t width,
                                  std::int32_t height, const ColourContext& context,
                                  Notifier& notifier) {
  const std::optional<std::size_t> count = PixelCount(width, height, 5);
  if (!count || pixels.size() < 5 * *count) return false;
  std::vector<std::uint8_t> screen;
  try {
    screen.assign(4 * *count, 0);  // the fourth byte of each pixel stays 0
  } catch (const std::bad_alloc&) {
    notifier.Show(context.messages.title, context.messages.conversion_failure,
                  MessageIcon::kWarning);
    return false;
  }
  if (!Convert(pixels, screen, width, height, context, notifier)) return false;
  pixels.swap(screen);
  return true;
}

bool ProofTransformCache::Convert(std::span<const std::uint8_t> records,
                                  std::span<std::uint8_t> screen, std::int32_t width,
                                  std::int32_t height, const ColourContext& context,
                                  Notifier& notifier) {
  const std::optional<std::size_t> count = PixelCount(width, height, 5);
  if (!count || records.size() < 5 * *count || screen.size() < 4 * *count) return false;
  if (!MakeTransforms(context, notifier)) return false;
  // The transform for a record with black level `black`.
  void* const by_black[2] = {
      transforms_.black_0 ? transforms_.black_0.get() : transforms_.full.get(),
      transforms_.black_1 ? transforms_.black_1.get() : transforms_.full.get()};
  auto transform_for = [&](std::uint8_t black) {
    return black < 2 ? by_black[black] : transforms_.full.get();
  };

  const std::size_t chunks = (*count + kChunkPixels - 1) / kChunkPixels;
  const int threads = static_cast<int>(
      std::min<std::size_t>(static_cast<std::size_t>(ThreadCount(context.threads)), chunks));
  std::atomic<std::size_t> next{0};
  RunOnThreads(
      threads,
      [&](int) {
        for (std::size_t chunk = next.fetch_add(1); chunk < chunks; chunk = next.fetch_add(1)) {
          const std::size_t begin = chunk * kChunkPixels;
          const std::size_t end = std::min(begin + kChunkPixels, *count);
          // Runs of records that take the same transform, in one call each.
          for (std::size_t run = begin; run < end;) {
            void* transform = transform_for(records[5 * run + 3]);
            std::size_t next_run = run + 1;
            while (next_run < end && transform_for(records[5 * next_run + 3]) == transform) {
              ++next_run;
            }
            cmsDoTransform(transform, records.data() + 5 * run, screen.data() + 4 * run,
                           static_cast<cmsUInt32Number>(next_run - run));
            run = next_run;
          }
        }
      },
      [] {});
  return true;
}

}  // namespace kelvaro
