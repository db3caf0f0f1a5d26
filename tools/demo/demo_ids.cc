#include "tools/demo/demo_ids.h"

#include <string>

#include "format/packed.h"

namespace zov::tools::demo {

uint64_t DemoRandom::Next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint32_t DemoRandom::Below(uint32_t n) {
  if (n == 0) return 0;
  // Multiply-shift: uniform enough for test data and free of modulo bias
  // for the small ranges used here.
  return static_cast<uint32_t>(((Next() >> 32) * n) >> 32);
}

int32_t DemoRandom::Between(int32_t low, int32_t high) {
  if (high <= low) return low;
  const auto span = static_cast<uint32_t>(static_cast<int64_t>(high) - low + 1);
  return static_cast<int32_t>(low + static_cast<int64_t>(Below(span)));
}

bool DemoRandom::Percent(int percent) {
  return static_cast<int>(Below(100)) < percent;
}

DemoRandom DemoRandom::Fork(uint64_t salt) const {
  DemoRandom mixer(state_ ^ (salt * 0xD6E8FEB86659FD93ULL));
  return DemoRandom(mixer.Next());
}

std::string Dni(uint32_t number) {
  number %= 100000000;
  return format::ZeroPad(number, 8) + DniLetter(number);
}

std::string Nie(int prefix, uint32_t number) {
  prefix = prefix < 0 ? 0 : prefix % 3;
  number %= 10000000;
  const uint32_t whole = static_cast<uint32_t>(prefix) * 10000000 + number;
  return std::string(1, "XYZ"[prefix]) + format::ZeroPad(number, 7) + DniLetter(whole);
}

std::string Cif(char kind, uint32_t number) {
  const std::string digits = format::ZeroPad(number % 10000000, 7);
  return std::string(1, kind) + digits + CifControl(kind, digits);
}

}  // namespace zov::tools::demo
