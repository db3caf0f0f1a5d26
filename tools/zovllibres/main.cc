// zovllibres: the tax agency's record books per owner (books/books_run.h);
// its command line is command_line.h's.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/allocator.h"
#include "tools/support/tool_start.h"
#include "tools/zovllibres/command_line.h"

int main(int argc, char** argv) {
  using namespace zov;
  platform::KeepFreedMemoryForReuse();
  std::unique_ptr<platform::NativeEnv> native;
  std::vector<std::string> args;
  if (int code = 0; !tools::StartTool("zovllibres", argc, argv, &native, &args, &code)) return code;
  const int code = tools::RunZovllibres(native->env(), args, native->out(), native->err(),
                                        platform::StandardErrorIsTerminal());
  native->out().flush();
  return code;
}
