#include "printers/printer_models.h"

#include <algorithm>
#include <cctype>

#include "platform/text_helpers.h"
#include "platform/usb_printers.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace kelvaro {

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The backslash-separated fields of one printing-service record.
std::vector<std::string> SplitRecord(std::string_view record) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t end = record.find('\\', start);
    fields.emplace_back(record.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

std::string Field(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

const PrinterModel* FindKey(std::string_view key) {
  for (const PrinterModel& model : kPrinterModels) {
    if (model.key == key) return &model;
  }
  return nullptr;
}

}  // namespace

const PrinterModel& FindPrinterModel(std::string_view active_model_name) {
  for (const PrinterModel& model : kPrinterModels) {
    if (Contains(active_model_name, model.key)) return model;
  }
  return kNoModel;
}

ActiveModel ApplyActiveModel(std::string_view active_model_name) {
  const PrinterModel& row = FindPrinterModel(active_model_name);
  ActiveModel active;
  active.usb_identity = std::string(row.usb_identity);
  active.label = row.key.empty() ? std::string(kNoModelLabel) : std::string(row.key);
  active.paper_class = row.paper_class;
  return active;
}

const ModelCapabilities& CapabilitiesOf(std::string_view active_model_name) {
  return FindPrinterModel(active_model_name).capabilities;
}

TonerOrder TonerOrderInForce(std::string_view active_model_name, std::string_view stored_order) {
  if (CapabilitiesOf(active_model_name).white_in_cyan_slot && stored_order == "WF")
    return TonerOrder::kWhiteFirst;
  return TonerOrder::kWhiteLast;
}

std::optional<AttachedPrinter> FindAttachedPrinter(std::string_view active_model_name,
                                                   const std::vector<std::string>& usb_entries) {
  const ActiveModel active = ApplyActiveModel(active_model_name);
  // Only a real model row can be searched for; "nomodel" never occurs in a record.
  if (FindKey(active.label) == nullptr) return std::nullopt;
  for (const std::string& record : usb_entries) {
    if (!Contains(record, "USB")) continue;
    if (!Contains(AsciiLower(record), active.usb_identity)) continue;
    AttachedPrinter printer;
    printer.label = active.label;
    printer.serial = Field(SplitRecord(record), 2);
    return printer;
  }
  return std::nullopt;
}

std::optional<std::string_view> ModelKeyForIdentity(std::string_view usb_identity) {
  const PrinterModel* first = nullptr;
  for (const PrinterModel& model : kPrinterModels) {
    if (model.usb_identity != usb_identity) continue;
    if (Contains(model.attached_name, model.key)) return model.key;
    if (first == nullptr) first = &model;
  }
  if (first == nullptr) return std::nullopt;
  return first->key;
}

std::vector<AttachedPrinter> ListAttachedPrinters(const std::vector<std::string>& usb_entries) {
  std::vector<AttachedPrinter> printers;
  for (const std::string& record : usb_entries) {
    if (!Contains(record, "USB")) continue;
    const std::vector<std::string> fields = SplitRecord(record);
    AttachedPrinter printer;
    printer.label = AsciiLower(Field(fields, 1));
    printer.serial = Field(fields, 2);
    for (const PrinterModel& model : kPrinterModels) {
      if (model.usb_identity == printer.label) {
        printer.display_name = std::string(model.attached_name);
        break;
      }
    }
    if (printer.display_name.empty() && printer.label == kPlainC711Identity)
      printer.display_name = std::string(kPlainC711Name);
    if (printer.display_name.empty()) printer.serial.clear();
    printers.push_back(std::move(printer));
  }
  return printers;
}

std::string ResolveActiveModelName(const SettingsStore& store,
                                   const std::vector<std::string>& usb_entries) {
  const std::string picked = store.ReadSetting(keys::active::kModel);
  if (FindKey(picked) != nullptr) return picked;
  const PrinterModel& from_printer = FindPrinterModel(store.ReadSetting(keys::active::kPrinter));
  if (!from_printer.key.empty()) return std::string(from_printer.key);
  for (const AttachedPrinter& printer : ListAttachedPrinters(usb_entries)) {
    if (std::optional<std::string_view> key = ModelKeyForIdentity(printer.label))
      return std::string(*key);
  }
  return std::string(kDefaultModelName);
}

std::string ResolveActiveModelName(const SettingsStore& store,
                                   const std::filesystem::path& usb_root) {
  return ResolveActiveModelName(store, ReadUsbPrinterEntries(usb_root));
}

bool IsModelKey(std::string_view name) { return FindKey(name) != nullptr; }

bool WriteActiveModel(SettingsStore& store, std::string_view model_key) {
  if (FindKey(model_key) == nullptr) return false;
  return store.WriteSetting(keys::active::kModel, model_key);
}

}  // namespace kelvaro
