// The lock file beside a data file ("<path>-lck"), locked with flock() on
// POSIX and LockFileEx() on Windows (win32/file_lock_win32.cc): shared by
// every open of the data file, exclusive for an exclusive open and while
// create replaces the file. Both locks belong to the open file (description
// or handle), so two opens inside one process conflict like two processes
// would, and closing some other descriptor of the file does not drop them.
// The data file itself is left to SQLite's own locking.
#ifndef ZOV_PLATFORM_RECMAN_FILE_LOCK_H_
#define ZOV_PLATFORM_RECMAN_FILE_LOCK_H_

#include <cstdint>
#include <memory>
#include <string>

namespace zov::platform {

class FileLock {
 public:
  enum class Mode { kShared, kExclusive };

  // Opens the lock file of data_path (creating it when missing) and locks it
  // without waiting. Returns kRmOk, kRmFileLocked when a holder conflicts,
  // kRmFileNotFound when the directory is missing, kRmAccessDenied when the
  // lock file can neither be created nor opened, kRmIoError otherwise.
  [[nodiscard]] static int16_t Acquire(const std::string& data_path, Mode mode, std::unique_ptr<FileLock>* lock);

  ~FileLock();  // releases the lock
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  explicit FileLock(intptr_t file) : file_(file) {}
  const intptr_t file_;  // the lock file's descriptor or handle
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_FILE_LOCK_H_
