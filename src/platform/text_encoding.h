#ifndef KELVARO_PLATFORM_TEXT_ENCODING_H_
#define KELVARO_PLATFORM_TEXT_ENCODING_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvaro {

// Text is UTF-8 in memory. Some of the files we share with older installations are UTF-16LE.
//
// File names on this system are bytes and need not be valid UTF-8. So that such a name
// survives a trip through a UTF-16 file, each byte that is not part of valid UTF-8 is carried
// as a lone low surrogate U+DC80..U+DCFF and turned back into the same byte on the way in.

// UTF-8 (possibly invalid) to UTF-16 code units.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 code units to UTF-8. Lone surrogates U+DC80..U+DCFF become the raw byte they
// carry; any other unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Little-endian bytes to code units; an odd last byte is ignored.
std::u16string Utf16LeBytesToUnits(std::string_view bytes);
std::string UnitsToUtf16LeBytes(std::u16string_view units);

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 (the ANSI code page of the installations whose files we read) to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// The first `max_chars` characters (code points) of a UTF-8 text; bytes of invalid sequences
// count as one character each. Never splits a character.
std::string CutToChars(std::string_view utf8, std::size_t max_chars);

// Number of characters counted as in CutToChars.
std::size_t CountChars(std::string_view utf8);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_TEXT_ENCODING_H_
