// The system's own converter of code page 850, behind the glyph table of
// code_page.h: iconv on POSIX (code_page_iconv.cc), the Win32 code-page
// functions on Windows (win32/code_page_win32.cc).
#ifndef ZOV_PLATFORM_CODE_PAGE_SYSTEM_H_
#define ZOV_PLATFORM_CODE_PAGE_SYSTEM_H_

#include <array>
#include <string>

namespace zov::platform {

// Sets (*glyphs)[b], for each byte b from 128 to 255 the system can
// convert, to that character's UTF-8; leaves the others as they are.
void AddUpperCp850Glyphs(std::array<std::string, 256>* glyphs);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CODE_PAGE_SYSTEM_H_
