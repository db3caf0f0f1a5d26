// Processes and the environment on Windows: a program started and waited
// for with its exit code, arguments that reach it unchanged whatever blanks
// and quotes they hold, environment variables read back, and a file lock
// held against another process.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/native_env.h"
#include "platform/win32/win32_env.h"
#include "platform/testing/temp_dir.h"

namespace zov::platform {
namespace {

std::string Read(FileSystem& fs, const std::string& path) {
  std::string text;
  EXPECT_TRUE(fs.ReadFile(path, &text).ok()) << path;
  return text;
}

TEST(Win32ProcessTest, StartsWaitsAndReturnsTheExitCode) {
  std::unique_ptr<ProcessRunner> runner = NewNativeProcessRunner();
  for (int code : {0, 1, 3, 85, 255}) {
    int exit_code = -1;
    ASSERT_TRUE(runner->RunAndWait(WIN32_CHILD, {"exit", std::to_string(code)}, &exit_code).ok());
    EXPECT_EQ(exit_code, code);
  }
  int exit_code = -1;
  EXPECT_EQ(runner->RunAndWait("Z:\\no\\such\\program.exe", {}, &exit_code).code(), Status::Code::kNotFound);
}

// The CSV path under a user profile's TEMP often holds a blank.
TEST(Win32ProcessTest, ArgumentsArriveUnchanged) {
  TempDir dir;
  std::unique_ptr<FileSystem> fs = NewNativeFileSystem();
  std::unique_ptr<ProcessRunner> runner = NewNativeProcessRunner();
  const std::vector<std::string> args = {
      "C:\\Users\\Anna Puig\\AppData\\Local\\Temp\\AB12CD34.CSV",
      "plain",
      "",
      "say \"hi\"",
      "ends in backslash\\",
      "a&b;c,d=e",
      "\\\\server\\share\\x.csv",
  };
  std::vector<std::string> all = {"args", dir.path() + "args.txt"};
  all.insert(all.end(), args.begin(), args.end());
  int exit_code = -1;
  ASSERT_TRUE(runner->RunAndWait(WIN32_CHILD, all, &exit_code).ok());
  ASSERT_EQ(exit_code, 0);
  std::string want;
  for (const std::string& a : args) want += a + "\n";
  EXPECT_EQ(Read(*fs, dir.path() + "args.txt"), want);
}

// The run lock between processes (LockFileEx): another process is refused
// while this one holds it, reading who holds it, and takes it once released.
TEST(Win32ProcessTest, AFileLockIsHeldAgainstOtherProcesses) {
  TempDir dir;
  std::unique_ptr<FileSystem> fs = NewNativeFileSystem();
  std::unique_ptr<ProcessRunner> runner = NewNativeProcessRunner();
  const std::string lock_file = dir.path() + "dazorov1.lck";
  std::unique_ptr<FileLock> held;
  ASSERT_TRUE(fs->TryLockFile(lock_file, "the test", &held).ok());
  int exit_code = -1;
  ASSERT_TRUE(runner->RunAndWait(WIN32_CHILD, {"lock", lock_file, dir.path() + "first.txt"}, &exit_code).ok());
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(Read(*fs, dir.path() + "first.txt"), "busy: " + LockHolderLine("the test"));
  held.reset();
  ASSERT_TRUE(runner->RunAndWait(WIN32_CHILD, {"lock", lock_file, dir.path() + "second.txt"}, &exit_code).ok());
  EXPECT_EQ(Read(*fs, dir.path() + "second.txt"), "taken");
}

TEST(Win32ProcessTest, CommandLinesQuoteOnlyWhatNeedsIt) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"/C", "DEDADO.EXE", "C:\\TEMP\\AB12CD34.CSV"}, "C:\\cmd.exe /C DEDADO.EXE C:\\TEMP\\AB12CD34.CSV"},
      {{"/C", "DEDADO.EXE", "C:\\Users\\A B\\X.CSV"}, "C:\\cmd.exe /C DEDADO.EXE \"C:\\Users\\A B\\X.CSV\""},
      {{"a\\\"b", "c d\\"}, "C:\\cmd.exe \"a\\\\\\\"b\" \"c d\\\\\""},
      {{""}, "C:\\cmd.exe \"\""},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteCommandLine("C:\\cmd.exe", c.args), c.line) << c.line;
}

TEST(Win32EnvironmentTest, ReadsVariablesAndTellsUnsetFromEmpty) {
  std::unique_ptr<Environment> env = NewNativeEnvironment();
  EXPECT_EQ(env->Get("ZOV_SURELY_UNSET_VARIABLE"), std::nullopt);
  const std::optional<std::string> comspec = env->Get("COMSPEC");
  ASSERT_TRUE(comspec.has_value());
  EXPECT_NE(comspec->find("cmd.exe"), std::string::npos) << *comspec;
  // Names are looked up without regard to case, as Windows does.
  EXPECT_EQ(env->Get("comspec"), comspec);
  // What a child process inherits.
  TempDir dir;
  std::unique_ptr<FileSystem> fs = NewNativeFileSystem();
  int exit_code = -1;
  ASSERT_TRUE(NewNativeProcessRunner()->RunAndWait(WIN32_CHILD, {"env", "ZOV_TEST_BIN", dir.path() + "env.txt"},
                                                  &exit_code).ok());
  EXPECT_EQ(Read(*fs, dir.path() + "env.txt"), env->GetOrEmpty("ZOV_TEST_BIN"));
}

TEST(Win32ClockTest, DateAndTimeAreInRange) {
  std::unique_ptr<Clock> clock = NewNativeClock();
  const CivilDate today = clock->Today();
  EXPECT_GE(today.year, 2024);
  EXPECT_TRUE(today.month >= 1 && today.month <= 12);
  EXPECT_TRUE(today.day >= 1 && today.day <= 31);
  const int32_t now = clock->HundredthsSinceMidnight();
  EXPECT_TRUE(now >= 0 && now < 8640000) << now;
  const int64_t before = clock->MonotonicMicros();
  clock->SleepMillis(20);
  EXPECT_GE(clock->MonotonicMicros() - before, 15000);
}

}  // namespace
}  // namespace zov::platform
