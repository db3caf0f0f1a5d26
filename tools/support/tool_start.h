// The start every tool's main() makes: the system's services and the
// arguments, or one line on standard error saying why not.
//
//   std::unique_ptr<platform::NativeEnv> native;
//   std::vector<std::string> args;
//   if (int code = 0; !StartTool("zovdata", argc, argv, &native, &args, &code)) return code;
//   return RunZovdata(native->env(), args, native->out(), native->err());
#ifndef ZOV_TOOLS_SUPPORT_TOOL_START_H_
#define ZOV_TOOLS_SUPPORT_TOOL_START_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_env.h"

namespace zov::tools {

// False, with *exit_code kExitProblems (the platform could not start) or
// kExitUsage (an argument code page 850 cannot hold), after writing
// "<program>: ..." on standard error.
[[nodiscard]] bool StartTool(std::string_view program, int argc, char** argv,
                             std::unique_ptr<platform::NativeEnv>* native, std::vector<std::string>* args,
                             int* exit_code);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_SUPPORT_TOOL_START_H_
