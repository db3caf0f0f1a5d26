#include <unistd.h>

#include "platform/standard_streams.h"

namespace zov::platform {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace zov::platform
