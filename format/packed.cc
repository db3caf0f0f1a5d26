#include "format/packed.h"

#include "format/chars.h"

namespace zov::format {

std::string PackDigits(std::string_view digits) {
  const std::size_t n = digits.size();
  const std::string_view trimmed = TrimBlanks(digits);
  std::string aligned(n - trimmed.size(), '0');
  aligned.append(trimmed);
  std::string packed((n + 1) / 2, '\0');
  auto value_at = [&aligned](std::size_t i) {
    return (i < aligned.size() && IsDigit(aligned[i])) ? aligned[i] - '0' : 0;
  };
  for (std::size_t i = 0; i < packed.size(); ++i) {
    packed[i] =
        static_cast<char>(128 + 10 * value_at(2 * i) + value_at(2 * i + 1));
  }
  return packed;
}

std::string UnpackDigits(std::string_view packed) {
  std::string digits;
  digits.reserve(packed.size() * 2);
  for (const char byte : packed) {
    const int pair = (static_cast<unsigned char>(byte) & 0x7F) % 100;
    digits += static_cast<char>('0' + pair / 10);
    digits += static_cast<char>('0' + pair % 10);
  }
  return digits;
}

std::string ZeroPad(std::int64_t value, std::int16_t width) {
  if (width <= 0) return std::string();
  // The magnitude in unsigned arithmetic, so the most negative value works.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  const auto w = static_cast<std::size_t>(width);
  if (digits.size() >= w) return digits.substr(digits.size() - w);
  return std::string(w - digits.size(), '0') + digits;
}

}  // namespace zov::format
