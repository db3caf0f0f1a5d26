// What reaches standard error when it is redirected (a file, a pipe): the
// code page 850 bytes unchanged, as the suite's files hold them; a line end
// inside an error line never splits it.
#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/native_env.h"
#include "platform/testing/fake_env.h"
#include "platform/win32/wide.h"

namespace zov::platform {
namespace {

TEST(Win32StandardStreamsTest, RedirectedErrorLinesAreCodePage850Bytes) {
  std::unique_ptr<NativeEnv> native;
  ASSERT_TRUE(NativeEnv::Create(&native).ok());
  FakeEnv fake(FakeEnv::Files::kReal);
  const std::string file = fake.root() + "captured.txt";
  std::fflush(stderr);
  const int saved = ::_dup(2);
  const int to = ::_wopen(Cp850ToWide(file).c_str(), _O_CREAT | _O_WRONLY | _O_TRUNC | _O_BINARY, 0600);
  ASSERT_GE(to, 0);
  ::_dup2(to, 2);
  ::_close(to);
  native->env().error_output->WriteLine("FITXER Administraci\xA2 Garc\xA1" "a\\a\nb");
  std::fflush(stderr);
  ::_dup2(saved, 2);
  ::_close(saved);
  std::string text;
  ASSERT_TRUE(fake.base_fs().ReadFile(file, &text).ok());
  EXPECT_EQ(text, "FITXER Administraci\xA2 Garc\xA1" "a\\a\xF4" "b\n");
}

}  // namespace
}  // namespace zov::platform
