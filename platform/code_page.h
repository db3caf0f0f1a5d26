// Conversion between the program's code page 850 bytes and the UTF-8 of the
// terminal. Only the terminal edge uses it: inside, text stays code page 850.
//
//   std::string line = platform::Cp850ToUtf8(message);  // for stderr
#ifndef ZOV_PLATFORM_CODE_PAGE_H_
#define ZOV_PLATFORM_CODE_PAGE_H_

#include <array>
#include <string>
#include <string_view>

namespace zov::platform {

// The UTF-8 text shown for each code page 850 byte. Bytes 1-31 and 127 get
// the console glyphs (smileys, arrows, ...) and byte 0 a blank, so that a
// converted text never holds a control character a terminal would obey.
// Built once through the system's converter of code page 850; without it
// the bytes above 127 show as "?".
const std::array<std::string, 256>& Cp850Glyphs();

// Converts code page 850 bytes to UTF-8, byte by byte through Cp850Glyphs().
std::string Cp850ToUtf8(std::string_view cp850);

// Converts UTF-8 to code page 850. A character the code page lacks, and any
// malformed sequence, becomes "?". Bytes below 128 pass unchanged.
std::string Utf8ToCp850(std::string_view utf8);

// The length of the UTF-8 sequence that starts with `lead` (1 for ASCII and
// for bytes that cannot start a sequence).
int Utf8SequenceLength(unsigned char lead);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CODE_PAGE_H_
