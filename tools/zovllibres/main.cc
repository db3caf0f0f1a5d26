// zovllibres: the tax agency's record books per owner (books_run.h).
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/allocator.h"
#include "platform/posix_env.h"
#include "platform/standard_streams.h"
#include "tools/zovllibres/books_run.h"

int main(int argc, char** argv) {
  zov::platform::KeepFreedMemoryForReuse();
  std::unique_ptr<zov::platform::PosixEnv> posix;
  if (zov::platform::Status s = zov::platform::PosixEnv::Create(&posix); !s.ok()) {
    std::cerr << "zovllibres: cannot start the record manager: " << s.message() << "\n";
    return zov::books::kExitCannotRun;
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int code = zov::books::RunBooks(posix->env(), args, std::cout, std::cerr,
                                        zov::platform::StandardErrorIsTerminal());
  std::cout.flush();
  return code;
}
