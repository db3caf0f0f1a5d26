// Real dazorov1 processes at the same time and killed at random moments:
// two runs sharing ZOVTMP never mix, a run that waits too long changes
// nothing, and a killed run never leaves a CSV file cut short under its
// final name (fork and signals: POSIX only).
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "platform/posix_file_system.h"
#include "platform/testing/child_process.h"
#include "platform/text_lines.h"
#include "tests/app/installation.h"

namespace zov::app {
namespace {

// A started run of the real binary; its standard output and error go to
// files named after `tag` in the installation's directory.
class Process {
 public:
  Process(Installation& inst, const std::string& tag, std::vector<std::string> extra_env = {})
      : err_(inst.dir() + tag + ".err"), child_(Installation::Binary(), {}, Environment(inst, extra_env),
                                                inst.dir() + tag + ".out", err_) {
    EXPECT_GT(child_.pid(), 0);
  }
  int64_t pid() const { return child_.pid(); }
  void Kill() { child_.Kill(); }
  // The exit code, or 128 + the signal that ended it.
  int Wait() { return child_.Wait(); }
  std::string Errors() const {
    std::string text;
    platform::NewPosixFileSystem()->ReadFile(err_, &text).IgnoreError();
    return text;
  }

 private:
  static std::vector<std::string> Environment(Installation& inst, const std::vector<std::string>& extra) {
    std::vector<std::string> env = inst.Environment();
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
  }
  std::string err_;
  platform::ChildProcess child_;
};

// Every file under `dir` (one level of folders down) with its bytes.
std::map<std::string, std::string> Snapshot(platform::FileSystem& fs, const std::string& dir) {
  std::map<std::string, std::string> files;
  std::vector<platform::DirEntry> entries;
  EXPECT_TRUE(fs.ListDirectory(dir, &entries).ok()) << dir;
  for (const platform::DirEntry& e : entries) {
    if ((e.attributes & platform::kAttrDirectory) != 0) {
      for (auto& [name, bytes] : Snapshot(fs, dir + e.name + "/")) files[e.name + "/" + name] = bytes;
      continue;
    }
    EXPECT_TRUE(fs.ReadFile(dir + e.name, &files[e.name]).ok()) << e.name;
  }
  return files;
}

// n in `width` decimal digits, with leading zeros.
std::string Digits(int n, std::size_t width) {
  std::string digits = std::to_string(n);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// `owners` owners, one property each with `receipts` invoices of 2026.
void Agency(Installation& inst, int owners, int receipts) {
  for (int o = 1; o <= owners; ++o) {
    const std::string owner = Digits(o, 4), group = owner + "0001", property = group + "0001";
    inst.Add(reg::kFileVPropiet, reg::Owner(owner, "PROPIETARI*" + owner, "S", ""));
    inst.Add(reg::kFileVGrups, reg::Group(group, "G"));
    inst.Add(reg::kFileVDepBase, reg::Property(property, "LLOGATER", "ES1"));
    for (int r = 1; r <= receipts; ++r) {
      const std::string date = "2026" + Digits(1 + r % 12, 2) + Digits(1 + r % 28, 2);
      inst.Add(reg::kFileVCobros, reg::Receipt(property, date, Digits(o * 1000 + r, 8)));
    }
  }
}

// Two runs started from the menu one after the other share ZOVTMP: the
// second waits for the first (saying for which run) until its spooler has
// ended, then runs; each spooler gets its own run's whole print file.
TEST(RunProcessTest, TwoRunsSharingZovtmpNeverMix) {
  Installation inst;
  Agency(inst, 150, 20);
  // The spooler notes its start and end and keeps a copy of what it was given.
  inst.Write(inst.exe() + "DOZUDIZI",
             "#!/bin/sh\necho start >> \"$ZOVTMP/spooler.log\"\nsleep 0.4\n"
             "cp \"$ZOVTMP/dozudizi.tmp\" \"$ZOVTMP/spooled.$$\"\necho end >> \"$ZOVTMP/spooler.log\"\n",
             true);
  const RunResult reference = inst.Run();
  ASSERT_EQ(reference.exit_code, 0) << reference.stderr_text;
  const std::string whole = inst.Read(inst.tmp() + "dozudizi.tmp");
  ASSERT_TRUE(inst.fs().DeleteFile(inst.tmp() + "spooler.log").ok());
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(inst.fs().ListDirectory(inst.tmp(), &entries).ok());
  for (const auto& e : entries) {
    if (e.name.rfind("spooled.", 0) == 0) {
      ASSERT_TRUE(inst.fs().DeleteFile(inst.tmp() + e.name).ok());
    }
  }

  Process first(inst, "first");
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  Process second(inst, "second");
  EXPECT_EQ(first.Wait(), 0) << first.Errors();
  EXPECT_EQ(second.Wait(), 0) << second.Errors();
  // Usually the second waits; on a loaded machine the first may start late.
  const bool second_waited = first.Errors().empty();
  const Process& holder = second_waited ? first : second;
  const std::string waited = second_waited ? second.Errors() : first.Errors();
  EXPECT_EQ(holder.Errors(), "");
  EXPECT_NE(waited.find("waiting for the run that uses " + inst.tmp() + " (process " + std::to_string(holder.pid()) +
                        ", started "),
            std::string::npos)
      << waited;
  EXPECT_EQ(std::count(waited.begin(), waited.end(), '\n'), 1) << waited;
  EXPECT_EQ(inst.Read(inst.tmp() + "spooler.log"), "start\nend\nstart\nend\n") << "one run's spooler at a time";
  ASSERT_TRUE(inst.fs().ListDirectory(inst.tmp(), &entries).ok());
  int spooled = 0;
  for (const auto& e : entries) {
    if (e.name.rfind("spooled.", 0) != 0) continue;
    ++spooled;
    EXPECT_TRUE(inst.Read(inst.tmp() + e.name) == whole) << e.name << " is not one run's whole print file";
  }
  EXPECT_EQ(spooled, 2);
}

// A run that finds the session's temporary directory in use for longer than
// ZOVWAIT stops with exit code 1, saying for whom it waited, and nothing of
// the installation, the session or the CSV directory has changed.
TEST(RunProcessTest, ARunThatWaitsTooLongChangesNothing) {
  Installation inst;
  Agency(inst, 3, 2);
  inst.SetLine(23, "S");
  inst.Prepare();
  auto fs = platform::NewPosixFileSystem();
  std::unique_ptr<platform::FileLock> held;
  ASSERT_TRUE(fs->TryLockFile(inst.tmp() + "dazorov1.lck", "the test's run", &held).ok());
  const auto before = Snapshot(*fs, inst.dir());
  const auto start = std::chrono::steady_clock::now();
  Process late(inst, "late", {"ZOVWAIT=1"});
  EXPECT_EQ(late.Wait(), 1);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(1000));
  EXPECT_LT(waited, std::chrono::milliseconds(10000));
  const std::string errors = late.Errors();
  const std::string holder = "process " + std::to_string(::getpid()) + ", the test's run";
  const std::vector<std::string_view> lines = platform::SplitLines(errors);
  ASSERT_EQ(lines.size(), 2u) << errors;
  EXPECT_EQ(lines[0], "dazorov1: waiting for the run that uses " + inst.tmp() + " (" + holder + "), at most 1 s");
  EXPECT_EQ(lines[1], "dazorov1: another run still uses " + inst.tmp() + " after 1 s (" + holder +
                          "): stopped, nothing done");
  auto after = Snapshot(*fs, inst.dir());
  after.erase("late.err");
  after.erase("late.out");
  EXPECT_TRUE(after == before) << "files changed";
  EXPECT_FALSE(inst.Exists(inst.root() + "DADES/VParam.tab"));
}

// Runs killed with SIGKILL at random moments: every file under a final CSV
// name is whole (its heading row, every line's row, the last line ended);
// what a killed run was writing stays under a name ending in ".CSV.tmp". The
// next run is not held up by a killed one, and removes the temporary print
// file it left.
TEST(RunProcessTest, KilledRunsNeverLeaveACutCsvUnderItsFinalName) {
  constexpr int kOwners = 40, kReceipts = 300, kKills = 12;
  Installation inst;
  Agency(inst, kOwners, kReceipts);
  inst.SetLine(23, "S");
  inst.Prepare();
  const auto start = std::chrono::steady_clock::now();
  {
    Process whole(inst, "whole");
    ASSERT_EQ(whole.Wait(), 0) << whole.Errors();
  }
  const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const unsigned seed = static_cast<unsigned>(std::random_device()());
  SCOPED_TRACE("seed " + std::to_string(seed) + ", a whole run " + std::to_string(duration.count()) + " us");
  std::mt19937 random(seed);
  std::uniform_int_distribution<int64_t> moment(1000, std::max<int64_t>(2000, duration.count()));
  for (int k = 0; k < kKills; ++k) {
    Process run(inst, "killed", {"ZOVWAIT=0"});
    const int64_t at = moment(random);
    std::this_thread::sleep_for(std::chrono::microseconds(at));
    run.Kill();
    const int ended = run.Wait();
    EXPECT_TRUE(ended == 128 + SIGKILL || ended == 0) << "kill " << k << " at " << at << " us: " << ended << " "
                                                       << run.Errors();
  }
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(inst.fs().ListDirectory(inst.csv(), &entries).ok());
  int finals = 0, temporaries = 0;
  for (const auto& e : entries) {
    if (e.name.size() == 16 && e.name.substr(8) == ".CSV.tmp") {
      ++temporaries;
      continue;
    }
    ASSERT_EQ(e.name.size(), 12u) << e.name;
    ASSERT_EQ(e.name.substr(8), ".CSV") << e.name;
    ++finals;
    const std::string text = inst.Read(inst.csv() + e.name);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + kReceipts) << e.name << " cut short";
    EXPECT_TRUE(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") << e.name << " cut mid-line";
  }
  EXPECT_GE(finals, kOwners) << "the whole run's files at least";
  std::printf("%d kills left %d whole CSV files and %d temporary ones\n", kKills, finals, temporaries);

  Process next(inst, "next", {"ZOVWAIT=0"});
  EXPECT_EQ(next.Wait(), 0) << next.Errors();
  EXPECT_FALSE(inst.Exists(inst.tmp() + "dozudizi.tmp.new"));
}

}  // namespace
}  // namespace zov::app
