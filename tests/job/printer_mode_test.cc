#include "job/printer_mode.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kelvaro {
namespace {

TEST(PrinterModeTest, CommandsAreThePjlDefaultSettings) {
  // ESC "%-12345X@PJL DEFAULT OKICMYKCONVERSION=OFF" CR LF ESC "%-12345X", and with "ON".
  const std::string off = "\x1b%-12345X@PJL DEFAULT OKICMYKCONVERSION=OFF\r\n\x1b%-12345X";
  const std::string on = "\x1b%-12345X@PJL DEFAULT OKICMYKCONVERSION=ON\r\n\x1b%-12345X";
  EXPECT_EQ(PrinterModeBytes(PrinterModeCommand::kConversionOff), off);
  EXPECT_EQ(PrinterModeBytes(PrinterModeCommand::kConversionOn), on);
  EXPECT_EQ(off.size(), 54u);
  EXPECT_EQ(on.size(), 53u);
}

TEST(PrinterModeTest, TableReadingStopsAtEndOrAtTheLastEntry) {
  struct Case {
    std::vector<std::string_view> entries;
    std::optional<std::string> bytes;
  };
  const Case cases[] = {
      {{"40", "0d", "0A", "END", "41"}, std::string("@\r\n")},
      {{"40", "4A"}, std::string("@J")},
      {{"END", "40"}, std::string()},
      {{"40", "4G"}, std::nullopt},
      {{"404"}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadHexTable(c.entries), c.bytes) << c.entries.size();
  }
}

}  // namespace
}  // namespace kelvaro
