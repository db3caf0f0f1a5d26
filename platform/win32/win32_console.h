// The Console of a Windows console window, through the console API: cells
// written with their attributes (the 16 colours), the cursor's position and
// visibility, keys read from the input events without waiting, and the
// code page 850 characters shown with their console glyphs.
//
// The first drawing switches to a screen buffer of its own, cleared, so that
// the window shows what the console's cells hold; Restore() switches back to
// the buffer it found, as it was. Without a console (output redirected,
// started detached) nothing is drawn, the cells are kept all the same, and
// CanWaitForKey() is false, so nothing waits for a key that cannot come.
//
// The screen size is the window's, at most 99 rows and 99 columns (the
// saved-window file holds two-digit coordinates), 80 x 25 without a console.
#ifndef ZOV_PLATFORM_WIN32_WIN32_CONSOLE_H_
#define ZOV_PLATFORM_WIN32_WIN32_CONSOLE_H_

#include <memory>

#include "platform/console.h"

namespace zov::platform {

// On the process's standard input and output handles.
std::unique_ptr<Console> NewWin32Console();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_WIN32_WIN32_CONSOLE_H_
