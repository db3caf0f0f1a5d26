// The engine shared between processes: a worker executable is the other
// process (see recman_worker.cc).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "platform/testing/fake_clock.h"
#include "tests/platform/recman/recman_test_util.h"

extern char** environ;

namespace zov::platform {
namespace {

using test::Le;
using test::NumberOf;
using test::Rec;
using test::Spec;

// The worker process, with pipes to its stdin and from its stdout.
class Worker {
 public:
  explicit Worker(const std::vector<std::string>& args) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> all = {RECMAN_WORKER};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, RECMAN_WORKER, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    stdout_ = out[0];
  }
  ~Worker() {
    CloseStdin();
    if (stdout_ >= 0) ::close(stdout_);
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // The worker's next line, or "timeout" after 10 seconds.
  std::string ReadLine() {
    std::string line;
    char c;
    while (true) {
      pollfd p{stdout_, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) return "timeout";
      if (::read(stdout_, &c, 1) != 1 || c == '\n') return line;
      line += c;
    }
  }
  void CloseStdin() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
  }
  bool Running() {
    if (exited_) return false;
    int status;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) Finish(status);
    return !exited_;
  }
  int Wait() {
    if (!exited_) {
      int status;
      ::waitpid(pid_, &status, 0);
      Finish(status);
    }
    return exit_code_;
  }

 private:
  void Finish(int status) {
    exited_ = true;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
  }
  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1;
  bool exited_ = false;
  int exit_code_ = -1;
};

class RecmanMultiProcessTest : public ::testing::Test {
 protected:
  RecmanMultiProcessTest() {
    SqliteRecordManagerOptions options;
    options.busy_timeout_ms = 200;
    rm_ = NewSqliteRecordManager(options);
  }
  void SetUp() override {
    RecordFile f(*rm_);
    ASSERT_EQ(f.Create(path_, Spec()), kRmOk);
  }
  test::ScratchDir dir_;
  std::string path_ = dir_.path() + "VCobros.dat";
  std::unique_ptr<RecordManager> rm_;
};

TEST_F(RecmanMultiProcessTest, ExclusiveOpenAnswers85ToOtherProcessesUntilReleased) {
  {
    RecordFile mine(*rm_);
    ASSERT_EQ(mine.Open(path_, -4), kRmOk);
    for (const char* mode : {"0", "-2", "-4"}) {
      EXPECT_EQ(Worker({"open", path_, mode}).Wait(), kRmFileLocked) << "worker mode " << mode;
    }
    ASSERT_EQ(mine.Close(), kRmOk);
    EXPECT_EQ(Worker({"open", path_, "0"}).Wait(), kRmOk);
  }
  struct Case {
    const char* worker_mode;
    int8_t my_mode;
  };
  for (const Case& c : {Case{"-4", 0}, Case{"-4", -2}, Case{"0", -4}, Case{"-2", -4}}) {
    const std::string label = std::string("worker holds ") + c.worker_mode + ", I open " + std::to_string(c.my_mode);
    Worker holder({"hold", path_, c.worker_mode});
    ASSERT_EQ(holder.ReadLine(), "0") << label;
    RecordFile mine(*rm_);
    EXPECT_EQ(mine.Open(path_, c.my_mode), kRmFileLocked) << label;
    holder.CloseStdin();
    EXPECT_EQ(holder.Wait(), kRmOk) << label;
    ASSERT_EQ(mine.Open(path_, c.my_mode), kRmOk) << label << ", after the worker ended";
    ASSERT_EQ(mine.Close(), kRmOk);
  }
}

TEST_F(RecmanMultiProcessTest, AWriterAndAReaderRunAtOnceWithoutErrorsOrLostRecords) {
  constexpr int kWorkerRecords = 3000;
  SqliteRecordManagerOptions patient;
  patient.busy_timeout_ms = 5000;
  std::unique_ptr<RecordManager> rm = NewSqliteRecordManager(patient);
  RecordFile reader(*rm), writer(*rm);
  ASSERT_EQ(reader.Open(path_, -2), kRmOk);
  ASSERT_EQ(writer.Open(path_), kRmOk);
  Worker worker({"insert", path_, "0", std::to_string(kWorkerRecords)});
  std::mt19937 random(7);
  uint32_t mine = 0;
  std::size_t last_count = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (bool running = true; running;) {
    running = worker.Running();
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    // This process writes too, in its own range of numbers.
    ASSERT_EQ(writer.Insert(Rec(1000000 + mine++, "P")), kRmOk);
    std::string key = Le(random() % kWorkerRecords, 4), record;
    const int16_t st = reader.Get(kOpGetEqual, 0, &key, &record);
    ASSERT_TRUE(st == kRmOk || st == kRmKeyNotFound) << st;
    // A walk sees every record once, in order, and never fewer than before.
    std::vector<uint32_t> walked;
    key.assign(4, '\0');
    int16_t s = reader.Get(kOpGetFirst, 0, &key, &record);
    for (; s == kRmOk; s = reader.Get(kOpGetNext, 0, &key, &record)) {
      if (!walked.empty()) {
        ASSERT_LT(walked.back(), NumberOf(record));
      }
      walked.push_back(NumberOf(record));
    }
    ASSERT_EQ(s, kRmEndOfFile);
    ASSERT_GE(walked.size(), last_count);
    last_count = walked.size();
  }
  EXPECT_EQ(worker.Wait(), kRmOk);
  std::string stat;
  ASSERT_EQ(reader.Stat(&stat), kRmOk);
  EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), kWorkerRecords + mine);
  for (uint32_t n : {0u, 1u, static_cast<uint32_t>(kWorkerRecords) - 1, 1000000u, 1000000u + mine - 1}) {
    std::string key = Le(n, 4), record;
    EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmOk) << n;
  }
}

TEST_F(RecmanMultiProcessTest, AWriteThatWaitsTooLongAnswersLockedNotAnError) {
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(f.Insert(Rec(1, "A")), kRmOk);
  Worker holder({"hold-transaction", path_});
  ASSERT_EQ(holder.ReadLine(), "0");
  std::string key = Le(1, 4), record;
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk) << "reads do not wait for writers";
  key = Le(999999, 4);
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmKeyNotFound) << "nor see their uncommitted records";
  EXPECT_EQ(f.Insert(Rec(2, "B")), kRmFileLocked);
  key = Le(1, 4);
  ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  EXPECT_EQ(f.Update(Rec(1, "Z")), kRmRecordLocked);
  EXPECT_EQ(f.Delete(), kRmRecordLocked);
  holder.CloseStdin();
  EXPECT_EQ(holder.Wait(), kRmOk);
  EXPECT_EQ(f.Update(Rec(1, "Z")), kRmOk);
  EXPECT_EQ(f.Insert(Rec(2, "B")), kRmOk);
  key = Le(999999, 4);
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmKeyNotFound) << "the aborted record is gone";
}

TEST_F(RecmanMultiProcessTest, AnotherProcesssInsertShowsOnceTheReadSnapshotIsOlderThanItsBound) {
  struct Case {
    int bound_ms, wait_ms;
    bool seen;
  };
  uint32_t number = 500;
  for (const Case& c : {Case{0, 0, true}, Case{10, 9, false}, Case{10, 10, true}, Case{3600000, 0, false}}) {
    const std::string label = "bound " + std::to_string(c.bound_ms) + " ms, waited " + std::to_string(c.wait_ms);
    FakeClock clock;
    SqliteRecordManagerOptions options;
    options.read_snapshot_ms = c.bound_ms;
    options.clock = &clock;
    std::unique_ptr<RecordManager> rm = NewSqliteRecordManager(options);
    RecordFile reader(*rm);
    ASSERT_EQ(reader.Open(path_, -2), kRmOk) << label;
    std::string key = Le(number, 4), record;
    ASSERT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmKeyNotFound) << label;
    ASSERT_EQ(Worker({"insert", path_, std::to_string(number), "1"}).Wait(), kRmOk) << label;
    clock.Advance(c.wait_ms);
    EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), c.seen ? kRmOk : kRmKeyNotFound) << label;
    ASSERT_EQ(reader.Close(), kRmOk);
    ASSERT_EQ(reader.Open(path_, -2), kRmOk);
    EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmOk) << label << ", after close and open";
    ++number;
  }
}

}  // namespace
}  // namespace zov::platform
