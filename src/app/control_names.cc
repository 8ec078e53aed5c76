#include "app/control_names.h"

#include <array>
#include <cctype>

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "settings/ui_text.h"

namespace kelvaro {
namespace {

namespace c = control;

struct ControlName {
  int id;
  const char* name;
};

// The preview tools are named after their pictures, "#122" to "#138".
constexpr std::array<ControlName, 30> kNames = {{
    {c::kPlacementTopLeft, "Top left"},
    {c::kPlacementTopCentre, "Top centre"},
    {c::kPlacementTopRight, "Top right"},
    {c::kPlacementMiddleLeft, "Middle left"},
    {c::kPlacementCentre, "Centre"},
    {c::kPlacementMiddleRight, "Middle right"},
    {c::kPlacementBottomLeft, "Bottom left"},
    {c::kPlacementBottomCentre, "Bottom centre"},
    {c::kPlacementBottomRight, "Bottom right"},
    {c::kLeftHand, "Left hand"},
    {c::kRightHand, "Right hand"},
    {c::kBrightnessReset, "Reset brightness"},
    {c::kContrastReset, "Reset contrast"},
    {c::kFirstPreviewTool, "Preview the whole page"},
    {c::kFirstPreviewTool + 1, "Preview zoom in"},
    {c::kFirstPreviewTool + 2, "Preview zoom out"},
    {c::kFirstPreviewTool + 3, "Preview move"},
    {c::kFirstPreviewTool + 4, "Preview grid"},
    {c::kFirstPreviewTool + 5, "Preview fine grid"},
    {c::kFirstPreviewTool + 6, "Preview outline"},
    {c::kFirstPreviewTool + 7, "Preview centre mark"},
    {c::kFirstPreviewTool + 8, "Preview lines"},
    {c::kFirstPreviewTool + 9, "Preview to the top"},
    {c::kFirstPreviewTool + 10, "Preview to the bottom"},
    {c::kFirstPreviewTool + 11, "Preview turned"},
    {c::kFirstPreviewTool + 12, "Preview mirrored"},
    {c::kFirstPreviewTool + 13, "Preview frame"},
    {c::kFirstPreviewTool + 14, "Preview on a checkerboard"},
    {c::kFirstPreviewTool + 15, "Preview colours"},
    {c::kPreviewToolPaper, "Preview the paper layout"},
}};
static_assert(c::kLastPreviewTool == c::kFirstPreviewTool + 15);

}  // namespace

std::string AccessibleControlName(int id, const std::string& picture) {
  if (id == c::kTonerOrderIndicator) {
    return picture == kWhiteFirstIndicator ? "Toner order: white first" : "Toner order: white last";
  }
  for (const ControlName& row : kNames) {
    if (row.id == id) return row.name;
  }
  return {};
}

std::string DialogControlName(std::string_view english_name) {
  std::string name;
  bool gap = false;
  for (char ch : english_name) {
    const auto byte = static_cast<unsigned char>(ch);
    if (!std::isalnum(byte)) {
      gap = !name.empty();
      continue;
    }
    if (gap) name += '_';
    gap = false;
    name += static_cast<char>(std::tolower(byte));
  }
  return name;
}

std::string DialogControlName(int text, std::string_view suffix) {
  std::string english(DefaultText(text));
  if (!suffix.empty()) english.append(" ").append(suffix);
  return DialogControlName(english);
}

}  // namespace kelvaro
