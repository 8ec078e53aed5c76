#ifndef KELVARO_APP_CONTROL_NAMES_H_
#define KELVARO_APP_CONTROL_NAMES_H_

#include <string>

namespace kelvaro {

// The name screen readers give a control that has no caption of its own: the placement grid's
// option buttons by their position ("Top left"), the picture buttons by what they do, the
// toner-order indicator by the order its `picture` shows. Empty for a control that is named by
// its caption or by its label.
std::string AccessibleControlName(int id, const std::string& picture = {});

}  // namespace kelvaro

#endif  // KELVARO_APP_CONTROL_NAMES_H_
