// Letter case of code page 850 text as the suite's settings files compare
// names: the ASCII letters and the accented small letters that have a
// capital in the suite's case table (a-, o-, u-umlaut, e-acute, n-tilde,
// a-ring, c-cedilla). Other accented letters compare as distinct bytes, as
// every other program of the suite compares them.
//
//   EqualsIgnoringCase("Idioma", "IDIOMA")        // true
//   EqualsIgnoringCase("\x87" "a", "\x80" "A")    // "ça" and "ÇA": true
#ifndef ZOV_SESSION_CP850_CASE_H_
#define ZOV_SESSION_CP850_CASE_H_

#include <string_view>

namespace zov::session {

// The capital of c when it has one in the table above, else c.
char UpperCp850(char c);

// Byte-for-byte equality after UpperCp850 of both sides.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace zov::session

#endif  // ZOV_SESSION_CP850_CASE_H_
