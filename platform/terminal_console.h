// The Console of a POSIX terminal.
#ifndef ZOV_PLATFORM_TERMINAL_CONSOLE_H_
#define ZOV_PLATFORM_TERMINAL_CONSOLE_H_

#include <memory>

#include "platform/console.h"

namespace zov::platform {

std::unique_ptr<Console> NewTerminalConsole();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TERMINAL_CONSOLE_H_
