// Dotted codes and packed keys: the owner, group and property codes that
// users type as groups of digits separated by "." ("43", "43.12",
// "123456.7890") and the packed keys (packed.h) under which records are
// filed, four digits per group (six for a first group typed alone).
//
//   CodeToKey("43.12")            -> PackDigits("00430012")
//   KeyToCode(PackDigits("00430012")) -> "43.12"
#ifndef ZOV_FORMAT_CODES_H_
#define ZOV_FORMAT_CODES_H_

#include <string>
#include <string_view>

namespace zov::format {

// Each group's number (leading blanks skipped, then its leading digits; no
// digits reads as 0) is zero-padded to its width, keeping the rightmost
// digits of a longer one. The first group is six wide when the code is six
// characters without ".", or eleven characters with fewer than two ".";
// every other group is four wide. A blank or empty tail after the last "."
// adds no group; an empty or blank code gives an empty key.
std::string CodeToKey(std::string_view code);

// The dotted code of a packed key: its digits cut from the right into
// groups of four (a leftover pair joins the leftmost group, which is then
// six wide), each shown without leading zeros; trailing zero groups are
// left out. A one-byte key keeps its two digits. A key that reads as zero
// (leftmost group 0 with no second group, or with a second group 0 too)
// gives an empty text.
std::string KeyToCode(std::string_view key);

}  // namespace zov::format

#endif  // ZOV_FORMAT_CODES_H_
