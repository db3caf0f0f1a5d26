// dozudizi: the suite's spooler. Started without arguments after the
// register has closed its print file; see spooler.h for what it does.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/posix_env.h"
#include "platform/posix_file_system.h"
#include "tools/dozudizi/spooler.h"

int main() {
  using namespace zov;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  std::unique_ptr<platform::Environment> environment = platform::NewPosixEnvironment();
  std::unique_ptr<platform::ProcessRunner> processes = platform::NewPosixProcessRunner();

  std::string error;
  tools::Cp850Text cp;
  if (!cp.Init(&error)) {
    processes->ReportError("dozudizi: " + error);
    return tools::kExitFailed;
  }
  tools::SpoolRequest request;
  request.temp_dir = environment->GetOrEmpty("ZOVTMP");
  if (!request.temp_dir.empty() && request.temp_dir.back() != '/' && request.temp_dir.back() != '\\') {
    request.temp_dir += '/';
  }
  tools::SpoolOutcome out = tools::Spool(*fs, cp, request);
  if (!out.screen.empty()) std::fwrite(out.screen.data(), 1, out.screen.size(), stdout);
  for (const std::string& line : out.messages) processes->ReportError(line);
  for (const std::string& file : out.written) std::printf("dozudizi: wrote %s\n", fs->Resolve(file).c_str());
  return out.exit_code;
}
