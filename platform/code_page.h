// Code page 850, the program's text inside, and the Unicode of the systems
// around it. Text is converted only where it leaves or enters the program:
// names and values at the platform's own edges (file names, environment,
// arguments, standard output and error), cells at the terminal.
//
//   std::string native = platform::Cp850ToUtf8Exact(name);       // for open()
//   std::string name;
//   if (!platform::Utf8ToCp850Exact(entry, &name)) ...;          // not for us
//   std::string shown = platform::Cp850ToUtf8(message);          // for a screen
#ifndef ZOV_PLATFORM_CODE_PAGE_H_
#define ZOV_PLATFORM_CODE_PAGE_H_

#include <array>
#include <string>
#include <string_view>

namespace zov::platform {

// The Unicode character (code point) of a code page 850 byte: bytes below
// 128 are themselves, control bytes included.
char16_t Cp850CodePoint(unsigned char byte);

// The code page 850 byte of a Unicode character; false when the code page
// lacks it.
bool CodePointToCp850(char32_t code_point, char* byte);

// Appends the UTF-8 of a code point.
void AppendUtf8(char32_t code_point, std::string* out);

// Decodes the UTF-8 sequence at the start of `text`: its code point and
// length. False, with *length 1, for a byte that starts no well-formed
// sequence (a continuation byte, a sequence cut short, an overlong form, a
// surrogate, a value beyond U+10FFFF).
bool DecodeUtf8(std::string_view text, char32_t* code_point, std::size_t* length);

// Every byte as its own character, control bytes as themselves: what a name
// or a value is in UTF-8. Never fails: code page 850 has a character for
// every byte.
std::string Cp850ToUtf8Exact(std::string_view cp850);

// The exact inverse: false, leaving *cp850 unspecified, when `utf8` is not
// well-formed UTF-8 or holds a character code page 850 lacks.
[[nodiscard]] bool Utf8ToCp850Exact(std::string_view utf8, std::string* cp850);

// The UTF-8 text shown for each code page 850 byte. Bytes 1-31 and 127 get
// the console glyphs (smileys, arrows, ...) and byte 0 a blank, so that a
// converted text never holds a control character a terminal would obey.
const std::array<std::string, 256>& Cp850Glyphs();

// Converts code page 850 bytes to UTF-8, byte by byte through Cp850Glyphs():
// for a screen, where no byte may act as a control.
std::string Cp850ToUtf8(std::string_view cp850);

// The same with tabs and line ends kept: for lines of text on a terminal,
// where no other byte may act as a control.
std::string Cp850ToUtf8Lines(std::string_view cp850);

// Converts UTF-8 to code page 850 for showing, never fails: a character the
// code page lacks, and any malformed sequence, becomes "?". Bytes below 128
// pass unchanged. Not for names: see Utf8ToCp850Exact.
std::string Utf8ToCp850(std::string_view utf8);

// Why a name or value is refused: "<what> holds characters code page 850
// lacks (shown as ?): <shown>", `shown` being it converted for showing.
std::string NotInCodePage850(std::string_view what, std::string_view shown);

// The length of the UTF-8 sequence that starts with `lead` (1 for ASCII and
// for bytes that cannot start a sequence).
int Utf8SequenceLength(unsigned char lead);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CODE_PAGE_H_
