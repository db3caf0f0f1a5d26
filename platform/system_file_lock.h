// An advisory lock on a lock file, the operating system's own: flock() on
// POSIX, LockFileEx() on Windows (win32/system_file_lock_win32.cc). The
// lock belongs to the open file (description or handle), so two opens
// inside one process conflict as two processes would, closing some other
// descriptor of the file does not drop it, and a process that ends in any
// way (a kill included) leaves no lock behind. Nothing is ever waited for.
//
// Two kinds of lock file use it:
//   - the engine's, beside each data file ("<path>-lck"): shared by every
//     open of the data file, exclusive for an exclusive open and while
//     create replaces the file; made for every user of the installation;
//     on Windows the first byte is locked, as every build of the engine
//     has always locked it;
//   - a holder file (FileSystem::TryLockFile): exclusive, owner-only,
//     never opened through a link, and it holds a line saying who holds
//     it; on Windows the lock lies past that line, so that others can read
//     it while the lock is held.
//
//   std::unique_ptr<SystemFileLock> lock;
//   if (SystemFileLock::Acquire(path + "-lck", {}, &lock, &error) == SystemFileLock::Result::kLocked) ...;
#ifndef ZOV_PLATFORM_SYSTEM_FILE_LOCK_H_
#define ZOV_PLATFORM_SYSTEM_FILE_LOCK_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zov::platform {

class SystemFileLock {
 public:
  enum class Mode { kShared, kExclusive };
  enum class Result {
    kOk,
    kLocked,        // another open holds a conflicting lock
    kNotFound,      // the directory is missing
    kAccessDenied,  // the lock file can neither be created nor opened
    kNotAFile,      // a holder file's name holds a link, a directory or a device
    kIoError,
  };
  struct Options {
    Mode mode = Mode::kShared;
    bool holder_file = false;  // the second kind above
  };

  // Opens `path` (creating it when missing) and locks it without waiting.
  // On a failure other than kLocked, *error (when given) says which call
  // failed on which path and why.
  [[nodiscard]] static Result Acquire(const std::string& path, const Options& options,
                                      std::unique_ptr<SystemFileLock>* lock, std::string* error = nullptr);

  // Replaces what the lock file holds with `text` (emptied first, so a
  // reader sees the old text, nothing, or the new text whole). False when it
  // cannot be written (a lock file opened read-only).
  [[nodiscard]] bool WriteHolder(std::string_view text);

  ~SystemFileLock();  // releases the lock
  SystemFileLock(const SystemFileLock&) = delete;
  SystemFileLock& operator=(const SystemFileLock&) = delete;

 private:
  explicit SystemFileLock(intptr_t file) : file_(file) {}
  const intptr_t file_;  // the lock file's descriptor or handle
};

// This process's id, as a holder line names it.
uint64_t CurrentProcessId();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_SYSTEM_FILE_LOCK_H_
