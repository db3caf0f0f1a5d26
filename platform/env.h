// The platform seam: every service of the operating system the program
// uses, bundled so that main() fills it with the system's implementations
// (native_env.h) and tests fill it with fakes (testing/fake_env.h). Either
// way every service is there: no caller checks one for null.
//
//   std::unique_ptr<platform::NativeEnv> native;
//   if (Status s = platform::NativeEnv::Create(&native); !s.ok()) ...;
//   platform::Env& env = native->env();
//   Status s = env.fs->DeleteFile(name);
//
// Text crossing the seam is code page 850 on this side, whatever the
// system: file names (those made from data too), environment values,
// program arguments and error lines. Each implementation converts at its
// own edge, and a name or value the code page cannot hold is an error that
// names it, never a changed name.
//
// Threads: the file system, clock, environment, process runner and error
// output may be used from a second thread (the register's consumer thread)
// while the first uses the record manager; the record manager and the
// console belong to one thread at a time.
#ifndef ZOV_PLATFORM_ENV_H_
#define ZOV_PLATFORM_ENV_H_

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "platform/error_output.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/record_manager.h"

namespace zov::platform {

// Where the suite's conventions differ between the systems the program runs
// on: values the platform gives (NativeEnv fills them), so that no layer
// above has to ask which system it is on. Tests choose either.
struct SystemConventions {
  // True on the suite's home system: the document opener is started through
  // the command interpreter named by COMSPEC, files for the user go to TEMP
  // alone, and a directory gets "\" as its separator. False on POSIX: the
  // opener is looked up and run directly, TEMP falls back to TMPDIR and
  // "/tmp", and a directory gets "/".
  bool opener_through_command_interpreter = false;
};

// The services are not owned; whoever fills it keeps them alive for the run
// and fills every one.
struct Env {
  FileSystem* fs = nullptr;
  Clock* clock = nullptr;
  Environment* environment = nullptr;
  ProcessRunner* processes = nullptr;
  Console* console = nullptr;
  RecordManager* record_manager = nullptr;
  ErrorOutput* error_output = nullptr;
  SystemConventions conventions{};
};

// The variables the suite's programs take directories and programs from:
// ZOVROOT, ZOVEXE, ZOVTMP, TEMP, TMPDIR, COMSPEC and ZOVRECMAN. The first
// that holds a value code page 850 cannot hold is InvalidArgument naming it.
[[nodiscard]] Status CheckSuiteVariables(Environment& environment);

// The record manager of a run and the words that name it (shown with
// ZOVDEBUG set and by `zovdata --version`).
struct RecordManagerChoice {
  std::unique_ptr<RecordManager> record_manager;
  std::string description;  // e.g. "our engine (SQLite data files)"
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENV_H_
