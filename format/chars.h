// Character rules for code page 850 text: digits and blanks (letter case of
// the ASCII letters is platform/ascii.h). Bytes above 127 are data and pass
// through unchanged.
#ifndef ZOV_FORMAT_CHARS_H_
#define ZOV_FORMAT_CHARS_H_

#include <string>
#include <string_view>

namespace zov::format {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Removes leading and trailing blanks (the space character only).
inline std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

inline std::string_view TrimTrailingBlanks(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{}
                                        : text.substr(0, last + 1);
}

}  // namespace zov::format

#endif  // ZOV_FORMAT_CHARS_H_
