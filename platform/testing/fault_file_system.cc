#include "platform/testing/fault_file_system.h"

namespace zov::platform {
namespace {

// Forwards to the real file and consults the owner for writes and syncs.
class FaultByteFile : public ByteFile {
 public:
  FaultByteFile(FaultFileSystem* fs, std::unique_ptr<ByteFile> base, std::string name)
      : fs_(fs), base_(std::move(base)), name_(std::move(name)) {}
  Status Read(uint64_t offset, std::size_t n, std::string* out) override { return base_->Read(offset, n, out); }
  Status Write(uint64_t offset, std::string_view data) override {
    if (fs_->Fail(FaultFileSystem::Op::kWrite, name_)) return FaultFileSystem::Injected("write", name_);
    return base_->Write(offset, data);
  }
  Status Size(uint64_t* size) override { return base_->Size(size); }
  Status Sync() override {
    if (fs_->Fail(FaultFileSystem::Op::kSync, name_)) return FaultFileSystem::Injected("sync", name_);
    return base_->Sync();
  }
  Status Close() override { return base_->Close(); }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<ByteFile> base_;
  std::string name_;
};

class FaultAppendFile : public AppendFile {
 public:
  FaultAppendFile(FaultFileSystem* fs, std::unique_ptr<AppendFile> base, std::string name)
      : fs_(fs), base_(std::move(base)), name_(std::move(name)) {}
  Status Append(std::string_view data) override {
    if (fs_->Fail(FaultFileSystem::Op::kAppend, name_)) return FaultFileSystem::Injected("append", name_);
    return base_->Append(data);
  }
  Status Close() override { return base_->Close(); }

 private:
  FaultFileSystem* fs_;
  std::unique_ptr<AppendFile> base_;
  std::string name_;
};

}  // namespace

Status FaultFileSystem::OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) {
  if (Fail(Op::kOpen, name)) return Injected("open", name);
  std::unique_ptr<AppendFile> base;
  Status s = FileSystemWrapper::OpenAppendFile(name, &base);
  if (!s.ok()) return s;
  *file = std::make_unique<FaultAppendFile>(this, std::move(base), std::string(name));
  return Status::Ok();
}

Status FaultFileSystem::OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) {
  if (Fail(Op::kOpen, name)) return Injected("open", name);
  std::unique_ptr<ByteFile> base;
  Status s = FileSystemWrapper::OpenByteFile(name, mode, &base);
  if (!s.ok()) return s;
  *file = std::make_unique<FaultByteFile>(this, std::move(base), std::string(name));
  return Status::Ok();
}

}  // namespace zov::platform
