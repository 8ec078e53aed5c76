#ifndef KELVARO_SETTINGS_UI_TEXT_H_
#define KELVARO_SETTINGS_UI_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

// The numbered table of user-interface texts. Captions, menu entries, status lines and
// messages are referred to by entry number. Texts are UTF-8; line breaks are CR LF.
class UiText {
 public:
  // The last entry of the built-in table; a language file may declare more.
  static constexpr int kLastDefaultEntry = 312;

  // A table of entries 0..kLastDefaultEntry, all empty.
  UiText();

  // The text of entry `number`; "" for entries outside the table.
  const std::string& Get(int number) const;
  const std::string& operator[](int number) const { return Get(number); }

  // Replaces entry `number`; returns false (and changes nothing) outside the table.
  bool Set(int number, std::string text);

  // Makes the table anew with entries 0..last_entry (at least kLastDefaultEntry), all empty.
  void Reset(int last_entry);

  // The number of the table's last entry.
  int last_entry() const { return static_cast<int>(entries_.size()) - 1; }

  // Turns every backslash-n into CR LF, except where it starts the backslash-num placeholder.
  void ConvertLineBreaks();

  // Entry 0 is the window title whatever a language file says.
  void ForceTitle();

 private:
  std::vector<std::string> entries_;
};

// The window title, entry 0 after every load.
inline constexpr char kUiTitle[] = "Kelvaro Pro";

// Replaces the whole table with the built-in English texts (entries 0..312, line breaks
// converted). Entries without a built-in text are empty.
void LoadDefaultTexts(UiText& texts);

// The built-in English text of entry `number` as written in the table, before line-break
// conversion; "" for entries without one.
std::string_view DefaultText(int number);

// `text` with every backslash-n turned into CR LF, keeping backslash-num.
std::string ConvertBackslashN(std::string_view text);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_UI_TEXT_H_
