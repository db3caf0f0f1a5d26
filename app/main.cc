// dazorov1: the register of issued invoices (app/run.h).
#include <memory>
#include <string>

#include "app/run.h"
#include "platform/native_env.h"
#include "platform/standard_streams.h"

int main() {
  std::unique_ptr<zov::platform::NativeEnv> native;
  if (zov::platform::Status s = zov::platform::NativeEnv::Create(&native); !s.ok()) {
    const std::string line = "dazorov1: cannot start: " + s.message() + "\n";
    zov::platform::WriteStandardText(zov::platform::StandardStream::kError, line);
    return zov::app::kExitFailed;
  }
  return zov::app::Run(native->env());
}
