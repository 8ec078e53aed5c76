#include "job/printer_mode.h"

#include <array>

namespace kelvaro {
namespace {

// The commands as the printer's own tools keep them: ESC "%-12345X@PJL DEFAULT
// OKICMYKCONVERSION=OFF" CR LF ESC "%-12345X", and the same with "ON".
constexpr std::array<std::string_view, 55> kConversionOffTable = {
    "1B", "25", "2D", "31", "32", "33", "34", "35", "58", "40", "50", "4A", "4C",  "20",
    "44", "45", "46", "41", "55", "4C", "54", "20", "4F", "4B", "49", "43", "4D",  "59",
    "4B", "43", "4F", "4E", "56", "45", "52", "53", "49", "4F", "4E", "3D", "4F",  "46",
    "46", "0D", "0A", "1B", "25", "2D", "31", "32", "33", "34", "35", "58", "END",
};
constexpr std::array<std::string_view, 54> kConversionOnTable = {
    "1B", "25", "2D", "31", "32", "33", "34", "35", "58", "40", "50", "4A",  "4C", "20",
    "44", "45", "46", "41", "55", "4C", "54", "20", "4F", "4B", "49", "43",  "4D", "59",
    "4B", "43", "4F", "4E", "56", "45", "52", "53", "49", "4F", "4E", "3D",  "4F", "4E",
    "0D", "0A", "1B", "25", "2D", "31", "32", "33", "34", "35", "58", "END",
};

constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr bool IsByteEntry(std::string_view entry) {
  return entry.size() == 2 && HexDigit(entry[0]) >= 0 && HexDigit(entry[1]) >= 0;
}

// The tables are fixed: a mistyped entry must not build.
template <std::size_t N>
constexpr bool IsCommandTable(const std::array<std::string_view, N>& table) {
  for (std::string_view entry : table) {
    if (entry == "END") return true;
    if (!IsByteEntry(entry)) return false;
  }
  return true;
}
static_assert(IsCommandTable(kConversionOffTable) && IsCommandTable(kConversionOnTable));

}  // namespace

std::optional<std::string> ReadHexTable(std::span<const std::string_view> entries) {
  std::string bytes;
  for (std::string_view entry : entries) {
    if (entry == "END") break;
    if (!IsByteEntry(entry)) return std::nullopt;
    bytes.push_back(static_cast<char>(HexDigit(entry[0]) * 16 + HexDigit(entry[1])));
  }
  return bytes;
}

std::string PrinterModeBytes(PrinterModeCommand command) {
  using Table = std::span<const std::string_view>;
  const Table table = command == PrinterModeCommand::kConversionOff ? Table(kConversionOffTable)
                                                                    : Table(kConversionOnTable);
  return *ReadHexTable(table);  // valid: checked when built
}

bool SendModeCommand(SpoolServices services, const std::string& printer, std::string_view command) {
  return SendPrinterModeJob(services, printer, std::string(command));
}

}  // namespace kelvaro
