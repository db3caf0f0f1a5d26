// The loader on Windows: BTRCALL found under either export name and called
// with the Windows API convention, DLLs it cannot use refused, and the
// engine's exclusive open holding against a second process.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/recman/record_file.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "platform/native_env.h"
#include "tests/platform/recman/recman_test_util.h"

namespace zov::platform {
namespace {

using test::Le;
using test::Rec;
using test::Spec;

TEST(Win32LoaderTest, FindsBtrcallUnderEitherExportName) {
  test::ScratchDir dir;
  for (const char* dll : {RECMAN_BTRCALL_LIBRARY, BTRCALL_DECORATED_DLL}) {
    std::unique_ptr<RecordManager> rm;
    const Status s = NewLoadableRecordManager(dll, &rm);
    ASSERT_TRUE(s.ok()) << dll << ": " << s.message();
    const std::string path = dir.path() + (dll == std::string(RECMAN_BTRCALL_LIBRARY) ? "plain.dat" : "dec.dat");
    RecordFile f(*rm);
    ASSERT_EQ(f.Create(path, Spec()), kRmOk) << dll;
    ASSERT_EQ(f.Open(path), kRmOk) << dll;
    ASSERT_EQ(f.Insert(Rec(7, "SEVEN")), kRmOk) << dll;
    std::string key = Le(7, 4), record;
    EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk) << dll;
    EXPECT_EQ(record, Rec(7, "SEVEN")) << dll;
    EXPECT_EQ(f.Close(), kRmOk) << dll;
  }
}

TEST(Win32LoaderTest, RefusesADllItCannotUse) {
  struct Case {
    std::string path;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"Z:\\nonexistent\\zovrecman.dll", "cannot load"},
      {"kernel32.dll", "does not export BTRCALL"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<RecordManager> rm;
    const Status s = NewLoadableRecordManager(c.path, &rm);
    EXPECT_FALSE(s.ok()) << c.path;
    EXPECT_EQ(rm, nullptr) << c.path;
    EXPECT_NE(s.message().find(c.path), std::string::npos) << s.message();
    EXPECT_NE(s.message().find(c.reason), std::string::npos) << s.message();
  }
}

// The engine's locks hold between processes: the second process's open
// (its exit code is the status) against this one's.
TEST(Win32LoaderTest, LocksHoldBetweenTwoProcesses) {
  test::ScratchDir dir;
  const std::string path = dir.path() + "Shared.dat";
  std::unique_ptr<RecordManager> rm = NewSqliteRecordManager();
  RecordFile f(*rm);
  ASSERT_EQ(f.Create(path, Spec()), kRmOk);
  std::unique_ptr<ProcessRunner> runner = NewNativeProcessRunner();
  struct Case {
    int8_t held;   // this process's open mode, or 1 for none
    int8_t other;  // the second process's
    int want;
  } cases[] = {
      {-4, 0, kRmFileLocked}, {0, -4, kRmFileLocked}, {0, 0, kRmOk}, {0, -2, kRmOk}, {1, -4, kRmOk},
  };
  for (const Case& c : cases) {
    if (c.held != 1) {
      ASSERT_EQ(f.Open(path, c.held), kRmOk);
    }
    int exit_code = -1;
    const Status s = runner->RunAndWait(RECMAN_WORKER, {"open", path, std::to_string(c.other)}, &exit_code);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(exit_code, c.want) << "held " << int{c.held} << ", other " << int{c.other};
    if (c.held != 1) {
      EXPECT_EQ(f.Close(), kRmOk);
    }
  }
}

}  // namespace
}  // namespace zov::platform
