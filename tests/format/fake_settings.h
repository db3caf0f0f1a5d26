// A settings source answering from a map of keys of section "Usuari", and
// counting how often it is asked.
#ifndef ZOV_TESTS_FORMAT_FAKE_SETTINGS_H_
#define ZOV_TESTS_FORMAT_FAKE_SETTINGS_H_

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "format/settings_source.h"

namespace zov::format {

class FakeSettings : public SettingsSource {
 public:
  FakeSettings() = default;
  FakeSettings(std::initializer_list<std::pair<const std::string, std::string>> v)
      : values(v) {}

  std::string Read(std::string_view section, std::string_view key) override {
    ++reads;
    if (section != "Usuari") return std::string();
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }

  std::map<std::string, std::string, std::less<>> values;
  int reads = 0;
};

}  // namespace zov::format

#endif  // ZOV_TESTS_FORMAT_FAKE_SETTINGS_H_
