// The edge between the program's text and the Win32 wide API: names are
// code page 850 bytes inside, UTF-16 for the system, and UTF-8 where SQLite
// takes a file name. Every failed Win32 call becomes a Status here.
//
//   std::wstring path = Cp850ToWide(name);
//   if (!::DeleteFileW(path.c_str())) return Win32Error("DeleteFileW", name, ::GetLastError());
#ifndef ZOV_PLATFORM_WIN32_WIDE_H_
#define ZOV_PLATFORM_WIN32_WIDE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace zov::platform {

// Code page 850 bytes to UTF-16, every byte its own character (code_page.h).
std::wstring Cp850ToWide(std::string_view cp850);
// The exact inverse: false when `wide` holds a character code page 850
// lacks (or half a surrogate pair). For names and values.
[[nodiscard]] bool WideToCp850Exact(std::wstring_view wide, std::string* cp850);
// For showing (the system's messages): a character the code page lacks
// becomes "?".
std::string WideToCp850(std::wstring_view wide);

// UTF-16 to UTF-8 and back.
std::string WideToUtf8(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);

// The Status of a failed call: the code from the Win32 error number, the
// message naming the call, the path and the system's text for the error.
Status Win32Error(const char* call, std::string_view path, uint32_t error);

// The status code a Win32 error number stands for.
Status::Code CodeOfWin32Error(uint32_t error);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_WIN32_WIDE_H_
