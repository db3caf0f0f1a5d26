// dazorov1: the register of issued invoices (app/run.h).
#include <iostream>
#include <memory>
#include <string>

#include "app/run.h"
#include "platform/posix_env.h"

int main() {
  std::unique_ptr<zov::platform::PosixEnv> posix;
  if (zov::platform::Status s = zov::platform::PosixEnv::Create(&posix); !s.ok()) {
    std::cerr << "dazorov1: cannot start the record manager: " << s.message() << "\n";
    return zov::app::kExitFailed;
  }
  return zov::app::Run(posix->env());
}
