#include "platform/testing/temp_dir.h"

#include <random>

#include "platform/code_page.h"

namespace zov::platform {

// Under the system's directory for temporary files (TMPDIR, or /tmp, on
// POSIX; TMP or TEMP on Windows), named at random.
TempDir::TempDir() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  std::random_device device;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path dir = base / ("zovtest-" + std::to_string(device()));
    if (std::filesystem::create_directory(dir, ec)) {
      native_ = dir;
      const std::u8string utf8 = dir.u8string();
      path_ = Utf8ToCp850(std::string(utf8.begin(), utf8.end())) + "/";
    }
  }
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::permissions(native_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(native_, ec);
}

}  // namespace zov::platform
