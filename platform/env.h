// The platform seam: every service of the operating system the program
// uses, bundled so that main() fills it with the POSIX implementations
// (posix_env.h) and tests fill it with fakes (testing/fake_env.h).
//
//   std::unique_ptr<platform::PosixEnv> posix;
//   if (!platform::PosixEnv::Create(&posix).ok()) return 1;
//   platform::Env& env = posix->env();
//   Status s = env.fs->DeleteFile(name);
#ifndef ZOV_PLATFORM_ENV_H_
#define ZOV_PLATFORM_ENV_H_

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"
#include "platform/error_output.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/record_manager.h"

namespace zov::platform {

// Where the suite's conventions differ between the systems the program runs
// on: values the platform gives (PosixEnv fills them for POSIX), so that no
// layer above has to ask which system it is on. Tests choose either.
struct SystemConventions {
  // True on the suite's home system: the document opener is started through
  // the command interpreter named by COMSPEC, files for the user go to TEMP
  // alone, and a directory gets "\" as its separator. False on POSIX: the
  // opener is looked up and run directly, TEMP falls back to TMPDIR and
  // "/tmp", and a directory gets "/".
  bool opener_through_command_interpreter = false;
};

// The services are not owned; whoever fills it keeps them alive for the run.
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

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENV_H_
