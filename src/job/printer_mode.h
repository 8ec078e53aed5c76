#ifndef KELVARO_JOB_PRINTER_MODE_H_
#define KELVARO_JOB_PRINTER_MODE_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "job/spool_output.h"

namespace kelvaro {

// The two PJL default-setting jobs that switch the printer's own CMYK conversion.
enum class PrinterModeCommand {
  kConversionOff,  // sent by "Driver Off": OKICMYKCONVERSION=OFF, 54 bytes
  kConversionOn,   // sent by "Driver On": OKICMYKCONVERSION=ON, 53 bytes
};

// Reads a command table: each entry is two hexadecimal digits giving one byte; reading stops
// at the entry "END" or after the last entry. nullopt when an entry before "END" is not two
// hexadecimal digits.
std::optional<std::string> ReadHexTable(std::span<const std::string_view> entries);

// The bytes of `command`, without the end-of-job byte.
std::string PrinterModeBytes(PrinterModeCommand command);

// Sends `command` to `printer` as one RAW block named "Zeph print", with the byte 0x04
// appended; no status line or progress. false after the failure has been shown.
bool SendModeCommand(SpoolServices services, const std::string& printer, std::string_view command);

}  // namespace kelvaro

#endif  // KELVARO_JOB_PRINTER_MODE_H_
