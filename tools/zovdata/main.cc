// zovdata: the command-line tool for the suite's data files (zovdata.h).
#include <iostream>
#include <string>
#include <vector>

#include "platform/native_env.h"
#include "tools/zovdata/command_line.h"

int main(int argc, char** argv) {
  std::unique_ptr<zov::platform::NativeEnv> native;
  if (zov::platform::Status s = zov::platform::NativeEnv::Create(&native); !s.ok()) {
    std::cerr << "zovdata: cannot start the record manager: " << s.message() << "\n";
    return 1;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "zovdata; record manager: " << native->record_manager_choice() << "\n";
    return 0;
  }
  const int code = zov::tools::RunZovdata(native->env(), args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "zovdata: cannot write the output\n";
    return 1;
  }
  return code;
}
