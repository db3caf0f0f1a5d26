// A FileSystem that forwards to another one and fails chosen calls: the Nth
// open, write, sync, rename (either kind), delete, append or lock (counting
// from 1), once or for good. Tests use it to show that a failure loses nothing and says what
// happened.
//
//   FaultFileSystem faulty(&fs);
//   faulty.FailAt(FaultFileSystem::Op::kRename, 1);
//   EXPECT_FALSE(WriteFileAtomically(faulty, name, "new").ok());
#ifndef ZOV_PLATFORM_TESTING_FAULT_FILE_SYSTEM_H_
#define ZOV_PLATFORM_TESTING_FAULT_FILE_SYSTEM_H_

#include <algorithm>
#include <iterator>
#include <memory>

#include "platform/file_system.h"

namespace zov::platform {

class FaultFileSystem : public FileSystemWrapper {
 public:
  enum class Op { kOpen, kWrite, kSync, kRename, kDelete, kAppend, kLock, kCount };

  using FileSystemWrapper::FileSystemWrapper;

  // Fails the nth call of op (1-based); with `sticky`, every later one too.
  void FailAt(Op op, int nth, bool sticky = false) {
    fail_at_[static_cast<int>(op)] = nth;
    sticky_[static_cast<int>(op)] = sticky;
  }
  int Calls(Op op) const { return calls_[static_cast<int>(op)]; }

  // Opening a byte file counts as kOpen; its writes as kWrite, its syncs as
  // kSync.
  Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) override;
  Status WriteFile(std::string_view name, std::string_view data) override {
    if (Fail(Op::kWrite, name)) return Injected("write", name);
    return FileSystemWrapper::WriteFile(name, data);
  }
  // Opening counts as kOpen, each append as kAppend.
  Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) override;
  Status DeleteFile(std::string_view name) override {
    if (Fail(Op::kDelete, name)) return Injected("delete", name);
    return FileSystemWrapper::DeleteFile(name);
  }
  Status RenameFile(std::string_view from, std::string_view to) override {
    if (Fail(Op::kRename, from)) return Injected("rename", from);
    return FileSystemWrapper::RenameFile(from, to);
  }
  Status RenameToExactName(std::string_view from, std::string_view to) override {
    if (Fail(Op::kRename, from)) return Injected("rename", from);
    return FileSystemWrapper::RenameToExactName(from, to);
  }
  Status RenameNoReplace(std::string_view from, std::string_view to) override {
    if (Fail(Op::kRename, from)) return Injected("rename", from);
    return FileSystemWrapper::RenameNoReplace(from, to);
  }
  // Each file named counts as a kSync.
  Status SyncFiles(const std::vector<std::string>& names) override {
    for (const std::string& name : names) {
      if (Fail(Op::kSync, name)) return Injected("sync", name);
    }
    return FileSystemWrapper::SyncFiles(names);
  }
  Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) override {
    if (Fail(Op::kLock, name)) return Injected("lock", name);
    return FileSystemWrapper::TryLockFile(name, note, lock);
  }

  // Only calls on files whose name ends in `suffix` are counted and failed
  // (".CSV": a folder where CSV files cannot be written, whatever else is).
  void OnlyNamesEndingIn(std::string suffix) { suffix_ = std::move(suffix); }

  // Counts calls afresh from here, as if none had been made.
  void ResetCounts() { std::fill(std::begin(calls_), std::end(calls_), 0); }

  // Counts a call of op on the file `name` and says whether it is to fail.
  bool Fail(Op op, std::string_view name) {
    if (!name.ends_with(suffix_)) return false;
    int i = static_cast<int>(op);
    ++calls_[i];
    if (fail_at_[i] == 0) return false;
    return sticky_[i] ? calls_[i] >= fail_at_[i] : calls_[i] == fail_at_[i];
  }
  static Status Injected(const char* what, std::string_view name) {
    return Status::IoError(std::string("injected ") + what + " failure: " + std::string(name));
  }

 private:
  int fail_at_[static_cast<int>(Op::kCount)] = {};
  bool sticky_[static_cast<int>(Op::kCount)] = {};
  int calls_[static_cast<int>(Op::kCount)] = {};
  std::string suffix_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAULT_FILE_SYSTEM_H_
