// dozudizi: the suite's spooler. Started without arguments after the
// register has closed its print file; see spooler.h for what it does.
// Exit code 0 when everything was printed, 1 when the print file could not
// be read or an output not written, 2 when lines of the print file had to be
// skipped or changed (each is listed on standard error).
#include <cstdio>
#include <memory>
#include <string>

#include "platform/env.h"
#include "platform/posix_env.h"
#include "platform/posix_file_system.h"
#include "tools/dozudizi/spooler.h"

int main() {
  using namespace zov;
  std::unique_ptr<platform::FileSystem> fs = platform::NewPosixFileSystem();
  std::unique_ptr<platform::Environment> environment = platform::NewPosixEnvironment();
  std::unique_ptr<platform::ErrorOutput> error_output = platform::NewPosixErrorOutput();
  platform::Env env;
  env.fs = fs.get();
  env.environment = environment.get();
  env.error_output = error_output.get();

  tools::Cp850Text cp;
  if (platform::Status s = cp.Init(); !s.ok()) {
    error_output->WriteLine("dozudizi: " + s.message());
    return tools::kExitFailed;
  }
  tools::SpoolOutcome out = tools::Spool(*fs, cp, tools::ReadSpoolRequest(env));
  if (!out.screen.empty()) std::fwrite(out.screen.data(), 1, out.screen.size(), stdout);
  for (const std::string& line : out.messages) error_output->WriteLine(line);
  // With the pages on standard output, the list of files goes beside them.
  std::FILE* notes = out.screen.empty() ? stdout : stderr;
  for (const std::string& file : out.written) std::fprintf(notes, "dozudizi: wrote %s\n", fs->Resolve(file).c_str());
  return out.exit_code;
}
