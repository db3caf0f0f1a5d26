// dedado: opens a document for the user (see opener.h).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix_env.h"
#include "platform/posix_file_system.h"
#include "tools/dedado/opener.h"

int main(int argc, char** argv) {
  using namespace zov;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  std::unique_ptr<platform::Environment> environment = platform::NewPosixEnvironment();
  std::unique_ptr<platform::ProcessRunner> processes = platform::NewPosixProcessRunner();
  std::unique_ptr<platform::ErrorOutput> error_output = platform::NewPosixErrorOutput();
  platform::Env env;
  env.fs = fs.get();
  env.environment = environment.get();
  env.processes = processes.get();
  env.error_output = error_output.get();
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  tools::OpenOutcome out = tools::OpenDocument(args, env);
  std::fputs(out.printed.c_str(), stdout);
  return out.exit_code;
}
