#include "session/leading_number.h"

namespace zov::session {

int64_t LeadingWhole(std::string_view text, Rounding rounding) {
  constexpr int64_t kLimit = 999999999999;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t whole = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = whole * 10 + (text[i] - '0');
    if (whole > kLimit) whole = kLimit;
  }
  if (rounding == Rounding::kNearest && i + 1 < text.size() && text[i] == '.' && text[i + 1] >= '5' &&
      text[i + 1] <= '9' && whole < kLimit) {
    ++whole;
  }
  return negative ? -whole : whole;
}

}  // namespace zov::session
