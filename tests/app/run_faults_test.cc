// The run inside the test process, with injected file-system faults: what a
// lost print-file write or CSV line does to the exit code and the hand-off.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/run.h"
#include "gtest/gtest.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "platform/testing/fake_env.h"
#include "tests/app/installation.h"

namespace zov::app {
namespace {

// The installation's files are real: the record-manager engine needs them.
struct InProcess {
  Installation inst;
  platform::FakeEnv fake{platform::FakeEnv::Files::kReal};
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();

  // `more` adds records (or changes run parameters) before the files are made.
  explicit InProcess(const std::function<void(Installation&)>& more = {}) {
    fake.env.record_manager = rm.get();
    fake.environment.Set("ZOVROOT", inst.root());
    fake.environment.Set("ZOVEXE", inst.exe());
    fake.environment.Set("ZOVTMP", inst.tmp());
    fake.environment.Set("TEMP", inst.csv());
    inst.Add(reg::kFileVPropiet, reg::Owner("0001", "PUIG*JOAN", "S", "j@x"));
    inst.Add(reg::kFileVGrups, reg::Group("00010001", "G"));
    inst.Add(reg::kFileVDepBase, reg::Property("000100010001", "T", "ES1"));
    inst.Add(reg::kFileVCobros, reg::Receipt("000100010001", "20260315", "00000001"));
    if (more) more(inst);
    inst.BuildDataFiles();
    WritePent();
  }

  void WritePent() {
    std::string text;
    for (const auto& line : inst.pent()) text += line + "\r\n";
    inst.Write(inst.tmp() + "pent.tmp", text);
  }

  std::vector<std::string> Names(const std::string& dir) {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(inst.fs().ListDirectory(dir, &entries).ok()) << dir;
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Errors() const {
    std::string all;
    for (const auto& line : fake.errors.lines) all += line + "\n";
    return all;
  }
};

// The engine with one status forced: the `nth` call of operation `op` on the
// file whose path ends in `file` answers `status` instead.
struct ForcedStatus : platform::RecordManager {
  platform::RecordManager* engine = nullptr;
  std::string file;
  uint16_t op = 0;
  int nth = 1;
  int16_t status = 0;
  std::map<const uint8_t*, std::string> paths;  // position block -> path opened there
  int seen = 0;

  int16_t Call(uint16_t operation, uint8_t* pos, void* data, uint32_t* len, void* key, uint8_t key_len,
               int8_t key_number) override {
    if (operation == platform::kOpOpen) paths[pos] = static_cast<const char*>(key);
    const std::string& path = paths[pos];
    if (operation == op && path.size() >= file.size() && path.compare(path.size() - file.size(), file.size(), file) == 0 &&
        ++seen == nth)
      return status;
    return engine->Call(operation, pos, data, len, key, key_len, key_number);
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
  t.fake.faults.OnlyNamesEndingIn(".CSV.tmp");
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kWrite, 2, true);  // the header gets through, the row not
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kAppend, 1, true);  // nor when the file is opened again
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


// A damaged data file (an I/O error, a page that is not the engine's, a busy
// record) stops the run: named with the status's meaning, nothing handed on,
// no print file and no CSV left. "Not found" and "end of file" only end the
// loop that read them.
TEST(RunFaultsTest, ReadFailuresStopTheRunButNotFoundAndEndOfFileDoNot) {
  struct Case {
    const char* file;
    uint16_t op;
    int16_t status;
    bool stops;
  } cases[] = {
      {"VCobros.dat", platform::kOpGetNext, platform::kRmEndOfFile, false},
      {"VCobros.dat", platform::kOpGetNext, platform::kRmIoError, true},
      {"VCobros.dat", platform::kOpGetNext, platform::kRmNotADataFile, true},
      {"VCobros.dat", platform::kOpGetGreaterOrEqual, platform::kRmRecordLocked, true},
      {"VDepCada.dat", platform::kOpGetEqual, platform::kRmKeyNotFound, false},
      {"VDepCada.dat", platform::kOpGetEqual, platform::kRmIoError, true},
      {"VGrups.dat", platform::kOpGetNext, platform::kRmInvalidPositioning, true},  // within the owner
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " status " + std::to_string(c.status));
    InProcess t([](Installation& inst) { inst.SetLine(23, "S"); });
    ForcedStatus forced;
    forced.engine = t.rm.get();
    forced.file = c.file;
    forced.op = c.op;
    forced.status = c.status;
    t.fake.env.record_manager = &forced;
    const int exit_code = app::Run(t.fake.env);
    EXPECT_EQ(forced.seen, 1) << "the forced call was made";
    if (!c.stops) {
      EXPECT_EQ(exit_code, kExitOk) << t.Errors();
      continue;
    }
    EXPECT_EQ(exit_code, kExitFailed);
    ASSERT_EQ(t.fake.errors.lines.size(), 1u) << t.Errors();
    EXPECT_TRUE(t.fake.errors.Mentions(std::string(c.file) + ": " +
                                       std::string(platform::RecordStatusMeaning(c.status))))
        << t.Errors();
    EXPECT_TRUE(t.fake.processes.runs.empty()) << "neither opener nor spooler";
    EXPECT_EQ(t.Names(t.inst.tmp()), (std::vector<std::string>{"dazorov1.lck", "pent.tmp"}));
    EXPECT_TRUE(t.Names(t.inst.csv()).empty());
  }
}

// A CSV directory that cannot be written: the first owner waits once, the
// second does not wait again; neither cut file is handed to the opener.
TEST(RunFaultsTest, IncompleteCsvFilesAreDeletedNotOpened) {
  InProcess t([](Installation& inst) {
    inst.SetLine(23, "S");
    inst.Add(reg::kFileVPropiet, reg::Owner("0002", "ROCA*ANNA", "S", ""));
    inst.Add(reg::kFileVGrups, reg::Group("00020001", "G"));
    inst.Add(reg::kFileVDepBase, reg::Property("000200010001", "T", "ES2"));
    inst.Add(reg::kFileVCobros, reg::Receipt("000200010001", "20260316", "00000002"));
  });
  t.inst.Write(t.inst.exe() + "dedado", "");
  t.fake.faults.OnlyNamesEndingIn(".CSV.tmp");
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kWrite, 1, /*sticky=*/true);
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kAppend, 1, /*sticky=*/true);
  EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
  int64_t slept = 0;
  for (int32_t ms : t.fake.clock.sleeps) slept += ms;
  EXPECT_LE(slept, output::kWriteLineRetryMillis) << "one wait for the run, not one per owner";
  ASSERT_EQ(t.fake.processes.runs.size(), 1u) << "the spooler only";
  EXPECT_EQ(t.fake.processes.runs[0].program, t.inst.exe() + "DOZUDIZI");
  EXPECT_EQ(std::count_if(t.fake.errors.lines.begin(), t.fake.errors.lines.end(),
                          [](const std::string& l) { return l.find("is incomplete: deleted") != std::string::npos; }),
            2)
      << t.Errors();
  EXPECT_TRUE(t.Names(t.inst.csv()).empty());
}

// A data file's name that is a link to a missing target (a share that is not
// mounted) fails the run and stays a link; a file that is really missing is
// created empty and said.
TEST(RunFaultsTest, DanglingLinkIsNotReplacedAndMissingFileIsSaid) {
  {
    InProcess t;
    const std::string link = t.inst.root() + "DADES/VDepCada.dat";
    ASSERT_TRUE(t.inst.fs().DeleteFile(link).ok());
    std::filesystem::create_symlink(t.inst.root() + "share/VDepCada.dat", link);
    EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_FALSE(std::filesystem::exists(t.inst.root() + "share"));
    EXPECT_TRUE(t.fake.errors.Mentions("VDepCada.dat: the name exists but cannot be opened")) << t.Errors();
    EXPECT_TRUE(t.fake.processes.runs.empty());
  }
  {
    InProcess t;
    ASSERT_TRUE(t.inst.fs().DeleteFile(t.inst.root() + "DADES/VDepBanc.dat").ok());
    EXPECT_EQ(app::Run(t.fake.env), kExitOk);
    ASSERT_EQ(t.fake.errors.lines.size(), 1u) << t.Errors();
    EXPECT_TRUE(t.fake.errors.Mentions("VDepBanc.dat was missing: created empty")) << t.Errors();
  }
}

// A date that cannot be read would select every quarter on file.
TEST(RunFaultsTest, UnreadableDateProducesNothing) {
  InProcess t;
  t.inst.SetLine(2, "2026-12-31");
  t.WritePent();
  EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
  EXPECT_TRUE(t.fake.errors.Mentions("pent.tmp line 2: not a date")) << t.Errors();
  EXPECT_EQ(t.Names(t.inst.tmp()), (std::vector<std::string>{"dazorov1.lck", "pent.tmp"}));
  EXPECT_TRUE(t.fake.processes.runs.empty());
}

// Without its setting the spooler would mail as the previous run said: it is
// not started. How the spooler ends is said, not hidden.
TEST(RunFaultsTest, SpoolerHandOffFailuresAreSaid) {
  {
    InProcess t;
    ASSERT_TRUE(t.inst.fs().CreateDirectory(t.inst.tmp() + "DOZUDIZI.INI").ok());
    EXPECT_EQ(app::Run(t.fake.env), kExitFailed);
    EXPECT_TRUE(t.fake.processes.runs.empty());
    EXPECT_TRUE(t.fake.errors.Mentions("the spooler is not started")) << t.Errors();
  }
  const struct {
    int exit_code;
    const char* said;
  } ends[] = {{0, ""}, {3, "ended with code 3"}, {137, "killed by signal 9"}};
  for (const auto& e : ends) {
    InProcess t;
    t.fake.processes.exit_code_to_return = e.exit_code;
    EXPECT_EQ(app::Run(t.fake.env), kExitOk) << "the register itself was produced";
    EXPECT_EQ(t.fake.errors.lines.size(), e.said[0] == '\0' ? 0u : 1u) << t.Errors();
    if (e.said[0] != '\0') {
      EXPECT_TRUE(t.fake.errors.Mentions(e.said)) << t.Errors();
    }
  }
  InProcess t;
  ASSERT_TRUE(t.inst.fs().DeleteFile(t.inst.exe() + "DOZUDIZI").ok());
  EXPECT_EQ(app::Run(t.fake.env), kExitOk);
  EXPECT_TRUE(t.fake.errors.Mentions("no spooler")) << t.Errors();
}

// A run that finds another one in its temporary directory waits for it: the
// run it waits for is named once on standard error and on the screen's
// message line while it waits; the line is blanked when the wait ends, and
// the run goes on as usual.
TEST(RunFaultsTest, WaitingForAnotherRunIsShownOnTheMessageLine) {
  InProcess t;
  std::unique_ptr<platform::FileLock> other;
  ASSERT_TRUE(t.fake.base_fs().TryLockFile(t.inst.tmp() + "dazorov1.lck", "started earlier", &other).ok());
  // A clock whose third pause sees the screen and lets the other run end.
  struct Watching : platform::Clock {
    platform::FakeClock& clock;
    platform::MemoryConsole& console;
    std::unique_ptr<platform::FileLock>& other;
    std::string seen;
    int sleeps = 0;
    Watching(platform::FakeClock& c, platform::MemoryConsole& m, std::unique_ptr<platform::FileLock>& o)
        : clock(c), console(m), other(o) {}
    platform::CivilDate Today() override { return clock.Today(); }
    int32_t HundredthsSinceMidnight() override { return clock.HundredthsSinceMidnight(); }
    int64_t SecondsSinceEpoch() override { return clock.SecondsSinceEpoch(); }
    int64_t MonotonicMicros() override { return clock.MonotonicMicros(); }
    void SleepMillis(int32_t millis) override {
      if (++sleeps == 3) {
        seen = console.RowText(25);
        other.reset();
      }
      clock.SleepMillis(millis);
    }
  } watching(t.fake.clock, t.fake.console, other);
  t.fake.env.clock = &watching;
  EXPECT_EQ(app::Run(t.fake.env), kExitOk) << t.Errors();
  const std::string line = "dazorov1: waiting for the run that uses " + t.inst.tmp() + " (" +
                           platform::LockHolderLine("started earlier") + "), at most 300 s";
  ASSERT_GE(t.fake.errors.lines.size(), 1u);
  EXPECT_EQ(t.fake.errors.lines[0], line);
  EXPECT_EQ(t.fake.errors.lines.size(), 1u) << t.Errors();
  const std::string shown = "Waiting for another run (" + platform::LockHolderLine("started earlier") +
                            "), at most 300 s";
  EXPECT_EQ(watching.seen, shown + std::string(80 - shown.size(), ' '));
  EXPECT_EQ(t.fake.console.RowText(25), std::string(80, ' '));
  EXPECT_EQ(t.fake.processes.runs.size(), 1u) << "the spooler";
}

}  // namespace
}  // namespace zov::app
