// zovllibres: the tax agency's record books per owner (books/books_run.h).
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/allocator.h"
#include "platform/native_env.h"
#include "platform/standard_streams.h"
#include "tools/zovllibres/command_line.h"

int main(int argc, char** argv) {
  zov::platform::KeepFreedMemoryForReuse();
  std::unique_ptr<zov::platform::NativeEnv> native;
  if (zov::platform::Status s = zov::platform::NativeEnv::Create(&native); !s.ok()) {
    std::cerr << "zovllibres: cannot start the record manager: " << s.message() << "\n";
    return zov::books::kExitCannotRun;
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int code = zov::tools::RunZovllibres(native->env(), args, std::cout, std::cerr,
                                             zov::platform::StandardErrorIsTerminal());
  std::cout.flush();
  return code;
}
