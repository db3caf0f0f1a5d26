// Reading a one-character separator from the user's settings (DecCaracter,
// MilCaracter, DatCaracter): the value's first character, or the default when
// it cannot serve as a separator.
//
//   state.decimal_char = UsableSeparator(state, "DecCaracter", value, '\'');
#ifndef ZOV_FORMAT_SEPARATOR_SETTING_H_
#define ZOV_FORMAT_SEPARATOR_SETTING_H_

#include <string>
#include <string_view>

#include "format/chars.h"
#include "format/format_state.h"

namespace zov::format {

// A setting's value as a warning line may show it: control bytes as "?".
inline std::string ShownSettingValue(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) c = '?';
  }
  return out;
}

// An empty value, a blank or NUL first character (NUL would read as "not
// loaded") gives `fallback` silently. A digit or a control byte would read as
// part of the number or break the line ("DecCaracter=9" printed 1.286,25 as
// 19286925): it gives `fallback` too, and a line in state.warnings says so.
inline char UsableSeparator(FormatState& state, std::string_view key, std::string_view value, char fallback) {
  const char c = value.empty() ? ' ' : value[0];
  if (c == ' ' || c == '\0') return fallback;
  const auto byte = static_cast<unsigned char>(c);
  if (IsDigit(c) || byte < 32 || byte == 127) {
    state.warnings.push_back(std::string(key) + "=" + ShownSettingValue(value) +
                             " cannot separate the parts of a number or date: \"" + fallback + "\" used");
    return fallback;
  }
  return c;
}

}  // namespace zov::format

#endif  // ZOV_FORMAT_SEPARATOR_SETTING_H_
