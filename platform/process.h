// Starting another program and waiting for it to end. No shell is involved:
// the program and each argument are passed as they are, so no path is ever
// re-parsed.
#ifndef ZOV_PLATFORM_PROCESS_H_
#define ZOV_PLATFORM_PROCESS_H_

#include <string>
#include <vector>

#include "platform/status.h"

namespace zov::platform {

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Runs `program` (a native path) with `args` and waits for its end.
  // *exit_code receives its exit code (128 + signal number when it was
  // killed). NotFound when the program cannot be started.
  virtual Status RunAndWait(const std::string& program, const std::vector<std::string>& args,
                            int* exit_code) = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_PROCESS_H_
