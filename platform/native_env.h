// The operating system's implementations of the platform services, under
// names that are the same on every system: main() and the tests that need
// the real system use these.
//
//   std::unique_ptr<platform::NativeEnv> native;
//   if (!platform::NativeEnv::Create(&native).ok()) ...;
//   return app::Run(native->env());
#ifndef ZOV_PLATFORM_NATIVE_ENV_H_
#define ZOV_PLATFORM_NATIVE_ENV_H_

#include <memory>

#include "platform/file_system.h"

#ifdef _WIN32
#include "platform/win32/win32_env.h"
#include "platform/win32/win32_file_system.h"
#else
#include "platform/posix_env.h"
#include "platform/posix_file_system.h"
#endif

namespace zov::platform {

#ifdef _WIN32
using NativeEnv = Win32Env;
inline std::unique_ptr<FileSystem> NewNativeFileSystem() { return NewWin32FileSystem(); }
inline std::unique_ptr<ProcessRunner> NewNativeProcessRunner() { return NewWin32ProcessRunner(); }
#else
using NativeEnv = PosixEnv;
inline std::unique_ptr<FileSystem> NewNativeFileSystem() { return NewPosixFileSystem(); }
inline std::unique_ptr<ProcessRunner> NewNativeProcessRunner() { return NewPosixProcessRunner(); }
#endif

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_NATIVE_ENV_H_
