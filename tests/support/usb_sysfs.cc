#include "support/usb_sysfs.h"

#include "support/test_env.h"

namespace kelvaro::testing {

void AddUsbDevice(const std::filesystem::path& root, const std::string& device,
                  const std::string& vendor, const std::string& product, const std::string& serial,
                  const std::string& interface_class) {
  const std::filesystem::path folder = root / device;
  WriteFileBytes(folder / "idVendor", vendor + "\n");
  WriteFileBytes(folder / "idProduct", product + "\n");
  if (!serial.empty()) WriteFileBytes(folder / "serial", serial + "\n");
  WriteFileBytes(root / (device + ":1.0") / "bInterfaceClass", interface_class + "\n");
}

}  // namespace kelvaro::testing
