// How a value becomes the characters of a field of the return's file, at
// the file's edge: text in the design's characters and the file's encoding
// (ISO-8859-1), numbers right-aligned in their digits.
//
//   int blanked = 0;
//   std::string name = DesignText("PUIG I FERRER*JOAN", &blanked);   // "PUIG I FERRER JOAN", 1
//   std::string digits;
//   FieldNumber(field, -1000, &digits);                              // "N0000000000001000"
#ifndef ZOV_BOOKS_VAT_RETURN_DESIGN_TEXT_H_
#define ZOV_BOOKS_VAT_RETURN_DESIGN_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "books/vat_return/design.h"

namespace zov::books::vat {

// Code page 850 text as the design admits it, in ISO-8859-1: letters in
// upper case, accented vowels as their plain capital, N-tilde and
// C-cedilla kept (0xD1, 0xC7), digits and blanks; every other character
// becomes a blank and is counted in *blanked.
std::string DesignText(std::string_view cp850, int* blanked);

// The number as the field's type writes it, exactly field.length
// characters: Num zero-padded digits, N the same with "N" in the first
// place when negative. False (and *out unchanged) when the value does not
// fit, or is negative in a Num field.
bool FieldNumber(const Field& field, int64_t value, std::string* out);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_DESIGN_TEXT_H_
