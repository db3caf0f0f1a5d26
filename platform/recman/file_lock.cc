#include "platform/recman/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/code_page.h"
#include "platform/recman/status.h"

namespace zov::platform {

int16_t FileLock::Acquire(const std::string& data_path, Mode mode, std::unique_ptr<FileLock>* lock) {
  const std::string path = Cp850ToUtf8Exact(data_path + "-lck");
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return kRmFileNotFound;
    if (error != EACCES && error != EPERM && error != EROFS) return kRmIoError;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // flock() needs no write access
    if (fd < 0) return kRmAccessDenied;
  }
  const int operation = (mode == Mode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  int rc;
  while ((rc = ::flock(fd, operation)) != 0 && errno == EINTR) {
  }
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? kRmFileLocked : kRmIoError;
  }
  lock->reset(new FileLock(fd));
  return kRmOk;
}

FileLock::~FileLock() { ::close(static_cast<int>(file_)); }

}  // namespace zov::platform
