#ifndef KELVARO_TESTS_SUPPORT_USB_SYSFS_H_
#define KELVARO_TESTS_SUPPORT_USB_SYSFS_H_

#include <filesystem>
#include <string>

namespace kelvaro::testing {

// Adds a USB device folder `device` (e.g. "1-1") to a fake sysfs tree under `root`, with
// idVendor, idProduct and (when not empty) serial files, and one interface folder
// "<device>:1.0" of class `interface_class` ("07" for a printer). Values get the line end
// the kernel writes.
void AddUsbDevice(const std::filesystem::path& root, const std::string& device,
                  const std::string& vendor, const std::string& product, const std::string& serial,
                  const std::string& interface_class = "07");

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_SUPPORT_USB_SYSFS_H_
