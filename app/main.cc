// dazorov1: the register of issued invoices (app/run.h).
#include <iostream>
#include <memory>
#include <string>

#include "app/run.h"
#include "platform/native_env.h"

int main() {
  std::string error;
  std::unique_ptr<zov::platform::NativeEnv> native = zov::platform::NativeEnv::Create(&error);
  if (!native) {
    std::cerr << "dazorov1: cannot start the record manager: " << error << "\n";
    return zov::app::kExitFailed;
  }
  return zov::app::Run(native->env());
}
