// The platform seam: every service of the operating system the program
// uses, bundled so that main() fills it with the POSIX implementations
// (posix_env.h) and tests fill it with fakes (testing/).
//
//   auto posix = platform::PosixEnv::Create();
//   platform::Env& env = posix->env();
//   env.fs->DeleteFile(name);
#ifndef ZOV_PLATFORM_ENV_H_
#define ZOV_PLATFORM_ENV_H_

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/environment.h"
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
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ENV_H_
