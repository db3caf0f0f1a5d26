// The run inside the test process, with injected file-system faults: what a
// lost print-file write or CSV line does to the exit code and the hand-off.
#include <memory>
#include <string>

#include "app/run.h"
#include "gtest/gtest.h"
#include "platform/posix_file_system.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/memory_console.h"
#include "tests/app/installation.h"

namespace zov::app {
namespace {

struct InProcess {
  Installation inst;
  std::unique_ptr<platform::FileSystem> base = platform::NewPosixFileSystem();
  platform::FaultFileSystem fs{base.get()};
  platform::FakeClock clock;
  platform::FakeEnvironment environment;
  platform::FakeProcessRunner processes;
  platform::MemoryConsole console;
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();
  platform::Env env;

  InProcess() {
    env.fs = &fs;
    env.clock = &clock;
    env.environment = &environment;
    env.processes = &processes;
    env.console = &console;
    env.record_manager = rm.get();
    environment.Set("ZOVROOT", inst.root());
    environment.Set("ZOVEXE", inst.exe());
    environment.Set("ZOVTMP", inst.tmp());
    environment.Set("TEMP", inst.csv());
    inst.Add(reg::kFileVPropiet, reg::Owner("0001", "PUIG*JOAN", "S", "j@x"));
    inst.Add(reg::kFileVGrups, reg::Group("00010001", "G"));
    inst.Add(reg::kFileVDepBase, reg::Property("000100010001", "T", "ES1"));
    inst.Add(reg::kFileVCobros, reg::Receipt("000100010001", "20260315", "00000001"));
    inst.BuildDataFiles();
    std::string text;
    for (const auto& line : inst.pent()) text += line + "\r\n";
    inst.Write(inst.tmp() + "pent.tmp", text);
  }
  bool Mentions(const std::string& what) const {
    for (const auto& e : processes.errors)
      if (e.find(what) != std::string::npos) return true;
    return false;
  }
};

TEST(RunFaultsTest, CleanRunStartsTheSpooler) {
  InProcess t;
  EXPECT_EQ(app::Run(t.env), kExitOk);
  EXPECT_TRUE(t.processes.errors.empty());
  ASSERT_EQ(t.processes.runs.size(), 1u);
  EXPECT_EQ(t.processes.runs[0].program, t.inst.exe() + "DOZUDIZI");
}

// Every write after the parameter file's fails: the print file is
// incomplete, the run fails and the spooler is not handed a partial register.
TEST(RunFaultsTest, LostPrintFileWriteFailsTheRun) {
  InProcess t;
  t.fs.FailAt(platform::FaultFileSystem::Op::kWrite, 2, true);
  EXPECT_EQ(app::Run(t.env), kExitFailed);
  EXPECT_TRUE(t.Mentions("print file")) << (t.processes.errors.empty() ? "" : t.processes.errors[0]);
  EXPECT_TRUE(t.processes.runs.empty());
}

TEST(RunFaultsTest, LostCsvLineFailsTheRun) {
  InProcess t;
  t.fs.FailAt(platform::FaultFileSystem::Op::kAppend, 2, true);  // the header gets through, the row not
  EXPECT_EQ(app::Run(t.env), kExitFailed);
  EXPECT_TRUE(t.Mentions("CSV line(s) could not be written"));
  EXPECT_EQ(t.processes.runs.size(), 1u);  // the printed register is complete
}

}  // namespace
}  // namespace zov::app
