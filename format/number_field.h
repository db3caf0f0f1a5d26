// Plain numeric fields for data that is not printed through an edit mask:
// a picture "W.P" with option letters gives width, decimals and sign style.
//
//   NumberField(-12.5, "8.2")  -> "-0000012.50"
//   NumberField(12.5, "8.2SV") -> "+000001250"
//   NumberText(2.5)            -> "2.5"
//   HundredthsText(-1205)      -> "-12,05"
#ifndef ZOV_FORMAT_NUMBER_FIELD_H_
#define ZOV_FORMAT_NUMBER_FIELD_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zov::format {

// picture: digits before the first "." give the width W, digits after it the
// decimals P (each at most 32767); letters, in either case, are options:
//   V  no "." before the decimals (implied point)
//   Z  "0" for an empty integer part
//   S  "+" for a value >= 0;  N  "N" for a negative value;
//   M  "N" for a negative value, a blank otherwise; else "-" when negative.
// With W or a "." the value is rounded half to even to P decimals and the
// integer part is zero-padded (or cut on the left) to W, the sign taking its
// first place. Without either, the value's shortest exact decimals are shown
// and the sign goes in front. The decimal point is always ".". NaN and
// infinite values give a text of "!" as wide as the field would be.
std::string NumberField(double value, std::string_view picture);

// NumberField with an empty picture: 2.5 -> "2.5", 0.1 -> ".1", -2 -> "-2",
// 0 -> "".
std::string NumberText(double value);

// An amount or rate in hundredths with "," before its two decimals: the
// whole units (truncated toward zero, "-" in front when negative)
// right-aligned in `whole_width` with blanks, ",", the two digits of the
// remaining hundredths. Never cut: a wider number makes a longer text.
//   HundredthsText(123456, 12) -> "        1234,56"   HundredthsText(5) -> "0,05"
std::string HundredthsText(std::int64_t hundredths, std::size_t whole_width = 0);

}  // namespace zov::format

#endif  // ZOV_FORMAT_NUMBER_FIELD_H_
