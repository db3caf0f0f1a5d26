// The Console of a POSIX terminal: VT escape sequences on the output (UTF-8
// glyphs of the code page 850 cells, 16 colours, cursor position and
// visibility) and keys read from the input in raw mode, never waiting.
//
// The first drawing switches the terminal to its alternate screen, cleared,
// so that what the terminal shows matches the console's cells; Restore()
// switches back, shows the cursor and puts the input modes back. The same
// undoing runs at exit and on a fatal signal (SIGINT, SIGTERM, SIGHUP, ...,
// where no other handler was installed), so the terminal is never left hidden
// or raw. When the output is not a terminal nothing at all is written to it
// (the program's standard output stays clean); the cells are kept all the
// same. Without a terminal on both input and output, CanWaitForKey() is false.
//
// The screen size is the terminal's, at most 99 rows and 99 columns (the
// saved-window file holds two-digit coordinates), 80 x 25 when unknown.
// One terminal console at a time owns the terminal's modes.
#ifndef ZOV_PLATFORM_TERMINAL_CONSOLE_H_
#define ZOV_PLATFORM_TERMINAL_CONSOLE_H_

#include <memory>

#include "platform/console.h"

namespace zov::platform {

// On standard input and standard output.
std::unique_ptr<Console> NewTerminalConsole();

// On the given descriptors, which stay the caller's (tests pass a
// pseudo-terminal or a pipe).
std::unique_ptr<Console> NewTerminalConsoleOn(int input_fd, int output_fd);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TERMINAL_CONSOLE_H_
