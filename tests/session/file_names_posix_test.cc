#include "session/file_names.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/testing/fake_env.h"

namespace zov::session {
namespace {

// Two processes taking CSV names in one directory at the same moment (the
// clock gives both the same hundredths) never share a file: each appends
// its mark to every file it got, and every file holds one mark.
TEST(UniqueFileNameProcessTest, ConcurrentProcessesNeverShareAFile) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  constexpr int kPerProcess = 300;
  std::vector<pid_t> children;
  for (char mark : {'a', 'b'}) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kPerProcess; ++i) {
        std::unique_ptr<platform::AppendFile> file;
        const std::string name = UniqueFileName(fake.env, fake.root(), "", ".CSV");
        if (!fake.env.fs->OpenAppendFile(name, &file).ok() || !file->Append(std::string(1, mark)).ok()) ++failures;
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(fake.base_fs().ListDirectory(fake.root(), &entries).ok());
  EXPECT_EQ(entries.size(), 2u * kPerProcess);
  int shared = 0;
  for (const platform::DirEntry& e : entries) shared += e.size != 1 ? 1 : 0;
  EXPECT_EQ(shared, 0) << "files holding both processes' rows";
}

}  // namespace
}  // namespace zov::session
