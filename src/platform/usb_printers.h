#ifndef KELVARO_PLATFORM_USB_PRINTERS_H_
#define KELVARO_PLATFORM_USB_PRINTERS_H_

#include <filesystem>
#include <string>
#include <vector>

namespace kelvaro {

// Where the kernel lists USB devices and their interfaces.
inline constexpr char kUsbSysfsRoot[] = "/sys/bus/usb/devices";

// Every USB device that has at least one printer-class interface (bInterfaceClass 07) under
// `sysfs_root`, one text each in the form the printing service records them:
//   "USB\VID_06BC&PID_02FD\SERIAL"
// (vendor and product as four upper-case hexadecimal digits; the serial number as the
// device reports it, empty when it has none). Devices come in the order of their sysfs
// names. A missing or unreadable root gives an empty list; entries that cannot be read or
// carry malformed ids are skipped.
std::vector<std::string> ReadUsbPrinterEntries(
    const std::filesystem::path& sysfs_root = kUsbSysfsRoot);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_USB_PRINTERS_H_
