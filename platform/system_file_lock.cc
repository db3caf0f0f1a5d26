#include "platform/system_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/code_page.h"

namespace zov::platform {
namespace {

using Result = SystemFileLock::Result;

Result Failed(const char* call, const std::string& path, int err, Result result, std::string* error) {
  if (error != nullptr) *error = std::string(call) + " " + path + ": " + std::strerror(err);
  return result;
}

Result ResultOfOpenError(int err) {
  if (err == ENOENT || err == ENOTDIR) return Result::kNotFound;
  if (err == EACCES || err == EPERM || err == EROFS) return Result::kAccessDenied;
  if (err == ELOOP || err == ENXIO || err == EISDIR) return Result::kNotAFile;
  return Result::kIoError;
}

// The engine's lock file: made for every user of the installation; one that
// cannot be opened for writing is locked through a read-only descriptor
// (flock() needs no write access).
int OpenSharedLockFile(const std::string& path, int* err) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) return fd;
  *err = errno;
  if (*err != EACCES && *err != EPERM && *err != EROFS) return -1;
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) *err = errno;
  return fd;
}

// A holder file: owner-only, never through a link, only a regular file (a
// FIFO planted under the name must not make the open wait).
int OpenHolderFile(const std::string& path, int* err) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) {
    *err = errno;
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    *err = errno;
  } else if (!S_ISREG(st.st_mode)) {
    *err = ENXIO;
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

SystemFileLock::Result SystemFileLock::Acquire(const std::string& path, const Options& options,
                                               std::unique_ptr<SystemFileLock>* lock, std::string* error) {
  // Names are code page 850 inside, UTF-8 on disk.
  const std::string native = Cp850ToUtf8Exact(path);
  int err = 0;
  const int fd = options.holder_file ? OpenHolderFile(native, &err) : OpenSharedLockFile(native, &err);
  if (fd < 0) return Failed("open", path, err, ResultOfOpenError(err), error);
  const int operation = (options.mode == Mode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  int rc;
  while ((rc = ::flock(fd, operation)) != 0 && errno == EINTR) {
  }
  if (rc != 0) {
    err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? Result::kLocked : Failed("flock", path, err, Result::kIoError, error);
  }
  lock->reset(new SystemFileLock(fd));
  return Result::kOk;
}

bool SystemFileLock::WriteHolder(std::string_view text) {
  const int fd = static_cast<int>(file_);
  if (::ftruncate(fd, 0) != 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

SystemFileLock::~SystemFileLock() { ::close(static_cast<int>(file_)); }

uint64_t CurrentProcessId() { return static_cast<uint64_t>(::getpid()); }

}  // namespace zov::platform
