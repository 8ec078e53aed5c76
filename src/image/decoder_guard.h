#ifndef KELVARO_IMAGE_DECODER_GUARD_H_
#define KELVARO_IMAGE_DECODER_GUARD_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "image/picture_header.h"

namespace kelvaro {

// Checks that the image data of a Photoshop file can be decoded without writing past the
// picture: the sections before it lie inside the file, every image resource lies inside its
// section and, for run-length data, every row of
// every channel unpacks to exactly its width within the bytes of the file. Files that are not
// Photoshop files (no "8BPS" signature) pass, as do uncompressed data and compression kinds
// the decoder refuses by itself. The decoder's own run-length reader trusts the runs, so a
// cut or damaged file would otherwise make it write outside its buffers.
bool PsdImageDataIsSound(std::span<const std::uint8_t> file);

// Why a picture must not reach the decoder: the decoder's error code the user sees first,
// then a sentence naming the damage.
struct DecoderRefusal {
  unsigned code = 0;
  std::string detail;
};

// Looks over a `format` file of `file_size` bytes for what the decoder does not check itself
// and would read or write outside its buffers on, or report only as an unknown error: a GIF
// frame that leaves the logical screen, a GIF cut short or without a frame, a BMP with a
// negative width or with fewer pixel bytes than its header states, a Photoshop file of more
// than 8 bits per channel. Reads only the headers of the blocks (for a GIF, one byte per
// 255 data bytes). Returns nullopt when the decoder may go ahead. BMP sizes beyond what the
// decoder can hold are left to `PictureSizeRefusal`.
std::optional<DecoderRefusal> CheckBeforeDecoding(PictureFormat format, const ByteReader& read,
                                                  std::uint64_t file_size);

// Makes the decoder read files through readers that hand out zero bytes past the end of the
// file instead of leaving its buffers as they were. Its PNG reader otherwise spins on the
// stale bytes of a cut file for as long as it likes. Safe to call more than once.
void InstallDecoderFileReaders();

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_DECODER_GUARD_H_
