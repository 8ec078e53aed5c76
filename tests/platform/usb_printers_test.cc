#include "platform/usb_printers.h"

#include <gtest/gtest.h>

#include "support/test_env.h"
#include "support/usb_sysfs.h"

namespace kelvaro {
namespace {

using ::kelvaro::testing::AddUsbDevice;
using ::kelvaro::testing::TempDir;
using ::kelvaro::testing::WriteFileBytes;

TEST(UsbPrintersTest, PrinterInterfacesBecomeServiceRecords) {
  TempDir root;
  AddUsbDevice(root.path(), "1-2", "06bc", "02fd", "AK12345");
  AddUsbDevice(root.path(), "1-1", "046d", "c52b", "KEYB", "03");  // a keyboard
  AddUsbDevice(root.path(), "2-1.4", "06bc", "039c", "");
  const std::vector<std::string> expected = {"USB\\VID_06BC&PID_02FD\\AK12345",
                                             "USB\\VID_06BC&PID_039C\\"};
  EXPECT_EQ(ReadUsbPrinterEntries(root.path()), expected);
}

TEST(UsbPrintersTest, DeviceWithTwoPrinterInterfacesIsListedOnce) {
  TempDir root;
  AddUsbDevice(root.path(), "1-3", "06bc", "02d6", "S1");
  WriteFileBytes(root.path() / "1-3:1.1" / "bInterfaceClass", "07\n");
  EXPECT_EQ(ReadUsbPrinterEntries(root.path()).size(), 1u);
}

TEST(UsbPrintersTest, DamagedOrMissingTreesGiveNoPrinters) {
  TempDir root;
  EXPECT_TRUE(ReadUsbPrinterEntries(root.path() / "missing").empty());
  // Ids that are not four hexadecimal digits, and an interface whose device folder is gone.
  AddUsbDevice(root.path(), "1-1", "06bcx", "02fd", "S");
  AddUsbDevice(root.path(), "1-2", "zz01", "02fd", "S");
  WriteFileBytes(root.path() / "3-1:1.0" / "bInterfaceClass", "07\n");
  EXPECT_TRUE(ReadUsbPrinterEntries(root.path()).empty());
}

TEST(UsbPrintersTest, SerialCannotBreakTheRecord) {
  TempDir root;
  AddUsbDevice(root.path(), "1-1", "06bc", "02fd", "AB\\CD\tEF");
  ASSERT_EQ(ReadUsbPrinterEntries(root.path()).size(), 1u);
  EXPECT_EQ(ReadUsbPrinterEntries(root.path())[0], "USB\\VID_06BC&PID_02FD\\ABCDEF");
}

}  // namespace
}  // namespace kelvaro
