#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/ascii.h"
#include "platform/code_page.h"

namespace zov::platform {
namespace {

// A native (UTF-8) path as the program names it: code page 850. Every native
// path here comes from a code page 850 name, so nothing is lost; a byte that
// could not be converted would show as "?".
std::string Shown(std::string_view native) { return Utf8ToCp850(native); }

// Every errno becomes a Status here, naming the call and the native path.
Status PosixError(const char* call, std::string_view path, int err) {
  std::string message = std::string(call) + " " + Shown(path) + ": " + std::strerror(err);
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return Status::NotFound(message);
    case EACCES:
    case EPERM:
    case EROFS:
      return Status::PermissionDenied(message);
    case EEXIST:
      return Status::AlreadyExists(message);
    case EBUSY:
    case ETXTBSY:
      return Status::Busy(message);
    default:
      return Status::IoError(message);
  }
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsLink(const std::string& dir, const char* entry, unsigned char type) {
  if (type != DT_UNKNOWN) return type == DT_LNK;
  struct stat st;
  return ::lstat((dir + entry).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Looks in `dir` for an entry equal to `component` without regard to case.
// A link is never such an entry: one planted under another letter case would
// send the program's reads and writes wherever it points.
bool FindComponent(const std::string& dir, std::string_view component, std::string* found) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return false;
  bool ok = false;
  while (struct dirent* e = ::readdir(d)) {
    if (EqualsIgnoringAsciiCase(e->d_name, component) && !IsLink(dir, e->d_name, e->d_type)) {
      *found = e->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(d);
  return ok;
}

uint32_t AttributesOf(const struct stat& st, std::string_view name) {
  uint32_t attrs = 0;
  if (S_ISDIR(st.st_mode)) {
    attrs |= kAttrDirectory;
  } else if (S_ISREG(st.st_mode)) {
    attrs |= kAttrArchive;
  } else {
    attrs |= kAttrSystem;  // devices, sockets, pipes: not ordinary files
  }
  if ((st.st_mode & 0222) == 0) attrs |= kAttrReadOnly;
  if (!name.empty() && name[0] == '.') attrs |= kAttrHidden;
  return attrs;
}

std::string BaseName(const std::string& path) {
  std::size_t pos = path.find_last_of('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

Status WriteAll(int fd, std::string_view data, uint64_t offset, bool positioned, std::string_view path) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = positioned ? ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done))
                           : ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return PosixError("write", path, errno);
    }
    done += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

// Opens a regular file. O_NONBLOCK keeps the open of a FIFO from waiting for
// its other end; anything but a regular file is refused, and the descriptor
// is made blocking again. With O_NOFOLLOW a link under the name is refused.
// New files get `create_mode`. A file made by this open (O_CREAT with
// O_EXCL) is a new regular file, so it needs neither the check nor the
// non-blocking open.
Status OpenRegularFile(const std::string& path, int flags, mode_t create_mode, int* fd_out) {
  const bool made_here = (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL);
  int fd = ::open(path.c_str(), flags | (made_here ? 0 : O_NONBLOCK) | O_CLOEXEC, create_mode);
  if (fd < 0) {
    const int err = errno;
    if (err == ELOOP && (flags & O_NOFOLLOW) != 0) {
      return Status::InvalidArgument("open " + Shown(path) + ": a link; files are never written through one");
    }
    if (err == ENXIO || err == EISDIR) return Status::InvalidArgument("open " + Shown(path) + ": not a regular file");
    return PosixError("open", path, err);
  }
  if (made_here) {
    *fd_out = fd;
    return Status::Ok();
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return PosixError("fstat", path, err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return Status::InvalidArgument("open " + Shown(path) + ": not a regular file");
  }
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
    const int err = errno;
    ::close(fd);
    return PosixError("fcntl", path, err);
  }
  *fd_out = fd;
  return Status::Ok();
}

// Closes *fd once; later calls do nothing.
Status CloseDescriptor(int* fd, const std::string& path) {
  if (*fd < 0) return Status::Ok();
  int r = ::close(*fd);
  *fd = -1;
  if (r != 0) return PosixError("close", path, errno);
  return Status::Ok();
}

class PosixByteFile : public ByteFile {
 public:
  PosixByteFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixByteFile() override { Close().IgnoreError(); }

  Status Read(uint64_t offset, std::size_t n, std::string* out) override {
    out->assign(n, '\0');
    std::size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(fd_, out->data() + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        out->clear();
        return PosixError("read", path_, errno);
      }
      if (r == 0) break;
      done += static_cast<std::size_t>(r);
    }
    out->resize(done);
    return Status::Ok();
  }
  Status Write(uint64_t offset, std::string_view data) override {
    return WriteAll(fd_, data, offset, true, path_);
  }
  Status Size(uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return PosixError("fstat", path_, errno);
    *size = static_cast<uint64_t>(st.st_size);
    return Status::Ok();
  }
  Status Sync() override {
    if (::fsync(fd_) != 0) return PosixError("fsync", path_, errno);
    return Status::Ok();
  }
  Status Close() override { return CloseDescriptor(&fd_, path_); }

 private:
  int fd_;
  std::string path_;
};

class PosixAppendFile : public AppendFile {
 public:
  PosixAppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixAppendFile() override { Close().IgnoreError(); }
  Status Append(std::string_view data) override {
    if (fd_ < 0) return Status::IoError("append to closed file " + Shown(path_));
    return WriteAll(fd_, data, 0, false, path_);
  }
  Status Close() override { return CloseDescriptor(&fd_, path_); }

 private:
  int fd_;
  std::string path_;
};

class PosixFileSystem : public FileSystem {
 public:
  // Names come in as code page 850 and are found on disk as UTF-8; the
  // names that go back out (resolved, listed, the current directory) are
  // code page 850 again.
  std::string Resolve(std::string_view name) override { return Shown(Native(name)); }

  Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) override {
    // A new name is not looked up in its directory: only the directory is.
    const bool create_new = mode == OpenMode::kCreateNew || mode == OpenMode::kCreateNewShared;
    std::string path = create_new ? ResolveNewName(name) : Native(name);
    int flags = 0;
    mode_t create_mode = 0644;
    switch (mode) {
      case OpenMode::kReadOnly: flags = O_RDONLY; break;
      case OpenMode::kReadWriteCreate: flags = O_RDWR | O_CREAT; break;
      case OpenMode::kCreateTruncate:
        flags = O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW;
        create_mode = 0600;
        break;
      case OpenMode::kCreateNew:
        flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
        create_mode = 0600;
        break;
      case OpenMode::kCreateNewShared: flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    int fd = -1;
    Status s = OpenRegularFile(path, flags, create_mode, &fd);
    if (!s.ok()) return s;
    *file = std::make_unique<PosixByteFile>(fd, path);
    return Status::Ok();
  }

  Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) override {
    std::string path = Native(name);
    int fd = -1;
    Status s = OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW, 0600, &fd);
    if (!s.ok()) return s;
    *file = std::make_unique<PosixAppendFile>(fd, path);
    return Status::Ok();
  }

  Status DeleteFile(std::string_view name) override {
    std::string path = Native(name);
    if (::unlink(path.c_str()) != 0) return PosixError("unlink", path, errno);
    return Status::Ok();
  }

  Status RenameFile(std::string_view from, std::string_view to) override {
    std::string a = Native(from);
    std::string b = Native(to);
    if (::rename(a.c_str(), b.c_str()) != 0) return PosixError("rename", a + " -> " + b, errno);
    return Status::Ok();
  }

  Status RenameToExactName(std::string_view from, std::string_view to) override {
    std::string a = Native(from);
    std::string b = ResolveNewName(to);
    if (::rename(a.c_str(), b.c_str()) != 0) return PosixError("rename", a + " -> " + b, errno);
    return Status::Ok();
  }

  Status RenameNoReplace(std::string_view from, std::string_view to) override {
    const std::string a = Native(from);
    const std::string b = ResolveNewName(to);
    const std::string what = a + " -> " + b;
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0) return Status::Ok();
    if (errno != EINVAL && errno != ENOSYS) return PosixError("rename", what, errno);
#endif
    // Where the file system lacks the flag: the new name is made a second
    // link, which fails when the name is taken, and the old name dropped.
    if (::link(a.c_str(), b.c_str()) != 0) return PosixError("link", what, errno);
    if (::unlink(a.c_str()) != 0) {
      const int err = errno;
      ::unlink(b.c_str());
      return PosixError("unlink", a, err);
    }
    return Status::Ok();
  }

  Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) override {
    const std::string path = Resolve(name);  // code page 850, as the lock takes it
    return TrySystemFileLock(path, path, note, lock);
  }

  Status FindFirst(std::string_view pattern, DirEntry* entry) override {
    std::string dir = DirectoryPart(pattern);
    std::string last(pattern.substr(dir.size()));
    if (last.find_first_of("*?") == std::string::npos) {
      std::string path = Native(pattern);
      struct stat st;
      if (::lstat(path.c_str(), &st) != 0) return PosixError("stat", path, errno);
      if (!Utf8ToCp850Exact(BaseName(path), &entry->name)) return Unnamable(path);
      entry->attributes = AttributesOf(st, entry->name);
      entry->size = static_cast<uint64_t>(st.st_size);
      return Status::Ok();
    }
    return FindFirstByListing(*this, pattern, entry);
  }

  Status ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) override {
    entries->clear();
    std::string path = dir.empty() ? std::string(".") : Native(dir);
    DIR* d = ::opendir(path.c_str());
    if (d == nullptr) return PosixError("opendir", path, errno);
    std::string prefix = path;
    if (prefix.back() != '/') prefix += '/';
    while (struct dirent* e = ::readdir(d)) {
      const std::string native = e->d_name;
      if (native == "." || native == "..") continue;
      // A name code page 850 cannot hold is no name the program could use.
      std::string name;
      if (!Utf8ToCp850Exact(native, &name)) continue;
      struct stat st;
      if (::lstat((prefix + native).c_str(), &st) != 0) continue;  // vanished meanwhile
      entries->push_back(DirEntry{name, AttributesOf(st, name), static_cast<uint64_t>(st.st_size)});
    }
    ::closedir(d);
    return Status::Ok();
  }

  Status GetCurrentDirectory(std::string* dir) override {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return PosixError("getcwd", "", errno);
    if (!Utf8ToCp850Exact(buffer, dir)) return Unnamable(buffer);
    return Status::Ok();
  }

  Status SetCurrentDirectory(std::string_view dir) override {
    std::string path = Native(dir);
    if (::chdir(path.c_str()) != 0) return PosixError("chdir", path, errno);
    return Status::Ok();
  }

  Status CreateDirectory(std::string_view dir) override {
    std::string path = Native(dir);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (::mkdir(path.c_str(), 0755) != 0) return PosixError("mkdir", path, errno);
    return Status::Ok();
  }

  Status RemoveDirectory(std::string_view dir) override {
    std::string path = Native(dir);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (::rmdir(path.c_str()) != 0) return PosixError("rmdir", path, errno);
    return Status::Ok();
  }

  Status SyncDirectoryOf(std::string_view name) override {
    std::string path = Native(name);
    std::size_t pos = path.find_last_of('/');
    std::string dir = pos == std::string::npos ? "." : (pos == 0 ? "/" : path.substr(0, pos));
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return PosixError("open", dir, errno);
    Status s;
    if (::fsync(fd) != 0) s = PosixError("fsync", dir, errno);
    ::close(fd);
    return s;
  }

  // Each file opened for reading (fsync needs no more), never through a
  // link, and synced; several at once.
  Status SyncFiles(const std::vector<std::string>& names) override {
    return SyncInParallel(names, [](const std::string& name) {
      const std::string path = Native(name);
      int fd = -1;
      Status s = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, 0, &fd);
      if (!s.ok()) return s;
      if (::fsync(fd) != 0) s = PosixError("fsync", path, errno);
      if (::close(fd) != 0 && s.ok()) s = PosixError("close", path, errno);
      return s;
    });
  }

  // The mode of the file a link points to, not the link's own (always 0777).
  Status CopyPermissions(std::string_view from, std::string_view to) override {
    const std::string a = Native(from);
    const std::string b = Native(to);
    struct stat st;
    if (::stat(a.c_str(), &st) != 0) return PosixError("stat", a, errno);
    // Owner first: changing it may clear the set-id bits chmod then restores.
    // Only the superuser may give a file away, and only a member may give
    // a group: either refusal leaves the new file as its creator's.
    if (::chown(b.c_str(), st.st_uid, st.st_gid) != 0 && ::chown(b.c_str(), static_cast<uid_t>(-1), st.st_gid) != 0) {
      if (errno != EPERM) return PosixError("chown", b, errno);
    }
    if (::chmod(b.c_str(), st.st_mode & 07777) != 0) return PosixError("chmod", b, errno);
    return Status::Ok();
  }

 private:
  // The native path of a suite name: UTF-8, separators converted, missing
  // components matched without regard to case.
  static std::string Native(std::string_view name) {
    return ResolveIgnoringCase(Cp850ToUtf8Exact(name), PathExists, FindComponent);
  }

  // The native path of a name about to be created: its directory resolved,
  // its last component exactly as given.
  static std::string ResolveNewName(std::string_view name) {
    const std::string dir = DirectoryPart(name);
    std::string path = dir.empty() ? std::string() : Native(dir);
    if (!path.empty() && path.back() != '/') path += '/';
    return path + Cp850ToUtf8Exact(name.substr(dir.size()));
  }

  static Status Unnamable(std::string_view native) {
    return Status::InvalidArgument(NotInCodePage850("the name", Shown(native)));
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewPosixFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace zov::platform
