// Helpers shared by the fuzz targets: cutting one fuzzer input into the
// several values a parser takes, and the user's display settings read from
// an INI text held in memory (the production source reads Orva.ini).
//
//   FuzzInput in(data, size);
//   uint8_t style = in.Byte();           // 0 once the input is used up
//   std::string_view text = in.Piece();  // up to the next NUL byte
//   std::string_view rest = in.Rest();   // everything left, NULs included
//
// Seed files follow the same shape: the fixed bytes first, then the pieces
// separated by NUL bytes, the last one running to the end.
#ifndef ZOV_FUZZ_FUZZ_INPUT_H_
#define ZOV_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format/settings_source.h"
#include "session/ini_file.h"

namespace zov::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  uint8_t Byte() {
    if (rest_.empty()) return 0;
    auto b = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  std::string_view Piece() {
    std::size_t end = rest_.find('\0');
    std::string_view piece = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return piece;
  }

  bool AtEnd() const { return rest_.empty(); }

  std::string_view Rest() {
    std::string_view all = rest_;
    rest_ = {};
    return all;
  }

 private:
  std::string_view rest_;
};

// Answers every setting from INI file contents in memory, by the INI
// reader's rules.
class InMemorySettings : public format::SettingsSource {
 public:
  explicit InMemorySettings(std::string_view ini) : ini_(ini) {}
  std::string Read(std::string_view section, std::string_view key) override {
    return session::FindIniValue(ini_, section, key);
  }

 private:
  std::string_view ini_;
};

// A broken property of a parser's output: abort, so that libFuzzer keeps the
// input that shows it.
inline void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace zov::fuzz

#endif  // ZOV_FUZZ_FUZZ_INPUT_H_
