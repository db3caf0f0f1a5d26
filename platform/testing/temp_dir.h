// A fresh directory for one test, removed with everything in it at the end.
// path() ends with "/", so file names can be appended directly; like every
// name the program uses, it is code page 850 text.
#ifndef ZOV_PLATFORM_TESTING_TEMP_DIR_H_
#define ZOV_PLATFORM_TESTING_TEMP_DIR_H_

#include <filesystem>
#include <string>

namespace zov::platform {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::filesystem::path native_;
  std::string path_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_TEMP_DIR_H_
