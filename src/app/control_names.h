#ifndef KELVARO_APP_CONTROL_NAMES_H_
#define KELVARO_APP_CONTROL_NAMES_H_

#include <string>
#include <string_view>

namespace kelvaro {

// The name screen readers give a control that has no caption of its own: the placement grid's
// option buttons by their position ("Top left"), the picture buttons by what they do, the
// toner-order indicator by the order its `picture` shows. Empty for a control that is named by
// its caption or by its label.
std::string AccessibleControlName(int id, const std::string& picture = {});

// The object name of a dialog or of a dialog's control: the English name it is known by (the
// default text of its caption or of the label that names it) in lower case, each run of other
// characters one "_": "Get Printer Margins" is "get_printer_margins". A control that shares
// its label with another of its row adds what it is ("Height value"). Tests find them by it.
std::string DialogControlName(std::string_view english_name);
// The same for a control known by UiText entry `text` (its default text), with `suffix`
// added for the second control of a label.
std::string DialogControlName(int text, std::string_view suffix = {});

}  // namespace kelvaro

#endif  // KELVARO_APP_CONTROL_NAMES_H_
