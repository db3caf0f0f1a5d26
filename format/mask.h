// Numeric edit masks: turning a number into a text exactly as wide as a mask
// such as "Z9.99" or "ZZ,ZZZ,ZZ9.99-", and money amounts in hundredths into
// the display currency through an integer-layout pattern.
//
//   FormatMask(state, "Z9.99", 4)                  -> " 4'00"
//   FormatAmount(state, "Z,ZZZ,ZZZ,ZZ9-", -123456) -> "     1.234'56-"
//
// Mask characters: "9" digit; "Z"/"z" digit, blank when suppressed (also
// trailing zero decimals); "*" digit, "*" when suppressed; "." the decimal
// separator; "," the thousands separator; "-" minus or blank; "+" minus or
// plus. Anything else is copied unchanged.
//
// A number that does not fit is written as plain digits right-aligned in the
// mask width with its decimals cut from the right; when even its integer
// digits and minus do not fit, the whole text is "!" repeated. NaN and
// infinite values never fit: they give the "!" text too.
//
// The separators are loaded from the settings source on the first call of
// the run (DecCaracter, default "'"; MilCaracter, default ".").
#ifndef ZOV_FORMAT_MASK_H_
#define ZOV_FORMAT_MASK_H_

#include <string>
#include <string_view>

#include "format/format_state.h"

namespace zov::format {

// Returns a text of exactly mask.size() bytes; empty for an empty mask.
std::string FormatMask(FormatState& state, std::string_view mask, double value);

// `amount` is in hundredths of the accounting currency (an integer passed as
// a double; sums up to 2^53 are exact). The pattern only gives the integer
// layout, the fill ("*" or "Z"), grouping (",") and sign position; the
// decimals follow from the display currency: two for euros, none for
// pesetas (display currency "P", converted at 166.386). Returns a text of
// exactly pattern.size() bytes.
std::string FormatAmount(FormatState& state, std::string_view pattern,
                         double amount);

// Chooses the currencies. "a,X": accounting and display currency become X;
// "<other>,X": the alternate currency becomes X; "p" or "P": display the
// alternate currency, or the accounting one when no alternate is set;
// anything else (including ""): display the accounting currency.
void SetCurrency(FormatState& state, std::string_view choice);

}  // namespace zov::format

#endif  // ZOV_FORMAT_MASK_H_
