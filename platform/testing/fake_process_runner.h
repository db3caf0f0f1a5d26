// Records every program start instead of running it.
#ifndef ZOV_PLATFORM_TESTING_FAKE_PROCESS_RUNNER_H_
#define ZOV_PLATFORM_TESTING_FAKE_PROCESS_RUNNER_H_

#include <functional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace zov::platform {

class FakeProcessRunner : public ProcessRunner {
 public:
  struct Run {
    std::string program;
    std::vector<std::string> args;
  };

  Status RunAndWait(const std::string& program, const std::vector<std::string>& args, int* exit_code) override {
    runs.push_back(Run{program, args});
    if (on_run) on_run(runs.back());
    *exit_code = exit_code_to_return;
    return Status::Ok();
  }

  std::vector<Run> runs;
  std::function<void(const Run&)> on_run;
  int exit_code_to_return = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_PROCESS_RUNNER_H_
