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

// Non-owning; whoever fills it keeps the services alive for the run.
struct Env {
  FileSystem* fs = nullptr;
  Clock* clock = nullptr;
  Environment* environment = nullptr;
  ProcessRunner* processes = nullptr;
  Console* console = nullptr;
  RecordManager* record_manager = nullptr;
  ErrorOutput* error_output = nullptr;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENV_H_
