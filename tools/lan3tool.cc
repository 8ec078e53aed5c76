// lan3tool: makes a language file from a translator's table and dumps one back.
//   lan3tool encode TABLE OUT.lan3 [--count N] [--comment TEXT]
//   lan3tool decode IN.lan3 [TABLE]
//   lan3tool defaults TABLE          the built-in English texts as a table
// The table has one "number<TAB>text" line per entry (UTF-8, backslash-n for a line break).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/atomic_file.h"
#include "settings/language_file.h"
#include "settings/ui_text.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: lan3tool encode TABLE OUT.lan3 [--count N] [--comment TEXT]\n"
               "       lan3tool decode IN.lan3 [TABLE]\n"
               "       lan3tool defaults TABLE\n");
  return 2;
}

std::optional<std::string> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replaces the file in one piece: a write that fails half-way (a full disk) leaves the file
// that was there before, which may be a translator's only copy of his table.
// A device or pipe (/dev/stdout) is written in place.
bool WriteAll(const std::string& path, const std::string& bytes) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
  }
  return kelvaro::WriteFileAtomically(path, bytes).ok;
}

int Encode(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  int count = -1;
  std::string comment = "Kelvaro Pro language file";
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Usage();
    if (args[i] == "--count") {
      char* end = nullptr;
      const long value = std::strtol(args[i + 1].c_str(), &end, 10);
      if (end == args[i + 1].c_str() || *end != '\0' || value < 0) return Usage();
      count = static_cast<int>(std::min<long>(value, kelvaro::kMaxLanguageEntryCount + 1));
    } else if (args[i] == "--comment") {
      comment = args[i + 1];
    } else {
      return Usage();
    }
  }
  std::optional<std::string> table = ReadAll(args[0]);
  if (!table) {
    std::fprintf(stderr, "lan3tool: cannot read %s\n", args[0].c_str());
    return 1;
  }
  std::string error;
  std::optional<std::vector<kelvaro::LanguageEntry>> entries =
      kelvaro::ParseTextTable(*table, &error);
  if (!entries) {
    std::fprintf(stderr, "lan3tool: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  std::optional<std::string> file =
      kelvaro::WriteLanguageFile(std::move(*entries), comment, count, &error);
  if (!file) {
    std::fprintf(stderr, "lan3tool: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  if (!WriteAll(args[1], *file)) {
    std::fprintf(stderr, "lan3tool: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}

int Decode(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return Usage();
  std::optional<std::string> bytes = ReadAll(args[0]);
  if (!bytes) {
    std::fprintf(stderr, "lan3tool: cannot read %s\n", args[0].c_str());
    return 1;
  }
  const kelvaro::ParsedLanguageFile parsed = kelvaro::ParseLanguageFile(*bytes);
  if (parsed.header == kelvaro::LanguageHeader::kOutdated) {
    std::fprintf(stderr, "lan3tool: %s: outdated language file (V1 or V2)\n", args[0].c_str());
    return 1;
  }
  if (!parsed.damage.empty()) {
    std::fprintf(stderr, "lan3tool: %s: %s\n", args[0].c_str(), parsed.damage.c_str());
    return 1;
  }
  const std::string table = kelvaro::FormatTextTable(parsed.entries);
  if (args.size() == 1) {
    std::fwrite(table.data(), 1, table.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (!WriteAll(args[1], table)) {
    std::fprintf(stderr, "lan3tool: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}

int Defaults(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  std::vector<kelvaro::LanguageEntry> entries;
  for (int number = 0; number <= kelvaro::UiText::kLastDefaultEntry; ++number) {
    entries.push_back({number, std::string(kelvaro::DefaultText(number))});
  }
  if (!WriteAll(args[0], kelvaro::FormatTextTable(entries))) {
    std::fprintf(stderr, "lan3tool: cannot write %s\n", args[0].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "encode") return Encode(args);
  if (command == "decode") return Decode(args);
  if (command == "defaults") return Defaults(args);
  return Usage();
}
