// The POSIX implementations of every platform service, owned together.
// main() creates one and passes env() down; nothing else constructs them.
//
//   std::unique_ptr<platform::PosixEnv> posix;
//   platform::Status s = platform::PosixEnv::Create(&posix);
//   if (!s.ok()) ...;  // s.message() names the library that failed
//   return app::Run(posix->env());
#ifndef ZOV_PLATFORM_POSIX_ENV_H_
#define ZOV_PLATFORM_POSIX_ENV_H_

#include <memory>

#include "platform/env.h"

namespace zov::platform {

std::unique_ptr<Clock> NewPosixClock();
std::unique_ptr<Environment> NewPosixEnvironment();
std::unique_ptr<ProcessRunner> NewPosixProcessRunner();
std::unique_ptr<ErrorOutput> NewPosixErrorOutput();

class PosixEnv {
 public:
  // The record manager is our own engine, or the shared library named by
  // ZOVRECMAN when that is set. Fails, leaving *env empty, when ZOVRECMAN
  // names a library that cannot be loaded.
  [[nodiscard]] static Status Create(std::unique_ptr<PosixEnv>* env);
  ~PosixEnv();

  Env& env() { return env_; }
  // Which record manager runs (shown by ZOVDEBUG on stderr and by tools).
  const std::string& record_manager_choice() const { return record_manager_choice_; }

 private:
  PosixEnv() = default;
  std::unique_ptr<FileSystem> fs_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Environment> environment_;
  std::unique_ptr<ProcessRunner> processes_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<RecordManager> record_manager_;
  std::unique_ptr<ErrorOutput> error_output_;
  std::string record_manager_choice_;
  Env env_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_POSIX_ENV_H_
