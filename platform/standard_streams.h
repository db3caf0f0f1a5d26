// The program's standard output and standard error, where code page 850
// text leaves the program for a person or a log, and what they are
// connected to (the tools draw progress only where a person watches).
//
//   platform::WriteStandardText(platform::StandardStream::kError, "dazorov1: ...\n");
#ifndef ZOV_PLATFORM_STANDARD_STREAMS_H_
#define ZOV_PLATFORM_STANDARD_STREAMS_H_

#include <string_view>

namespace zov::platform {

enum class StandardStream { kOutput, kError };

// Writes code page 850 text at once, converted for what the stream is
// connected to. POSIX: UTF-8 (Cp850ToUtf8Lines), whatever it is (terminal,
// file or pipe). Windows: to a console, the same characters through the
// console's wide API, so they show right whatever the console's code page;
// redirected (a file, a pipe), the code page 850 bytes unchanged, as the
// suite's files hold them. Each call is one write, so that lines from two
// threads never mix. False when the stream could not take it all.
bool WriteStandardText(StandardStream stream, std::string_view cp850);

// Whether the stream is an interactive terminal (a console on Windows).
bool StandardStreamIsTerminal(StandardStream stream);
inline bool StandardErrorIsTerminal() { return StandardStreamIsTerminal(StandardStream::kError); }

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_STANDARD_STREAMS_H_
