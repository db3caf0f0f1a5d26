#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/recman/fp_control.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "tests/platform/recman/recman_test_util.h"

namespace zov::platform {
namespace {

using test::Le;
using test::Rec;
using test::Spec;

struct FpState {
  uint16_t control_word = kStandardX87ControlWord;
  uint32_t mxcsr = kStandardMxcsr;
  bool operator==(const FpState&) const = default;
};

FpState ReadFpState() {
  FpState s;
#if defined(__x86_64__)
  __asm__ __volatile__("fnstcw %0" : "=m"(s.control_word));
  __asm__ __volatile__("stmxcsr %0" : "=m"(s.mxcsr));
#endif
  return s;
}

void ScrambleFpState() {
#if defined(__x86_64__)
  const uint16_t control_word = 0x0E7F;  // 53-bit precision, round toward zero
  const uint32_t mxcsr = 0x7F80;         // round toward zero
  __asm__ __volatile__("fldcw %0" : : "m"(control_word));
  __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
#endif
}

std::string Describe(const FpState& s) {
  return "control word " + std::to_string(s.control_word) + ", mxcsr " + std::to_string(s.mxcsr);
}

TEST(LoadableRecordManagerTest, RefusesALibraryItCannotUse) {
  struct Case {
    std::string path;
    Status::Code code;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"/nonexistent/librecman.so", Status::Code::kIoError, "cannot load"},
      {"libm.so.6", Status::Code::kInvalidArgument, "does not export BTRCALL"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<RecordManager> rm;
    const Status s = NewLoadableRecordManager(c.path, &rm);
    EXPECT_EQ(s.code(), c.code) << c.path;
    EXPECT_EQ(rm, nullptr) << c.path;
    EXPECT_NE(s.message().find(c.path), std::string::npos) << s.message();
    EXPECT_NE(s.message().find(c.reason), std::string::npos) << s.message();
  }
}

// One scripted session; every call's status, lengths and output bytes.
std::vector<std::string> RunScript(RecordManager& rm, const std::string& path) {
  std::vector<std::string> log;
  RecordFile f(rm);
  auto note = [&](const std::string& what, int16_t st, const std::string& out = "") {
    log.push_back(what + " -> " + std::to_string(st) + " " + out);
  };
  note("create", f.Create(path, Spec(), -1));
  note("create again", f.Create(path, Spec(), -1));
  note("open", f.Open(path, -4));
  for (uint32_t n : {30u, 10u, 20u}) note("insert", f.Insert(Rec(n, "N" + std::to_string(n))));
  std::string key = Le(20, 4), record;
  note("equal", f.Get(kOpGetEqual, 0, &key, &record), key + record);
  note("next", f.Get(kOpGetNext, 0, &key, &record), key + record);
  note("next", f.Get(kOpGetNext, 0, &key, &record), key + record);
  std::string name = "N10   ";
  note("equal by name, short buffer", f.Get(kOpGetEqual, 1, &name, &record, 7), name + record);
  note("previous", f.Get(kOpGetPrevious, 1, &name, &record), name + record);
  note("wrong key", f.Get(kOpGetPrevious, 0, &key, &record), key + record);
  std::string stat;
  note("stat", f.Stat(&stat), stat);
  note("close", f.Close());
  note("closed", f.Get(kOpGetFirst, 0, &key, &record));
  return log;
}

TEST(LoadableRecordManagerTest, AnswersLikeTheEngineAndRestoresFloatingPoint) {
  std::unique_ptr<RecordManager> loaded;
  const Status s = NewLoadableRecordManager(RECMAN_BTRCALL_LIBRARY, &loaded);
  ASSERT_TRUE(s.ok()) << s.message();
  std::unique_ptr<RecordManager> direct = NewSqliteRecordManager();
  test::ScratchDir dir;
  const std::vector<std::string> expected = RunScript(*direct, dir.path() + "direct.dat");
  const std::vector<std::string> got = RunScript(*loaded, dir.path() + "loaded.dat");
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]) << "call " << i;
  EXPECT_EQ(ReadFpState(), FpState()) << Describe(ReadFpState());
}

TEST(FloatingPointControlTest, EveryBackendSetsTheStandardStateBackAfterACall) {
  std::unique_ptr<RecordManager> loaded;
  const Status s = NewLoadableRecordManager(RECMAN_BTRCALL_LIBRARY, &loaded);
  ASSERT_TRUE(s.ok()) << s.message();
  std::unique_ptr<RecordManager> direct = NewSqliteRecordManager();
  for (RecordManager* rm : {direct.get(), loaded.get()}) {
    for (int op : {int{kOpGetFirst}, int{kOpReset}, int{kOpOpen}, 99}) {
      ScrambleFpState();
      uint8_t pos[kPositionBlockSize] = {};
      char buffer[255] = {};
      uint32_t len = sizeof buffer;
      (void)rm->Call(static_cast<uint16_t>(op), pos, buffer, &len, buffer, 255, 0);
      const FpState after = ReadFpState();
      EXPECT_EQ(after, FpState()) << "op " << op << (rm == direct.get() ? " direct: " : " loaded: ")
                                  << Describe(after);
    }
  }
  ScrambleFpState();
  RestoreFloatingPointControl();
  EXPECT_EQ(ReadFpState(), FpState());
}

}  // namespace
}  // namespace zov::platform
