// What reaches standard output and standard error: code page 850 inside,
// UTF-8 on the way out, converted once, whatever the stream is connected to.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/native_env.h"
#include "platform/testing/fake_env.h"

namespace zov::platform {
namespace {

// What `write` puts on the descriptor `fd`, redirected to a file meanwhile.
std::string Captured(int fd, const std::function<void()>& write) {
  FakeEnv fake(FakeEnv::Files::kReal);
  const std::string file = fake.root() + "captured.txt";
  std::fflush(nullptr);
  const int saved = ::dup(fd);
  const int to = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
  ::dup2(to, fd);
  ::close(to);
  write();
  std::fflush(nullptr);
  ::dup2(saved, fd);
  ::close(saved);
  std::string text;
  EXPECT_TRUE(fake.base_fs().ReadFile(file, &text).ok());
  return text;
}

TEST(StandardStreamsTest, CodePage850GoesOutAsUtf8Once) {
  std::unique_ptr<NativeEnv> native;
  ASSERT_TRUE(NativeEnv::Create(&native).ok());
  struct Case {
    const char* what;
    int fd;
    std::function<void()> write;
    std::string utf8;
  };
  const Case cases[] = {
      {"error line", STDERR_FILENO,
       [&] { native->env().error_output->WriteLine("FITXER Administraci\xA2 Garc\xA1" "a\\a\nb\x1B[2J"); },
       "FITXER Administraci\u00F3 Garc\u00EDa\\a\u00B6b\u2190[2J\n"},
      {"standard output", STDOUT_FILENO, [&] { native->out() << "P\xB7GINA\t1\r\n" << std::flush; },
       "P\u00C0GINA\t1\r\n"},
      {"standard error", STDERR_FILENO, [&] { native->err() << "created " << "GARC\xD6" "A.dat\n"; },
       "created GARC\u00CDA.dat\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Captured(c.fd, c.write), c.utf8) << c.what;
}

}  // namespace
}  // namespace zov::platform
