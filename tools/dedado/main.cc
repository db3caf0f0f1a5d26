// dedado: opens a document for the user (see opener.h).
#include <memory>
#include <string>
#include <vector>

#include "tools/dedado/opener.h"
#include "tools/support/tool_start.h"

int main(int argc, char** argv) {
  std::unique_ptr<zov::platform::NativeEnv> native;
  std::vector<std::string> args;
  if (int code = 0; !zov::tools::StartTool("dedado", argc, argv, &native, &args, &code)) return code;
  return zov::tools::RunDedado(args, native->env(), native->out(), native->err());
}
