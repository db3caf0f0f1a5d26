// FileLock on Windows: LockFileEx on the first byte of the lock file, never
// waiting. The lock belongs to the handle, so a second open in the same
// process conflicts as another process's would.
#include <windows.h>

#include "platform/recman/file_lock.h"
#include "platform/recman/status.h"
#include "platform/win32/wide.h"

namespace zov::platform {

int16_t FileLock::Acquire(const std::string& data_path, Mode mode, std::unique_ptr<FileLock>* lock) {
  const std::wstring path = Cp850ToWide(data_path + "-lck");
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) return kRmFileNotFound;
    if (error != ERROR_ACCESS_DENIED && error != ERROR_WRITE_PROTECT) return kRmIoError;
    // A read-only lock file (or folder) still takes a lock through a
    // read-only handle.
    h = ::CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kRmAccessDenied;
  }
  OVERLAPPED at{};
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == Mode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (!::LockFileEx(h, flags, 0, 1, 0, &at)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(h);
    return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION ? kRmFileLocked : kRmIoError;
  }
  lock->reset(new FileLock(reinterpret_cast<intptr_t>(h)));
  return kRmOk;
}

// Closing the handle releases its lock.
FileLock::~FileLock() { ::CloseHandle(reinterpret_cast<HANDLE>(file_)); }

}  // namespace zov::platform
