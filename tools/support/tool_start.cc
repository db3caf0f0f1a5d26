#include "tools/support/tool_start.h"

#include "tools/support/command_line.h"

namespace zov::tools {

bool StartTool(std::string_view program, int argc, char** argv, std::unique_ptr<platform::NativeEnv>* native,
               std::vector<std::string>* args, int* exit_code) {
  std::string failure;
  if (platform::Status s = platform::NativeEnv::Create(native); !s.ok()) {
    failure = "cannot start: " + s.message();
    *exit_code = kExitProblems;
  } else if (platform::Status a = platform::ProgramArguments(argc, argv, args); !a.ok()) {
    failure = a.message();
    *exit_code = kExitUsage;
  } else {
    return true;
  }
  (void)platform::WriteStandardText(platform::StandardStream::kError, std::string(program) + ": " + failure + "\n");
  return false;
}

}  // namespace zov::tools
