// dazorov1: the register of issued invoices (app/run.h).
#include <iostream>
#include <memory>
#include <string>

#include "app/run.h"
#include "platform/native_env.h"

int main() {
  std::unique_ptr<zov::platform::NativeEnv> native;
  if (zov::platform::Status s = zov::platform::NativeEnv::Create(&native); !s.ok()) {
    std::cerr << "dazorov1: cannot start the record manager: " << s.message() << "\n";
    return zov::app::kExitFailed;
  }
  return zov::app::Run(native->env());
}
