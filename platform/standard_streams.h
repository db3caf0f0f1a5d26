// What the program's standard streams are connected to, for the tools that
// draw progress only where a person watches (a terminal), never into a file
// or a pipe.
#ifndef ZOV_PLATFORM_STANDARD_STREAMS_H_
#define ZOV_PLATFORM_STANDARD_STREAMS_H_

namespace zov::platform {

// Whether standard error is an interactive terminal.
bool StandardErrorIsTerminal();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_STANDARD_STREAMS_H_
