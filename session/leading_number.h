// The number at the start of a text, as the suite reads numbers typed into
// its settings: leading blanks skipped, an optional sign, digits, an optional
// "." and fraction digits; reading stops at the first character that cannot
// continue the number. A text without digits reads as 0.
//
//   LeadingWhole(" 2.6x", Rounding::kNearest)     // 3
//   LeadingWhole("-10.7", Rounding::kTowardZero)  // -10
#ifndef ZOV_SESSION_LEADING_NUMBER_H_
#define ZOV_SESSION_LEADING_NUMBER_H_

#include <cstdint>
#include <string_view>

namespace zov::session {

enum class Rounding {
  kTowardZero,  // the fraction is dropped
  kNearest,     // halves go away from zero
};

// The whole number, limited to +-999999999999 (larger texts saturate).
int64_t LeadingWhole(std::string_view text, Rounding rounding);

}  // namespace zov::session

#endif  // ZOV_SESSION_LEADING_NUMBER_H_
