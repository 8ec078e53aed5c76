#ifndef KELVARO_IMAGE_DECODER_GUARD_H_
#define KELVARO_IMAGE_DECODER_GUARD_H_

#include <cstdint>
#include <span>

namespace kelvaro {

// Checks that the image data of a Photoshop file can be decoded without writing past the
// picture: the sections before it lie inside the file and, for run-length data, every row of
// every channel unpacks to exactly its width within the bytes of the file. Files that are not
// Photoshop files (no "8BPS" signature) pass, as do uncompressed data and compression kinds
// the decoder refuses by itself. The decoder's own run-length reader trusts the runs, so a
// cut or damaged file would otherwise make it write outside its buffers.
bool PsdImageDataIsSound(std::span<const std::uint8_t> file);

// Makes the decoder read files through readers that hand out zero bytes past the end of the
// file instead of leaving its buffers as they were. Its PNG reader otherwise spins on the
// stale bytes of a cut file for as long as it likes. Safe to call more than once.
void InstallDecoderFileReaders();

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_DECODER_GUARD_H_
