#include "platform/testing/temp_dir.h"

#include <cstdlib>
#include <filesystem>

namespace zov::platform {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/zovtest-XXXXXX";
  char* made = ::mkdtemp(pattern.data());
  path_ = made ? std::string(made) + "/" : std::string();
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

}  // namespace zov::platform
