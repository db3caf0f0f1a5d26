// Decimal digits of doubles without printf or locales: scaling a magnitude
// by a power of ten with round half to even, the exact digits of an integral
// double, and the shortest decimal digits of any double. Shared by the edit
// masks (mask.h) and the plain numeric fields (text.h).
#ifndef ZOV_FORMAT_DECIMAL_H_
#define ZOV_FORMAT_DECIMAL_H_

#include <cstdint>
#include <string>

namespace zov::format {

// magnitude × 10^decimals, the product formed in extended precision and
// stored as a double, then rounded to an integer half to even (a fraction of
// exactly one half goes to the even neighbour). `magnitude` must be >= 0 and
// finite. Returns +infinity when the scaled value does not fit a double, and
// 0 for a zero magnitude whatever `decimals` is. Negative `decimals` count
// as 0.
double ScaleAndRoundHalfEven(double magnitude, std::int64_t decimals);

// The exact decimal digits of a finite, integral, non-negative double, most
// significant first, without leading zeros; empty for 0.
std::string IntegerDigits(double integral);

// The shortest decimal form that reads back as `magnitude` (finite, >= 0),
// as an integer digit string without leading zeros (empty for 0) and the
// number of those digits that lie after the decimal point. 2.5 gives {"25",
// 1}, 0.1 gives {"1", 1}, 400 gives {"400", 0}.
struct DecimalDigits {
  std::string digits;
  std::int64_t decimals = 0;
};
DecimalDigits ShortestDigits(double magnitude);

}  // namespace zov::format

#endif  // ZOV_FORMAT_DECIMAL_H_
