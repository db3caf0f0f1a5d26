// Keeps every line written to standard error, as written (code page 850).
// Lines may come from two threads; read them once the threads are done.
#ifndef ZOV_PLATFORM_TESTING_FAKE_ERROR_OUTPUT_H_
#define ZOV_PLATFORM_TESTING_FAKE_ERROR_OUTPUT_H_

#include <mutex>
#include <string>
#include <vector>

#include "platform/error_output.h"

namespace zov::platform {

class FakeErrorOutput : public ErrorOutput {
 public:
  void WriteLine(std::string_view line) override {
    std::lock_guard<std::mutex> hold(mu_);
    lines.emplace_back(line);
  }

  // Whether a line holds `text`.
  bool Mentions(std::string_view text) const {
    for (const std::string& line : lines)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  std::vector<std::string> lines;

 private:
  std::mutex mu_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_ERROR_OUTPUT_H_
