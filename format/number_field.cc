#include "format/number_field.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "format/chars.h"
#include "format/decimal.h"
#include "platform/ascii.h"

namespace zov::format {

namespace {

constexpr std::int64_t kMaxPicture = 32767;

struct Picture {
  std::int64_t width = 0;
  std::int64_t decimals = 0;
  bool has_point = false;
  bool implied_point = false;  // V
  bool zero_integer = false;   // Z
  bool plus = false;           // S
  bool n_negative = false;     // N
  bool n_or_blank = false;     // M
};

Picture ParsePicture(std::string_view picture) {
  Picture pic;
  for (const char c : picture) {
    if (IsDigit(c)) {
      std::int64_t& n = pic.has_point ? pic.decimals : pic.width;
      n = std::min(kMaxPicture, n * 10 + (c - '0'));
      continue;
    }
    switch (platform::AsciiUpper(c)) {
      case '.': pic.has_point = true; break;
      case 'V': pic.implied_point = true; break;
      case 'Z': pic.zero_integer = true; break;
      case 'S': pic.plus = true; break;
      case 'N': pic.n_negative = true; break;
      case 'M': pic.n_or_blank = true; break;
      default: break;
    }
  }
  return pic;
}

}  // namespace

std::string NumberField(double value, std::string_view picture) {
  const Picture pic = ParsePicture(picture);
  const bool fixed = pic.width > 0 || pic.has_point;

  std::string digits;
  std::int64_t decimals = 0;
  bool fits = std::isfinite(value);
  if (fits && fixed) {
    const double rounded = ScaleAndRoundHalfEven(std::fabs(value), pic.decimals);
    fits = std::isfinite(rounded);
    if (fits) digits = IntegerDigits(rounded);
    decimals = pic.decimals;
  } else if (fits) {
    DecimalDigits shortest = ShortestDigits(std::fabs(value));
    digits = std::move(shortest.digits);
    decimals = shortest.decimals;
  }
  if (!fits) {
    // As wide as a fixed field would be; one "!" for a free one.
    std::int64_t width = std::max<std::int64_t>(pic.width, 1);
    if (fixed && pic.decimals > 0) {
      width += pic.decimals + (pic.implied_point ? 0 : 1);
    }
    return std::string(static_cast<std::size_t>(width), '!');
  }

  const auto d = static_cast<std::size_t>(decimals);
  if (digits.size() < d) digits.insert(0, d - digits.size(), '0');
  std::string integer = digits.substr(0, digits.size() - d);
  std::string fraction = digits.substr(digits.size() - d);
  if (!pic.implied_point && !fraction.empty()) fraction.insert(0, 1, '.');
  if (pic.zero_integer && integer.empty()) integer.assign(1, '0');
  if (pic.width > 0) {
    const auto w = static_cast<std::size_t>(pic.width);
    if (integer.size() >= w) {
      integer.erase(0, integer.size() - w);
    } else {
      integer.insert(0, w - integer.size(), '0');
    }
  }

  char sign = '\0';
  if (pic.plus && value >= 0) {
    sign = '+';
  } else if (pic.n_negative && value < 0) {
    sign = 'N';
  } else if (pic.n_or_blank) {
    sign = value < 0 ? 'N' : ' ';
  } else if (value < 0) {
    sign = '-';
  }
  if (sign != '\0') {
    if (pic.width > 0) {
      integer[0] = sign;
    } else {
      integer.insert(0, 1, sign);
    }
  }
  return integer + fraction;
}

std::string NumberText(double value) { return NumberField(value, ""); }

std::string HundredthsText(std::int64_t hundredths, std::size_t whole_width) {
  // The magnitude as unsigned, so even the most negative value has one.
  const std::uint64_t magnitude = hundredths < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(hundredths)
                                                 : static_cast<std::uint64_t>(hundredths);
  char digits[24];
  const auto converted = std::to_chars(digits, digits + sizeof digits, magnitude / 100);
  std::string whole(digits, converted.ptr);
  if (hundredths < 0) whole.insert(0, 1, '-');
  std::string out;
  if (whole.size() < whole_width) out.assign(whole_width - whole.size(), ' ');
  out += whole;
  out += ',';
  const auto cents = static_cast<char>(magnitude % 100);
  out += static_cast<char>('0' + cents / 10);
  out += static_cast<char>('0' + cents % 10);
  return out;
}

}  // namespace zov::format
