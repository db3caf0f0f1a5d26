// The run inside the test process, with injected file-system faults: what a
// lost print-file write or CSV line does to the exit code and the hand-off.
#include <memory>
#include <string>

#include "app/run.h"
#include "gtest/gtest.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_env.h"
#include "tests/app/installation.h"

namespace zov::app {
namespace {

// The installation's files are real: the record-manager engine needs them.
struct InProcess {
  Installation inst;
  platform::FakeEnv fake{platform::FakeEnv::Files::kReal};
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();

  InProcess() {
    fake.env.record_manager = rm.get();
    fake.environment.Set("ZOVROOT", inst.root());
    fake.environment.Set("ZOVEXE", inst.exe());
    fake.environment.Set("ZOVTMP", inst.tmp());
    fake.environment.Set("TEMP", inst.csv());
    inst.Add(reg::kFileVPropiet, reg::Owner("0001", "PUIG*JOAN", "S", "j@x"));
    inst.Add(reg::kFileVGrups, reg::Group("00010001", "G"));
    inst.Add(reg::kFileVDepBase, reg::Property("000100010001", "T", "ES1"));
    inst.Add(reg::kFileVCobros, reg::Receipt("000100010001", "20260315", "00000001"));
    inst.BuildDataFiles();
    std::string text;
    for (const auto& line : inst.pent()) text += line + "\r\n";
    inst.Write(inst.tmp() + "pent.tmp", text);
  }
};

TEST(RunFaultsTest, CleanRunStartsTheSpooler) {
  InProcess t;
  EXPECT_EQ(app::Run(t.fake.env), kExitOk);
  EXPECT_TRUE(t.fake.errors.lines.empty());
  ASSERT_EQ(t.fake.processes.runs.size(), 1u);
  EXPECT_EQ(t.fake.processes.runs[0].program, t.inst.exe() + "DOZUDIZI");
}

// Every write after the parameter file's fails: the print file is
// incomplete, the run fails and the spooler is not handed a partial register.
TEST(RunFaultsTest, LostPrintFileWriteFailsTheRun) {
  InProcess t;
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kWrite, 2, true);
  EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
  EXPECT_TRUE(t.fake.errors.Mentions("print file")) << (t.fake.errors.lines.empty() ? "" : t.fake.errors.lines[0]);
  EXPECT_TRUE(t.fake.processes.runs.empty());
}

TEST(RunFaultsTest, LostCsvLineFailsTheRun) {
  InProcess t;
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kAppend, 2, true);  // the header gets through, the row not
  EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
  EXPECT_TRUE(t.fake.errors.Mentions("CSV line(s) could not be written"));
  EXPECT_EQ(t.fake.processes.runs.size(), 1u);  // the printed register is complete
}

// The record manager refuses to release the data files at the end: the
// register stands, and the refusal is said rather than dropped.
TEST(RunFaultsTest, RefusedReleaseIsReported) {
  InProcess t;
  struct RefusingReset : platform::RecordManager {
    platform::RecordManager* engine = nullptr;
    int resets = 0;
    int16_t Call(uint16_t op, uint8_t* pos, void* data, uint32_t* len, void* key, uint8_t key_len,
                 int8_t key_number) override {
      if (op != platform::kOpReset) return engine->Call(op, pos, data, len, key, key_len, key_number);
      ++resets;
      return 88;
    }
  } refusing;
  refusing.engine = t.rm.get();
  t.fake.env.record_manager = &refusing;
  EXPECT_EQ(app::Run(t.fake.env), kExitOk);
  EXPECT_EQ(refusing.resets, 1) << "released once, after the register";
  ASSERT_EQ(t.fake.errors.lines.size(), 1u);
  EXPECT_NE(t.fake.errors.lines[0].find("status 88"), std::string::npos) << t.fake.errors.lines[0];
  EXPECT_EQ(t.fake.processes.runs.size(), 1u);
}

}  // namespace
}  // namespace zov::app
