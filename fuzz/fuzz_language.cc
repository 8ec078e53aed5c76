// Language-file decoder on arbitrary bytes: the parser must never crash, and what it accepts
// must survive the writer and the translators' table unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const kelvaro::ParsedLanguageFile parsed = kelvaro::ParseLanguageFile(bytes);

  // Every byte string also goes through the single-entry decoder and the table reader.
  (void)kelvaro::DecodeLanguageEntry(bytes);
  (void)kelvaro::ParseTextTable(bytes);

  if (parsed.header != kelvaro::LanguageHeader::kCurrent || !parsed.damage.empty()) return 0;

  kelvaro::UiText texts;
  texts.Reset(parsed.count);
  for (const kelvaro::LanguageEntry& entry : parsed.entries) texts.Set(entry.number, entry.text);
  texts.ConvertLineBreaks();

  // Accepted entries re-encode to lines that decode to the same entry.
  for (const kelvaro::LanguageEntry& entry : parsed.entries) {
    if (entry.number < 0) continue;
    std::optional<std::string> line = kelvaro::EncodeLanguageEntry(entry, 2);
    if (!line) std::abort();  // decoded text is always valid UTF-8
    std::optional<kelvaro::LanguageEntry> again = kelvaro::DecodeLanguageEntry(*line);
    if (!again || !(*again == entry)) std::abort();
  }
  return 0;
}
