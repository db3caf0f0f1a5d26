// A second process for the Win32 process tests.
//   win32_child exit N              exits with code N
//   win32_child args FILE ARGS...   writes each argument on a line of FILE
//   win32_child env NAME FILE       writes the variable's value to FILE
//   win32_child lock LOCK FILE      tries the lock of LOCK (FileSystem::TryLockFile)
//                                   and writes "taken", or "busy" and what
//                                   LOCK says of its holder, to FILE
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/win32/win32_file_system.h"

namespace {

int WriteText(const char* path, const std::string& text) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return 101;
  std::fwrite(text.data(), 1, text.size(), f);
  return std::fclose(f) == 0 ? 0 : 102;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  const std::string command = argv[1];
  if (command == "exit") return std::atoi(argv[2]);
  if (command == "args") {
    std::string text;
    for (int i = 3; i < argc; ++i) text += std::string(argv[i]) + "\n";
    return WriteText(argv[2], text);
  }
  if (command == "lock" && argc == 4) {
    std::unique_ptr<zov::platform::FileSystem> fs = zov::platform::NewWin32FileSystem();
    std::unique_ptr<zov::platform::FileLock> lock;
    const zov::platform::Status s = fs->TryLockFile(argv[2], "child", &lock);
    if (s.ok()) return WriteText(argv[3], "taken");
    if (s.IsBusy()) return WriteText(argv[3], "busy: " + zov::platform::ReadLockHolder(*fs, argv[2]));
    return WriteText(argv[3], "error: " + s.message());
  }
  if (command == "env" && argc == 4) {
    const char* value = std::getenv(argv[2]);
    return WriteText(argv[3], value == nullptr ? "(unset)" : value);
  }
  return 100;
}
