// The program's standard error: where a run's one-line reasons go (a file
// that could not be written, a fatal message), apart from the console's
// screen, so that they reach the suite's log and the user's terminal alike.
//
//   env.error_output->WriteLine("dazorov1: the print file is incomplete: " + reason);
#ifndef ZOV_PLATFORM_ERROR_OUTPUT_H_
#define ZOV_PLATFORM_ERROR_OUTPUT_H_

#include <string_view>

namespace zov::platform {

class ErrorOutput {
 public:
  virtual ~ErrorOutput() = default;
  // Writes `line` and a line end at once, unbuffered. The bytes are written
  // as given: callers convert code page 850 text for the terminal first.
  virtual void WriteLine(std::string_view line) = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ERROR_OUTPUT_H_
