#include "platform/testing/fake_env.h"

#include <filesystem>

#include "platform/code_page.h"
#include "platform/native_env.h"

namespace zov::platform {
namespace {

constexpr std::string_view kMemoryRoot = "/test/";

std::unique_ptr<FileSystem> NewBase(const TempDir* temp_dir) {
  if (temp_dir != nullptr) return NewNativeFileSystem();
  return std::make_unique<MemoryFileSystem>();
}

}  // namespace

FakeEnv::FakeEnv(Files files)
    : temp_dir_(files == Files::kReal ? std::make_unique<TempDir>() : nullptr),
      base_(NewBase(temp_dir_.get())),
      root_(temp_dir_ ? temp_dir_->path() : std::string(kMemoryRoot)) {
  if (!temp_dir_) {
    memory_ = static_cast<MemoryFileSystem*>(base_.get());
    base_->CreateDirectory(root_).IgnoreError();
  }
}

Status FakeEnv::SetReadOnly(const std::string& name) {
  if (memory_ != nullptr) return memory_->SetReadOnly(name, true);
  std::error_code error;
  const std::string utf8 = Cp850ToUtf8Exact(base_->Resolve(name));
  const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
  std::filesystem::permissions(path, std::filesystem::perms::owner_read, error);
  if (error) return Status::IoError("chmod " + name + ": " + error.message());
  return Status::Ok();
}

}  // namespace zov::platform
