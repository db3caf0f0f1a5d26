// dazorov1: the register of issued invoices (app/run.h).
#include <iostream>
#include <memory>
#include <string>

#include "app/run.h"
#include "platform/posix_env.h"

int main() {
  std::string error;
  std::unique_ptr<zov::platform::PosixEnv> posix = zov::platform::PosixEnv::Create(&error);
  if (!posix) {
    std::cerr << "dazorov1: cannot start the record manager: " << error << "\n";
    return zov::app::kExitFailed;
  }
  return zov::app::Run(posix->env());
}
