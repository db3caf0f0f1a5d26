// The program's standard error: where a run's one-line reasons go (a file
// that could not be written, a fatal message), apart from the console's
// screen, so that they reach the suite's log and the user's terminal alike.
//
//   env.error_output->WriteLine("dazorov1: the print file is incomplete: " + reason);
#ifndef ZOV_PLATFORM_ERROR_OUTPUT_H_
#define ZOV_PLATFORM_ERROR_OUTPUT_H_

#include <string>
#include <string_view>

namespace zov::platform {

class ErrorOutput {
 public:
  virtual ~ErrorOutput() = default;
  // Writes `line`, code page 850 text like all text inside, and a line end
  // at once, unbuffered, as OneLine() makes them one line. The
  // implementation converts it for where it goes (WriteStandardText,
  // standard_streams.h): callers never convert.
  virtual void WriteLine(std::string_view line) = 0;
};

// What the native error output writes for `line`: the line with each line
// end inside it shown as "\xF4" (the pilcrow), so that a line end taken from
// data never splits the line, then a line end.
std::string OneLine(std::string_view line);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ERROR_OUTPUT_H_
