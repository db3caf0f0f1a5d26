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

namespace {

constexpr std::string_view kDniLetters = "TRWAGMYFPDXBNJZSQVHLCKE";
constexpr std::string_view kCifLetters = "JABCDEFGHI";
constexpr std::string_view kCadastralLetters = "MQWERTYUIOPASDFGHJKLBZX";
// The order in which letters count in a cadastral reference (A is 1, the
// Spanish alphabet's N-tilde has its own place after N).
constexpr std::string_view kCadastralAlphabet = "ABCDEFGHIJKLMN\xA5OPQRSTUVWXYZ";  // ...N, Ñ, O...

bool CifNeedsLetter(char kind) {
  constexpr std::string_view kLetterKinds = "NPQRSWKLM";
  return kLetterKinds.find(kind) != std::string_view::npos;
}

char CadastralLetter(std::string_view eleven) {
  static constexpr int kWeights[11] = {13, 15, 12, 5, 4, 17, 9, 21, 3, 7, 1};
  int sum = 0;
  for (std::size_t i = 0; i < 11 && i < eleven.size(); ++i) {
    const char c = eleven[i];
    int value = 0;
    if (c >= '0' && c <= '9') {
      value = c - '0';
    } else {
      const std::size_t at = kCadastralAlphabet.find(c);
      value = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    }
    sum += kWeights[i] * value;
  }
  return kCadastralLetters[static_cast<std::size_t>(sum % 23)];
}

}  // namespace

char DniLetter(uint32_t number) { return kDniLetters[number % 23]; }

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

char CifControl(char kind, std::string_view digits) {
  int sum = 0;
  for (std::size_t i = 0; i < digits.size() && i < 7; ++i) {
    const int d = digits[i] - '0';
    if (i % 2 == 0) {  // first, third, fifth and seventh digit: doubled
      const int twice = 2 * d;
      sum += twice / 10 + twice % 10;
    } else {
      sum += d;
    }
  }
  const int control = (10 - sum % 10) % 10;
  if (CifNeedsLetter(kind)) return kCifLetters[static_cast<std::size_t>(control)];
  return static_cast<char>('0' + control);
}

std::string Cif(char kind, uint32_t number) {
  const std::string digits = format::ZeroPad(number % 10000000, 7);
  return std::string(1, kind) + digits + CifControl(kind, digits);
}

std::string CadastralControl(std::string_view first18) {
  if (first18.size() < 18) return "  ";
  const std::string unit(first18.substr(14, 4));
  std::string out;
  out += CadastralLetter(std::string(first18.substr(0, 7)) + unit);
  out += CadastralLetter(std::string(first18.substr(7, 7)) + unit);
  return out;
}

}  // namespace zov::tools::demo
