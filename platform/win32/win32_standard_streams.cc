#include <windows.h>

#include "platform/standard_streams.h"

namespace zov::platform {

// A console, not a file, pipe or the null device (which is a character
// device too, but has no console mode).
bool StandardErrorIsTerminal() {
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  return err != nullptr && err != INVALID_HANDLE_VALUE && ::GetFileType(err) == FILE_TYPE_CHAR &&
         ::GetConsoleMode(err, &mode) != 0;
}

}  // namespace zov::platform
