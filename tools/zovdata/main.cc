// zovdata: the command-line tool for the suite's data files (zovdata.h).
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tools/support/command_line.h"
#include "tools/support/tool_start.h"
#include "tools/zovdata/command_line.h"

int main(int argc, char** argv) {
  using namespace zov;
  std::unique_ptr<platform::NativeEnv> native;
  std::vector<std::string> args;
  if (int code = 0; !tools::StartTool("zovdata", argc, argv, &native, &args, &code)) return code;
  std::ostream& out = native->out();
  if (args.size() == 1 && args[0] == "--version") {
    out << "zovdata; record manager: " << native->record_manager_choice() << "\n";
    return tools::kExitDone;
  }
  const int code = tools::RunZovdata(native->env(), args, out, native->err());
  out.flush();
  if (!out) {
    native->err() << "zovdata: cannot write the output\n";
    return tools::kExitProblems;
  }
  return code;
}
