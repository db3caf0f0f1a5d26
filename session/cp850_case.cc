#include "session/cp850_case.h"

#include <array>

namespace zov::session {
namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 'a' + 'A');
  table[0x84] = 0x8E;  // a-umlaut
  table[0x94] = 0x99;  // o-umlaut
  table[0x81] = 0x9A;  // u-umlaut
  table[0x82] = 0x90;  // e-acute
  table[0xA4] = 0xA5;  // n-tilde
  table[0x86] = 0x8F;  // a-ring
  table[0x87] = 0x80;  // c-cedilla
  return table;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

}  // namespace

char UpperCp850(char c) { return static_cast<char>(kUpper[static_cast<unsigned char>(c)]); }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCp850(a[i]) != UpperCp850(b[i])) return false;
  }
  return true;
}

}  // namespace zov::session
