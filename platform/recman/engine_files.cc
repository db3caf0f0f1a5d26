#include "platform/recman/engine_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/code_page.h"
#include "platform/recman/status.h"

namespace zov::platform {
namespace {

int16_t StatusFromErrno(int error, int16_t missing_status) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return missing_status;
    case EACCES:
    case EPERM:
    case EROFS: return kRmAccessDenied;
    case ENAMETOOLONG:
    case ELOOP: return kRmInvalidFileName;
    default: return kRmIoError;
  }
}

void SyncDirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int16_t InspectPath(const std::string& path, int16_t missing_status, PathKind* kind, FileIdentity* id) {
  struct stat st;
  if (::stat(Cp850ToUtf8Exact(path).c_str(), &st) != 0) {
    if (errno != ENOENT) return StatusFromErrno(errno, missing_status);
    *kind = PathKind::kMissing;
    return kRmOk;
  }
  *kind = S_ISREG(st.st_mode) ? PathKind::kFile : PathKind::kOther;
  *id = FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return kRmOk;
}

void RemoveFileIfPresent(const std::string& path) { ::unlink(Cp850ToUtf8Exact(path).c_str()); }

int16_t ReplaceDataFile(const std::string& from, const std::string& to, int16_t missing_status) {
  const std::string target = Cp850ToUtf8Exact(to);
  if (::rename(Cp850ToUtf8Exact(from).c_str(), target.c_str()) != 0) return StatusFromErrno(errno, missing_status);
  SyncDirectoryOf(target);
  return kRmOk;
}

}  // namespace zov::platform
