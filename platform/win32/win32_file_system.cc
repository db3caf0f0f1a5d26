#include "platform/win32/win32_file_system.h"

#include <windows.h>
// The FileSystem's methods share their names with these macros.
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef RemoveDirectory

#include <algorithm>
#include <cstring>

#include "platform/code_page.h"
#include "platform/win32/wide.h"

namespace zov::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The attribute bits a directory entry reports: the system's bits have the
// values of FileAttribute.
constexpr DWORD kEntryAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;

std::wstring WidePath(std::string_view name) {
  std::wstring path = Cp850ToWide(name);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

// Closes *handle once; later calls do nothing.
Status CloseOnce(HANDLE* handle, const std::string& path) {
  if (*handle == INVALID_HANDLE_VALUE) return Status::Ok();
  const BOOL closed = ::CloseHandle(*handle);
  *handle = INVALID_HANDLE_VALUE;
  if (!closed) return Win32Error("CloseHandle", path, ::GetLastError());
  return Status::Ok();
}

// Writes all of data, at offset or (append handles) at the end.
Status WriteAll(HANDLE handle, std::string_view data, uint64_t offset, bool positioned, const std::string& path) {
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
    DWORD written = 0;
    OVERLAPPED o = At(offset + done);
    if (!::WriteFile(handle, data.data() + done, chunk, &written, positioned ? &o : nullptr)) {
      return Win32Error("WriteFile", path, ::GetLastError());
    }
    if (written == 0) return Status::IoError("WriteFile " + path + ": nothing written");
    done += written;
  }
  return Status::Ok();
}

class Win32ByteFile : public ByteFile {
 public:
  Win32ByteFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32ByteFile() override { Close().IgnoreError(); }

  Status Read(uint64_t offset, std::size_t n, std::string* out) override {
    out->assign(n, '\0');
    std::size_t done = 0;
    while (done < n) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
      DWORD got = 0;
      OVERLAPPED o = At(offset + done);
      if (!::ReadFile(handle_, out->data() + done, chunk, &got, &o)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF) break;
        out->clear();
        return Win32Error("ReadFile", path_, error);
      }
      if (got == 0) break;
      done += got;
    }
    out->resize(done);
    return Status::Ok();
  }
  Status Write(uint64_t offset, std::string_view data) override { return WriteAll(handle_, data, offset, true, path_); }
  Status Size(uint64_t* size) override {
    LARGE_INTEGER n;
    if (!::GetFileSizeEx(handle_, &n)) return Win32Error("GetFileSizeEx", path_, ::GetLastError());
    *size = static_cast<uint64_t>(n.QuadPart);
    return Status::Ok();
  }
  Status Sync() override {
    if (!::FlushFileBuffers(handle_)) return Win32Error("FlushFileBuffers", path_, ::GetLastError());
    return Status::Ok();
  }
  Status Close() override { return CloseOnce(&handle_, path_); }

 private:
  HANDLE handle_;
  std::string path_;
};

class Win32AppendFile : public AppendFile {
 public:
  Win32AppendFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32AppendFile() override { Close().IgnoreError(); }
  Status Append(std::string_view data) override {
    if (handle_ == INVALID_HANDLE_VALUE) return Status::IoError("append to closed file " + path_);
    return WriteAll(handle_, data, 0, false, path_);
  }
  Status Close() override { return CloseOnce(&handle_, path_); }

 private:
  HANDLE handle_;
  std::string path_;
};

constexpr int kRenameWaitMillis = 2000;
constexpr int kRenameRetryMillis = 5;

// Renames over a file that others may hold open, as POSIX rename() does;
// where the system cannot (before Windows 10 1809, FAT, Wine), false and
// nothing changed.
bool RenameWithPosixSemantics(const std::wstring& from, const std::wstring& to) {
  constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
  constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
  const DWORD n = ::GetFullPathNameW(to.c_str(), 0, nullptr, nullptr);
  if (n == 0) return false;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(to.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return false;
  full.resize(got);
  HANDLE h = ::CreateFileW(from.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const std::size_t bytes = full.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  const DWORD flags = kReplaceIfExists | kPosixSemantics;
  std::memcpy(buffer.data(), &flags, sizeof flags);  // the Flags member overlays ReplaceIfExists
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(bytes);
  std::memcpy(info->FileName, full.data(), bytes);
  const BOOL renamed =
      ::SetFileInformationByHandle(h, kFileRenameInfoEx, info, static_cast<DWORD>(buffer.size()));
  ::CloseHandle(h);
  return renamed != FALSE;
}

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// The entry as the program sees it; false for "." and ".." and for a name
// code page 850 cannot hold, which is no name the program could use.
bool EntryOf(const WIN32_FIND_DATAW& found, DirEntry* entry) {
  if (IsDotOrDotDot(found.cFileName) || !WideToCp850Exact(found.cFileName, &entry->name)) return false;
  entry->attributes = found.dwFileAttributes & kEntryAttributes;
  entry->size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return true;
}

class Win32FileSystem : public FileSystem {
 public:
  // The system itself takes both separators and any letter case.
  std::string Resolve(std::string_view name) override { return std::string(name); }

  // Owner-only creation has no mode bits to set here: a new file takes the
  // inherited ACL of its folder (TEMP lies in the user's own profile).
  Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) override {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    switch (mode) {
      case OpenMode::kReadOnly:
        access = GENERIC_READ;
        disposition = OPEN_EXISTING;
        break;
      case OpenMode::kReadWriteCreate: break;
      case OpenMode::kCreateTruncate: disposition = CREATE_ALWAYS; break;
      case OpenMode::kCreateNew:  // fails on any entry, a link included
      case OpenMode::kCreateNewShared: disposition = CREATE_NEW; break;
    }
    if (mode == OpenMode::kCreateTruncate) {
      if (Status s = RefuseLink(name); !s.ok()) return s;
    }
    HANDLE h = ::CreateFileW(WidePath(name).c_str(), access, kShareAll, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Win32Error("CreateFileW", name, ::GetLastError());
    if (Status s = RefuseNonDisk(h, name); !s.ok()) return s;
    *file = std::make_unique<Win32ByteFile>(h, Resolve(name));
    return Status::Ok();
  }

  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) override {
    if (Status s = RefuseLink(name); !s.ok()) return s;
    HANDLE h = ::CreateFileW(WidePath(name).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, kShareAll, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Win32Error("CreateFileW", name, ::GetLastError());
    if (Status s = RefuseNonDisk(h, name); !s.ok()) return s;
    *file = std::make_unique<Win32AppendFile>(h, Resolve(name));
    return Status::Ok();
  }

  Status DeleteFile(std::string_view name) override {
    if (!::DeleteFileW(WidePath(name).c_str())) return Win32Error("DeleteFileW", name, ::GetLastError());
    return Status::Ok();
  }

  Status RenameFile(std::string_view from, std::string_view to) override {
    const std::wstring source = WidePath(from), target = WidePath(to);
    if (RenameWithPosixSemantics(source, target)) return Status::Ok();
    // The target cannot be replaced while another program has it open: the
    // suite's programs hold their settings files only for a moment.
    DWORD error = ERROR_SUCCESS;
    for (int waited = 0;; waited += kRenameRetryMillis) {
      if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Status::Ok();
      }
      error = ::GetLastError();
      if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || waited >= kRenameWaitMillis) break;
      ::Sleep(kRenameRetryMillis);
    }
    return Win32Error("MoveFileExW", std::string(from) + " -> " + std::string(to), error);
  }

  // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
  Status RenameNoReplace(std::string_view from, std::string_view to) override {
    if (!::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
      return Win32Error("MoveFileExW", std::string(from) + " -> " + std::string(to), ::GetLastError());
    }
    return Status::Ok();
  }

  Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) override {
    const std::string path(name);
    return TrySystemFileLock(path, path, note, lock);
  }

  Status FindFirst(std::string_view pattern, DirEntry* entry) override {
    // A directory named with a separator at its end is found without it.
    std::wstring path = WidePath(pattern);
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') path.pop_back();
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES || error == ERROR_PATH_NOT_FOUND) {
        return Status::NotFound("no entry matches " + std::string(pattern));
      }
      return Win32Error("FindFirstFileW", pattern, error);
    }
    bool any = false;
    do {
      any = EntryOf(found, entry);
    } while (!any && ::FindNextFileW(h, &found));
    ::FindClose(h);
    if (!any) return Status::NotFound("no entry matches " + std::string(pattern));
    return Status::Ok();
  }

  Status ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) override {
    entries->clear();
    std::wstring pattern = WidePath(dir);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L':') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_NOT_FOUND) return Status::Ok();  // an empty drive root
      return Win32Error("FindFirstFileW", dir, error);
    }
    do {
      DirEntry entry;
      if (EntryOf(found, &entry)) entries->push_back(std::move(entry));
    } while (::FindNextFileW(h, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(h);
    if (error != ERROR_NO_MORE_FILES) return Win32Error("FindNextFileW", dir, error);
    return Status::Ok();
  }

  Status GetCurrentDirectory(std::string* dir) override {
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    const DWORD got = ::GetCurrentDirectoryW(n, buffer.data());
    if (got == 0 || got >= n) return Win32Error("GetCurrentDirectoryW", "", ::GetLastError());
    buffer.resize(got);
    if (!WideToCp850Exact(buffer, dir)) {
      return Status::InvalidArgument(NotInCodePage850("the current directory", WideToCp850(buffer)));
    }
    return Status::Ok();
  }

  Status SetCurrentDirectory(std::string_view dir) override {
    if (!::SetCurrentDirectoryW(WidePath(dir).c_str())) {
      return Win32Error("SetCurrentDirectoryW", dir, ::GetLastError());
    }
    return Status::Ok();
  }

  Status CreateDirectory(std::string_view dir) override {
    std::wstring path = WidePath(dir);
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return Win32Error("CreateDirectoryW", dir, ::GetLastError());
    return Status::Ok();
  }

  Status RemoveDirectory(std::string_view dir) override {
    std::wstring path = WidePath(dir);
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    if (!::RemoveDirectoryW(path.c_str())) return Win32Error("RemoveDirectoryW", dir, ::GetLastError());
    return Status::Ok();
  }

  // Directories cannot be flushed on Windows; the write-through rename has
  // already made the entry durable.
  Status SyncDirectoryOf(std::string_view) override { return Status::Ok(); }

  // FlushFileBuffers needs a handle that may write; several files at once.
  Status SyncFiles(const std::vector<std::string>& names) override {
    return SyncInParallel(names, [](const std::string& name) {
      HANDLE h = ::CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (h == INVALID_HANDLE_VALUE) return Win32Error("CreateFileW", name, ::GetLastError());
      if (Status refused = RefuseNonDisk(h, name); !refused.ok()) return refused;  // closed there
      Status s;
      if (!::FlushFileBuffers(h)) s = Win32Error("FlushFileBuffers", name, ::GetLastError());
      if (!::CloseHandle(h) && s.ok()) s = Win32Error("CloseHandle", name, ::GetLastError());
      return s;
    });
  }

  // The attributes that stand for a mode here (hidden, system; read-only is
  // never copied onto a file about to replace another). Owner and ACL need
  // nothing: the new file in the same folder inherits the same ACL.
  Status CopyPermissions(std::string_view from, std::string_view to) override {
    const DWORD attributes = ::GetFileAttributesW(WidePath(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Win32Error("GetFileAttributesW", from, ::GetLastError());
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (kept != 0 && !::SetFileAttributesW(WidePath(to).c_str(), kept | FILE_ATTRIBUTE_ARCHIVE)) {
      return Win32Error("SetFileAttributesW", to, ::GetLastError());
    }
    return Status::Ok();
  }

 private:
  // The equivalent of O_NOFOLLOW: a reparse point (symbolic link, junction)
  // under the name is not written through. Creating one takes a privilege
  // ordinary users lack, so a check before the open is enough here.
  static Status RefuseLink(std::string_view name) {
    const DWORD attributes = ::GetFileAttributesW(WidePath(name).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return Status::InvalidArgument("open " + std::string(name) + ": a link; files are never written through one");
    }
    return Status::Ok();
  }

  // Only disk files: a named pipe or a device (CON, NUL, COM1) is refused and
  // the handle closed.
  static Status RefuseNonDisk(HANDLE h, std::string_view name) {
    if (::GetFileType(h) == FILE_TYPE_DISK) return Status::Ok();
    ::CloseHandle(h);
    return Status::InvalidArgument("open " + std::string(name) + ": not a regular file");
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewWin32FileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace zov::platform
