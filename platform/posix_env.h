// Names the books' program and its tests still use for the native services
// on POSIX; the same as native_env.h's. To go once they use those.
#ifndef ZOV_PLATFORM_POSIX_ENV_H_
#define ZOV_PLATFORM_POSIX_ENV_H_

#include <memory>

#include "platform/native_env.h"

namespace zov::platform {

using PosixEnv = NativeEnv;
inline std::unique_ptr<ProcessRunner> NewPosixProcessRunner() { return NewNativeProcessRunner(); }

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_POSIX_ENV_H_
