// SystemFileLock on Windows: LockFileEx on one byte of the lock file, never
// waiting. The engine's lock files have their first byte locked; a holder
// file has a byte far past its line locked, since a locked range cannot be
// read through other handles. The lock belongs to the handle, so a second
// open in the same process conflicts as another process's would.
#include <windows.h>

#include "platform/system_file_lock.h"
#include "platform/win32/wide.h"

namespace zov::platform {
namespace {

using Result = SystemFileLock::Result;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Where a holder file is locked: past any line it could hold.
constexpr DWORD kHolderLockOffset = 0x40000000;

Result Failed(const char* call, const std::string& path, DWORD err, Result result, std::string* error) {
  if (error != nullptr) *error = Win32Error(call, path, err).message();
  return result;
}

Result ResultOfOpenError(DWORD err) {
  if (err == ERROR_PATH_NOT_FOUND || err == ERROR_FILE_NOT_FOUND) return Result::kNotFound;
  if (err == ERROR_ACCESS_DENIED || err == ERROR_WRITE_PROTECT) return Result::kAccessDenied;
  return Result::kIoError;
}

HANDLE OpenLockFile(const std::wstring& path, DWORD access, DWORD disposition) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

SystemFileLock::Result SystemFileLock::Acquire(const std::string& path, const Options& options,
                                               std::unique_ptr<SystemFileLock>* lock, std::string* error) {
  const std::wstring wide = Cp850ToWide(path);
  if (options.holder_file) {
    // The equivalent of O_NOFOLLOW: a reparse point under the name is not
    // written through (making one takes a privilege ordinary users lack).
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
      if (error != nullptr) *error = "open " + path + ": a link or a directory, not a lock file";
      return Result::kNotAFile;
    }
  }
  HANDLE h = OpenLockFile(wide, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    if (options.holder_file || (err != ERROR_ACCESS_DENIED && err != ERROR_WRITE_PROTECT)) {
      return Failed("CreateFileW", path, err, ResultOfOpenError(err), error);
    }
    // A read-only lock file (or folder) still takes a lock through a
    // read-only handle.
    h = OpenLockFile(wide, GENERIC_READ, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) return Failed("CreateFileW", path, ::GetLastError(), Result::kAccessDenied, error);
  }
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    ::CloseHandle(h);
    if (error != nullptr) *error = "open " + path + ": not a regular file";
    return Result::kNotAFile;
  }
  OVERLAPPED at{};
  if (options.holder_file) at.Offset = kHolderLockOffset;
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (options.mode == Mode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (!::LockFileEx(h, flags, 0, 1, 0, &at)) {
    const DWORD err = ::GetLastError();
    ::CloseHandle(h);
    if (err == ERROR_LOCK_VIOLATION || err == ERROR_SHARING_VIOLATION) return Result::kLocked;
    return Failed("LockFileEx", path, err, Result::kIoError, error);
  }
  lock->reset(new SystemFileLock(reinterpret_cast<intptr_t>(h)));
  return Result::kOk;
}

bool SystemFileLock::WriteHolder(std::string_view text) {
  HANDLE h = reinterpret_cast<HANDLE>(file_);
  LARGE_INTEGER zero{};
  if (!::SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) || !::SetEndOfFile(h)) return false;
  DWORD written = 0;
  OVERLAPPED at{};
  return text.empty() ||
         (::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, &at) && written == text.size());
}

// Closing the handle releases its lock.
SystemFileLock::~SystemFileLock() { ::CloseHandle(reinterpret_cast<HANDLE>(file_)); }

uint64_t CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace zov::platform
