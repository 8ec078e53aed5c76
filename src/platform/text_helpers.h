#ifndef KELVARO_PLATFORM_TEXT_HELPERS_H_
#define KELVARO_PLATFORM_TEXT_HELPERS_H_

// The small text helpers every layer uses: trimming and ASCII case.

#include <string>
#include <string_view>

namespace kelvaro {

// What a reader strips from the ends of a text. The sets differ on purpose: files written by
// earlier installations rely on each reader's own set (a paper name with a tab kept in the
// job, a stored number with a tab around it), so one is never swapped for another.
inline constexpr std::string_view kSpaces = " ";    // paper names in the job, the statistics mode
inline constexpr std::string_view kBlanks = " \t";  // stored numbers, recent files, records
inline constexpr std::string_view kBlanksAndLineBreaks = " \t\r\n";  // paper names, toner order
// The settings file's rules: every blank but the line feed, which never reaches a line.
inline constexpr std::string_view kIniBlanks = " \t\r\v\f";

// `text` without the characters of `chars` at its start, its end, or both.
inline std::string_view TrimStart(std::string_view text, std::string_view chars) {
  const std::size_t first = text.find_first_not_of(chars);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}
inline std::string_view TrimEnd(std::string_view text, std::string_view chars) {
  const std::size_t last = text.find_last_not_of(chars);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}
inline std::string_view Trim(std::string_view text, std::string_view chars) {
  return TrimEnd(TrimStart(text, chars), chars);
}

// A-Z to a-z (and back); every other byte as it is, in any locale, so that UTF-8 names keep
// their bytes.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}
inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}
// True when `a` and `b` are the same but for the case of A-Z.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_TEXT_HELPERS_H_
