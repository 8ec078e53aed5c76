#include "platform/usb_printers.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>

#include "platform/text_helpers.h"

namespace kelvaro {
namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxAttributeBytes = 256;

// First line of a sysfs attribute file, without its line end; nullopt when unreadable.
std::optional<std::string> ReadAttribute(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kMaxAttributeBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  const size_t end = text.find_first_of("\r\n");
  if (end != std::string::npos) text.resize(end);
  return text;
}

// Four hexadecimal digits, upper-cased; nullopt for anything else.
std::optional<std::string> HexId(const std::optional<std::string>& text) {
  if (!text || text->size() != 4) return std::nullopt;
  std::string id = *text;
  for (char& c : id) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    c = AsciiUpper(c);
  }
  return id;
}

// Keeps a serial number from breaking the backslash-separated record.
std::string CleanSerial(const std::string& serial) {
  std::string clean;
  for (char c : serial) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || u < 0x20 || u == 0x7f) continue;
    clean += c;
  }
  return clean;
}

}  // namespace

std::vector<std::string> ReadUsbPrinterEntries(const fs::path& sysfs_root) {
  std::error_code ec;
  fs::directory_iterator it(sysfs_root, ec);
  if (ec) return {};
  // Interface folders are named "<device>:<configuration>.<interface>".
  std::set<std::string> printer_devices;
  for (const fs::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    const size_t colon = name.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    std::optional<std::string> interface_class = ReadAttribute(entry.path() / "bInterfaceClass");
    if (interface_class != "07") continue;
    printer_devices.insert(name.substr(0, colon));
  }
  std::vector<std::string> entries;
  for (const std::string& device : printer_devices) {
    const fs::path folder = sysfs_root / device;
    std::optional<std::string> vendor = HexId(ReadAttribute(folder / "idVendor"));
    std::optional<std::string> product = HexId(ReadAttribute(folder / "idProduct"));
    if (!vendor || !product) continue;
    const std::string serial = CleanSerial(ReadAttribute(folder / "serial").value_or(""));
    entries.push_back("USB\\VID_" + *vendor + "&PID_" + *product + "\\" + serial);
  }
  return entries;
}

}  // namespace kelvaro
