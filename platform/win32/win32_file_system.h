// The FileSystem of Windows, on the wide API: suite names (code page 850
// bytes) are converted to UTF-16 and the names it gives back from UTF-16,
// "\" and "/" both separate, letter case is the system's own affair (so
// Resolve() gives names back unchanged).
//
// Every file is opened sharing read, write and delete. The atomic replace
// renames with POSIX semantics where the system has them (Windows 10 1809
// and later, on NTFS), so that a reader holding the old file keeps reading
// it; elsewhere it is MoveFileExW with replace-existing and write-through,
// which cannot replace a file that is open: it is retried for up to two
// seconds while the target is held, then fails with the old file intact.
#ifndef ZOV_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
#define ZOV_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

#include <memory>

#include "platform/file_system.h"

namespace zov::platform {

std::unique_ptr<FileSystem> NewWin32FileSystem();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
