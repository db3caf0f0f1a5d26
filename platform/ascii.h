// Letter case of the ASCII letters, for names and codes that are ASCII by
// rule (file names matched without regard to case, print-file tags, mask
// letters, device names). Bytes above 127 are data and pass unchanged; the
// suite's case rule for accented code page 850 letters is
// session/cp850_case.h.
//
//   AsciiUpper('e')                          // 'E'
//   EqualsIgnoringAsciiCase("Dozudizi", "DOZUDIZI")  // true
#ifndef ZOV_PLATFORM_ASCII_H_
#define ZOV_PLATFORM_ASCII_H_

#include <string>
#include <string_view>

namespace zov::platform {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ASCII_H_
