// Where the formatting library reads the user's display settings from: the
// decimal and thousands separators and the date separator and order, all in
// section "Usuari" of the user settings file (ZOVROOT followed by "Orva.ini").
//
// Contract for implementations:
//   - Read(section, key) returns the raw value of `key` in `section`, as the
//     INI reader gives it; a missing file, section or key is an empty text.
//   - It never fails loudly: errors read as an empty text.
//   - The library asks at most once per key per run (it keeps the answers in
//     FormatState), so an implementation may read the file on every call.
// A FormatState whose `settings` pointer is null behaves as if every answer
// were empty, which selects the built-in defaults.
#ifndef ZOV_FORMAT_SETTINGS_SOURCE_H_
#define ZOV_FORMAT_SETTINGS_SOURCE_H_

#include <string>
#include <string_view>

namespace zov::format {

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  virtual std::string Read(std::string_view section, std::string_view key) = 0;
};

}  // namespace zov::format

#endif  // ZOV_FORMAT_SETTINGS_SOURCE_H_
