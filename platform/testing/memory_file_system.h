// A FileSystem held in memory, for tests that do not need real files: the
// names, letter-case matching, attributes and errors of the POSIX one (the
// file-system contract tests run over both), and nothing on disk.
//
//   MemoryFileSystem fs;
//   Status s = fs.CreateDirectory("/data");
//   s = fs.WriteFile("/data/Orva.ini", "[Usuari]\r\nIdioma=SPA\r\n");
//   fs.SetReadOnly("/DATA/orva.ini", true);
//
// Paths use "/" or "\"; a path that starts with "/" is absolute, any other
// is taken from the current directory (at first "/", which always exists).
// Entries whose name starts with "." are hidden. A file open for reading or
// writing keeps its bytes when its entry is deleted or renamed over, as on
// POSIX. Safe to use from several threads.
#ifndef ZOV_PLATFORM_TESTING_MEMORY_FILE_SYSTEM_H_
#define ZOV_PLATFORM_TESTING_MEMORY_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace zov::platform {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  std::string Resolve(std::string_view name) override;
  Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) override;
  Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) override;
  Status DeleteFile(std::string_view name) override;
  Status RenameFile(std::string_view from, std::string_view to) override;
  Status FindFirst(std::string_view pattern, DirEntry* entry) override;
  Status ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) override;
  Status GetCurrentDirectory(std::string* dir) override;
  Status SetCurrentDirectory(std::string_view dir) override;
  Status CreateDirectory(std::string_view dir) override;
  Status RemoveDirectory(std::string_view dir) override;
  Status SyncDirectoryOf(std::string_view name) override;
  // Copies the read-only attribute, the only permission this store keeps.
  Status CopyPermissions(std::string_view from, std::string_view to) override;
  Status RenameNoReplace(std::string_view from, std::string_view to) override;
  // Locks are kept with the tree: a lock conflicts with every other lock of
  // the same file taken through this store.
  Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) override;

  // Sets or clears the read-only attribute of an existing entry (a file
  // without write permission): opening it for writing is then refused.
  // NotFound when there is no such entry.
  Status SetReadOnly(std::string_view name, bool read_only);

  struct State;  // the tree, shared with the open files

 private:
  std::shared_ptr<State> state_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_MEMORY_FILE_SYSTEM_H_
