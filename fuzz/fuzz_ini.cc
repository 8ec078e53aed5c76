// The INI reader on arbitrary bytes: a settings file may be damaged or not ours at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

using kelvaro::IniDocument;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniDocument doc = IniDocument::Parse(bytes);

  // Names taken from the input itself reach the odd corners of the matching.
  const std::size_t a = size / 3, b = 2 * size / 3;
  const std::string_view section = bytes.substr(0, a), key = bytes.substr(a, b - a);
  const auto found = doc.Get(section, key);
  if (found && found->size() > 4 * kelvaro::kMaxIniValueChars) std::abort();
  doc.Set(section, key, bytes.substr(b));

  // A write of ours always reads back, whatever else the file holds, and any case works.
  doc.Set("Active", "TonerPercent", " 50");
  const auto value = doc.Get("ACTIVE", "tonerpercent");
  if (!value || *value != "50") std::abort();

  // What we write reads back the same, and writing it again changes nothing.
  const std::string written = doc.Serialize();
  const IniDocument again = IniDocument::Parse(written);
  const auto reread = again.Get("active", "TONERPERCENT");
  if (!reread || *reread != "50") std::abort();
  if (again.Serialize() != written) std::abort();
  return 0;
}
