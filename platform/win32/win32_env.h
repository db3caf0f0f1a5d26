// The Win32 implementations of every platform service, owned together.
// main() creates one and passes env() down; nothing else constructs them.
//
// The record manager is chosen at start: the library named by ZOVRECMAN
// when that is set; else the suite's wbtrv32.dll when the system's DLL
// search finds it (beside the program first, then the usual search path);
// else our own engine. With ZOVDEBUG set, the choice is written as one line
// on standard error; record_manager_choice() tells it too.
#ifndef ZOV_PLATFORM_WIN32_WIN32_ENV_H_
#define ZOV_PLATFORM_WIN32_WIN32_ENV_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"

namespace zov::platform {

std::unique_ptr<Clock> NewWin32Clock();
std::unique_ptr<Environment> NewWin32Environment();
std::unique_ptr<ProcessRunner> NewWin32ProcessRunner();
std::unique_ptr<ErrorOutput> NewWin32ErrorOutput();

// The Windows command line of a program and its arguments: each one that
// holds a blank, a tab, a double quote or a character the command
// interpreter treats specially is quoted so that the program's C runtime
// (and the command interpreter's /C) gives it back unchanged.
std::string QuoteCommandLine(const std::string& program, const std::vector<std::string>& args);

class Win32Env {
 public:
  // Fails, leaving *env empty, when the chosen record-manager library
  // cannot be loaded.
  [[nodiscard]] static Status Create(std::unique_ptr<Win32Env>* env);
  ~Win32Env();

  Env& env() { return env_; }
  // Which record manager runs, e.g. "wbtrv32.dll (C:\SUITE\wbtrv32.dll)".
  const std::string& record_manager_choice() const { return record_manager_choice_; }

 private:
  Win32Env() = default;
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

#endif  // ZOV_PLATFORM_WIN32_WIN32_ENV_H_
