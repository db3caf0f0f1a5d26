// What the Win32 implementations of the platform services (win32_env.cc,
// behind native_env.h) show of themselves for their tests.
#ifndef ZOV_PLATFORM_WIN32_WIN32_ENV_H_
#define ZOV_PLATFORM_WIN32_WIN32_ENV_H_

#include <string>
#include <vector>

namespace zov::platform {

// The Windows command line of a program and its arguments: each one that
// holds a blank, a tab, a double quote or a character the command
// interpreter treats specially is quoted so that the program's C runtime
// (and the command interpreter's /C) gives it back unchanged.
std::string QuoteCommandLine(const std::string& program, const std::vector<std::string>& args);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_WIN32_WIN32_ENV_H_
