// The operating system's implementation of every platform service, owned
// together: one class for every system and every program, assembled from
// the per-system factory functions below (posix_env.cc, win32/win32_env.cc).
//
//   std::unique_ptr<platform::NativeEnv> native;
//   if (Status s = platform::NativeEnv::Create(&native); !s.ok()) {
//     ... "dazorov1: cannot start: " + s.message() ...;
//   }
//   std::vector<std::string> args;
//   if (Status s = platform::ProgramArguments(argc, argv, &args); !s.ok()) ...;
//   return app::Run(native->env());
#ifndef ZOV_PLATFORM_NATIVE_ENV_H_
#define ZOV_PLATFORM_NATIVE_ENV_H_

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/standard_streams.h"

namespace zov::platform {

class NativeEnv {
 public:
  // Every service of this system. The error output writes lines to
  // standard error through WriteStandardText, whole, from any thread. The
  // record manager is the library named
  // by ZOVRECMAN when that is set; else the suite's own library where the
  // system has one and finds it (on Windows wbtrv32.dll, by the system's
  // DLL search: the program's folder first); else our engine. Fails, *env
  // left empty, when the chosen library cannot be loaded or one of the
  // suite's variables holds a value code page 850 cannot hold
  // (CheckSuiteVariables). With ZOVDEBUG set, the choice is written as one
  // line on standard error.
  [[nodiscard]] static Status Create(std::unique_ptr<NativeEnv>* env);
  // Puts the console back as it was found.
  ~NativeEnv();
  NativeEnv(const NativeEnv&) = delete;
  NativeEnv& operator=(const NativeEnv&) = delete;

  Env& env() { return env_; }
  // Which record manager runs, e.g. "wbtrv32.dll (C:\SUITE\wbtrv32.dll)".
  const std::string& record_manager_choice() const { return record_manager_.description; }
  // Standard output and standard error for code page 850 text, converted as
  // WriteStandardText converts; for the tools' results and messages.
  // Standard error, and standard output on a terminal, are written at every
  // line end; standard output elsewhere in blocks, and at the end.
  std::ostream& out() { return *out_; }
  std::ostream& err() { return *err_; }

 private:
  NativeEnv();
  std::unique_ptr<FileSystem> fs_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Environment> environment_;
  std::unique_ptr<ProcessRunner> processes_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<ErrorOutput> error_output_;
  RecordManagerChoice record_manager_;
  std::unique_ptr<std::ostream> out_;
  std::unique_ptr<std::ostream> err_;
  Env env_;
};

// The program's arguments after its name, as code page 850 text (from the
// system's UTF-8 on POSIX, from the wide command line on Windows). An
// argument code page 850 cannot hold is InvalidArgument naming it.
[[nodiscard]] Status ProgramArguments(int argc, char** argv, std::vector<std::string>* args);

// The record manager NativeEnv::Create chooses, on its own: for the tests.
[[nodiscard]] Status ChooseRecordManager(Environment& environment, Clock* clock, RecordManagerChoice* choice);

// The per-system parts, one definition on each system.
std::unique_ptr<FileSystem> NewNativeFileSystem();
std::unique_ptr<Clock> NewNativeClock();
std::unique_ptr<Environment> NewNativeEnvironment();
std::unique_ptr<ProcessRunner> NewNativeProcessRunner();
std::unique_ptr<Console> NewNativeConsole();
SystemConventions NativeConventions();
// The path of the suite's own record-manager library where this system has
// one and finds it; NotFound where not, another error when it is there but
// cannot be used.
[[nodiscard]] Status FindSuiteRecordManagerLibrary(std::string* path);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_NATIVE_ENV_H_
