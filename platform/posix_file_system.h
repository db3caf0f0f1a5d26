// The FileSystem of a POSIX system. Backslashes separate directories like
// slashes do; missing components are matched without regard to ASCII case.
// Names on disk are UTF-8: the code page 850 names the program gives are
// converted on the way in and those it gets back on the way out.
#ifndef ZOV_PLATFORM_POSIX_FILE_SYSTEM_H_
#define ZOV_PLATFORM_POSIX_FILE_SYSTEM_H_

#include <memory>

#include "platform/file_system.h"

namespace zov::platform {

std::unique_ptr<FileSystem> NewPosixFileSystem();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_POSIX_FILE_SYSTEM_H_
