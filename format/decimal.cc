#include "format/decimal.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace zov::format {

namespace {

// Room for the longest fixed-notation double: 309 integer digits for the
// largest, or "0." and 326 digits after the point for the smallest.
constexpr int kDigitBufferSize = 400;

std::string StripLeadingZeros(std::string digits) {
  const auto first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

}  // namespace

double ScaleAndRoundHalfEven(double magnitude, std::int64_t decimals) {
  if (magnitude == 0) return 0;
  // The power of ten and the product are formed in long double (80-bit on
  // x86-64, 64-bit mantissa), so 10^decimals is exact up to 10^27 and the
  // product is rounded once to extended and once more when stored as a
  // double, which is what lets 1234.56 scale to exactly 123456. A target
  // whose long double is no wider than double rounds the product only once,
  // straight to double; results can then differ in the rare case where the
  // exact product lies within an extended-precision step of a half-way point.
  long double power = 1.0L;
  for (std::int64_t i = 0; i < decimals && std::isfinite(power); ++i) {
    power *= 10.0L;
  }
  const double scaled = static_cast<double>(
      static_cast<long double>(magnitude) * power);
  if (!std::isfinite(scaled)) return HUGE_VAL;
  const double whole = std::trunc(scaled);
  const double fraction = scaled - whole;  // exact for doubles
  const bool odd = std::fmod(whole, 2.0) != 0;
  if (fraction > 0.5 || (fraction == 0.5 && odd)) return whole + 1;
  return whole;
}

std::string IntegerDigits(double integral) {
  char buffer[kDigitBufferSize];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, integral,
                                    std::chars_format::fixed, 0);
  if (result.ec != std::errc()) return std::string();
  return StripLeadingZeros(std::string(buffer, result.ptr));
}

DecimalDigits ShortestDigits(double magnitude) {
  char buffer[kDigitBufferSize];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::fixed);
  DecimalDigits out;
  if (result.ec != std::errc()) return out;
  const std::string text(buffer, result.ptr);
  const auto point = text.find('.');
  std::string joined = text;
  if (point != std::string::npos) {
    joined.erase(point, 1);
    out.decimals = static_cast<std::int64_t>(text.size() - point - 1);
  }
  out.digits = StripLeadingZeros(joined);
  if (out.digits.empty()) out.decimals = 0;
  return out;
}

}  // namespace zov::format
