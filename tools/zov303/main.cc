// zov303: each owner's quarterly VAT return (tools/zov303/command_line.h).
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/support/command_line.h"
#include "tools/support/tool_start.h"
#include "tools/zov303/command_line.h"

int main(int argc, char** argv) {
  using namespace zov;
  std::unique_ptr<platform::NativeEnv> native;
  std::vector<std::string> args;
  if (int code = 0; !tools::StartTool("zov303", argc, argv, &native, &args, &code)) return code;
  std::ostream& out = native->out();
  const int code =
      tools::RunZov303(native->env(), args, out, native->err(), platform::StandardErrorIsTerminal());
  out.flush();
  if (!out) {
    native->err() << "zov303: cannot write the output\n";
    return tools::kExitProblems;
  }
  return code;
}
