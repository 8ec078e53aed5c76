#ifndef KELVARO_IMAGE_DECODED_ROWS_H_
#define KELVARO_IMAGE_DECODED_ROWS_H_

#include <chrono>
#include <cstdint>
#include <span>

namespace kelvaro {

// Takes the rows of a plain PNG while the decoder is still reading the next ones, so that the
// work after the decode (the colour conversion) need not wait for the whole picture.
class DecodedRowsTaker {
 public:
  virtual ~DecodedRowsTaker() = default;
  // Before the decoder starts: the picture is `width` × `height` pixels of `channels` bytes,
  // R, G, B and, with 4, A (a picture without opacity comes as 3). False: its rows are not
  // wanted (the picture is then decoded as a whole).
  virtual bool Begin(std::int32_t width, std::int32_t height, int channels) = 0;
  // Rows [first, end) of `pixels` (width × height pixels as Begin said, rows counted from the
  // top of the buffer; with Flip the decoder fills it from the bottom) are decoded and stay as
  // they are.
  // `decoding` is true while the decoder still runs on a core of its own. Called on a thread
  // of the loader's, one call at a time, each row once. True: these rows are not read again,
  // and the loader may give their memory back (they read as zero afterwards).
  virtual bool Take(std::span<const std::uint8_t> pixels, std::int32_t first, std::int32_t end,
                    bool decoding) = 0;
  // What was taken is not the picture after all (the decoder stopped, or the general decoder
  // read the file again): forget it.
  virtual void Drop() = 0;
  // The time spent in Take so far.
  virtual std::chrono::steady_clock::duration busy() const = 0;
};

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_DECODED_ROWS_H_
