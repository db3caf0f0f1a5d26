// Real zovllibres processes into one folder at the same time and killed at
// random moments: the folder always holds one run's whole set, never a mix;
// a run refused the folder changes nothing (fork and signals: POSIX only).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "books/book_consumer.h"
#include "books/output_folder.h"
#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/testing/child_process.h"
#include "platform/testing/temp_dir.h"
#include "tools/demo/demo.h"

namespace zov::books {
namespace {

using Files = std::map<std::string, std::string>;

// A demo installation of `owners` owners, and zovllibres run on it as
// processes, each into the folder it is given.
class Agency {
 public:
  explicit Agency(int owners) {
    tools::DemoRequest request;
    request.dir = root();
    request.options.owners = owners;
    tools::demo::DemoCounts counts;
    std::unique_ptr<platform::NativeEnv> native;
    EXPECT_TRUE(platform::NativeEnv::Create(&native).ok());
    const platform::Status s = tools::BuildDemoInstallation(native->env(), request, &counts);
    EXPECT_TRUE(s.ok()) << s.message();
  }
  std::string root() const { return dir_.path() + "root/"; }
  std::string dir() const { return dir_.path(); }

  // A run of the books up to `quarter` into `out`; its output and errors go
  // to files named after `tag`.
  std::unique_ptr<platform::ChildProcess> Start(int quarter, const std::string& out, const std::string& tag) {
    const char* bin = std::getenv("ZOV_TEST_BIN");
    return std::make_unique<platform::ChildProcess>(
        std::string(bin ? bin : ".") + "/bin/zovllibres",
        std::vector<std::string>{"--year", "2026", "--quarter", std::to_string(quarter), "--out", out},
        std::vector<std::string>{"PATH=/usr/bin:/bin", "ZOVROOT=" + root(), "ZOVTMP=" + root() + "tmp/",
                                 "SOURCE_DATE_EPOCH=1700000000"},
        dir() + tag + ".out", dir() + tag + ".err");
  }
  std::string Read(const std::string& path) {
    std::string text;
    fs_->ReadFile(path, &text).IgnoreError();
    return text;
  }
  // Every file of a folder with its bytes, folders marked, the lock file
  // aside (it names its last holder).
  Files Snapshot(const std::string& dir) {
    Files files;
    std::vector<platform::DirEntry> entries;
    if (!fs_->ListDirectory(dir, &entries).ok()) return files;
    for (const platform::DirEntry& e : entries) {
      if (e.name == "zovllibres.lck") continue;
      if ((e.attributes & platform::kAttrDirectory) != 0) {
        files[e.name + "/"] = "";
      } else {
        files[e.name] = Read(dir + e.name);
      }
    }
    return files;
  }
  platform::FileSystem& fs() { return *fs_; }

 private:
  platform::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewNativeFileSystem();
};

// Which whole set a folder holds: "2T" or "4T" for the sets of those
// runs, else "a mix".
std::string WhichSet(const Files& folder, const Files& second, const Files& fourth) {
  if (folder == second) return "2T";
  if (folder == fourth) return "4T";
  return "a mix";
}

class BooksProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto [quarter, out] : {std::pair{2, &second_}, std::pair{4, &fourth_}}) {
      const std::string dir = agency_.dir() + "ref" + std::to_string(quarter) + "/";
      auto run = agency_.Start(quarter, dir, "ref");
      ASSERT_EQ(run->Wait(), 0) << agency_.Read(agency_.dir() + "ref.err");
      *out = agency_.Snapshot(dir);
    }
    ASSERT_FALSE(second_ == fourth_);
    shared_ = agency_.dir() + "shared/";
  }

  Agency agency_{300};
  Files second_, fourth_;
  std::string shared_;
};

// A folder whose lock another run holds: a run into it stops at once with
// exit code 1, one line naming the holder, and the folder as it was.
TEST_F(BooksProcessTest, ARunIntoAHeldFolderChangesNothing) {
  ASSERT_EQ(agency_.Start(2, shared_, "first")->Wait(), 0);
  std::unique_ptr<platform::FileLock> held;
  ASSERT_TRUE(agency_.fs().TryLockFile(shared_ + "zovllibres.lck", "the test's run", &held).ok());
  const Files before = agency_.Snapshot(shared_);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(agency_.Start(4, shared_, "refused")->Wait(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "it must not wait";
  EXPECT_EQ(agency_.Read(agency_.dir() + "refused.err"),
            "zovllibres: another run of zovllibres is writing in " + agency_.fs().Resolve(agency_.dir() + "shared") +
                " (process " + std::to_string(::getpid()) + ", the test's run): stopped, nothing written\n");
  EXPECT_EQ(agency_.Read(agency_.dir() + "refused.out"), "");
  EXPECT_TRUE(agency_.Snapshot(shared_) == before);
}

// Two runs of different quarters started together into one folder: one
// writes, the other is refused (or, when they did not meet, runs after
// it); the folder holds one run's whole set either way.
TEST_F(BooksProcessTest, TwoRunsIntoOneFolderNeverMix) {
  int refused = 0;
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    auto first = agency_.Start(round % 2 == 0 ? 4 : 2, shared_, "first");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto second = agency_.Start(round % 2 == 0 ? 2 : 4, shared_, "second");
    const int a = first->Wait(), b = second->Wait();
    const std::string a_err = agency_.Read(agency_.dir() + "first.err");
    const std::string b_err = agency_.Read(agency_.dir() + "second.err");
    EXPECT_TRUE((a == 0 && b == 0) || (a == 0 && b == 1) || (a == 1 && b == 0)) << a << " " << b << a_err << b_err;
    const std::string set = WhichSet(agency_.Snapshot(shared_), second_, fourth_);
    EXPECT_NE(set, "a mix");
    if (a + b == 1) {
      ++refused;
      const bool second_lost = b == 1;
      const std::string& lost = second_lost ? b_err : a_err;
      const int64_t winner = (second_lost ? first : second)->pid();
      EXPECT_NE(lost.find("zovllibres: another run of zovllibres is writing in "), std::string::npos) << lost;
      EXPECT_NE(lost.find("(process " + std::to_string(winner) + ", started "), std::string::npos) << lost;
      EXPECT_EQ(std::count(lost.begin(), lost.end(), '\n'), 1) << lost;
      EXPECT_EQ(set, (round % 2 == 0) == second_lost ? "4T" : "2T") << "the winner's set";
    }
  }
  std::printf("%d of 4 rounds met, the later run refused\n", refused);
}

// Runs killed with SIGKILL at random moments, each for the quarter the
// folder does not hold: once the next run has opened the folder (finishing a
// commit a killed run left), it holds the whole set of the run before or
// of the killed one, never a mix; and no run is held up by a killed one.
TEST_F(BooksProcessTest, KilledRunsLeaveTheOldOrTheNewSet) {
  constexpr int kKills = 16;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(agency_.Start(2, shared_, "whole")->Wait(), 0);
  const auto duration =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
  const unsigned seed = static_cast<unsigned>(std::random_device()());
  SCOPED_TRACE("seed " + std::to_string(seed) + ", a whole run " + std::to_string(duration) + " us");
  std::mt19937 random(seed);
  const OutputFolderSpec spec{"zovllibres", std::string(kManifestName), ManifestBooks, ""};
  std::string held = "2T";
  const std::unique_ptr<platform::Clock> clock = platform::NewNativeClock();
  int journals = 0, replaced = 0;
  for (int k = 0; k < kKills; ++k) {
    const int quarter = held == "2T" ? 4 : 2;
    // Half the kills near the end, where the commit is.
    std::uniform_real_distribution<double> when(k % 2 == 0 ? 0.0 : 0.8, 1.1);
    const auto at = static_cast<int64_t>(when(random) * static_cast<double>(duration));
    auto run = agency_.Start(quarter, shared_, "killed");
    std::this_thread::sleep_for(std::chrono::microseconds(at));
    run->Kill();
    const int ended = run->Wait();
    EXPECT_TRUE(ended == 128 + 9 || ended == 0) << "kill " << k << " at " << at << " us: " << ended;
    if (agency_.Snapshot(shared_).count("zovllibres.journal")) ++journals;
    std::unique_ptr<OutputFolder> next;
    const platform::Status s = OutputFolder::Open(agency_.fs(), *clock, shared_, spec, "the test", &next);
    ASSERT_TRUE(s.ok()) << s.message();
    next.reset();
    const std::string set = WhichSet(agency_.Snapshot(shared_), second_, fourth_);
    const std::string killed = quarter == 4 ? "4T" : "2T";
    EXPECT_TRUE(set == held || set == killed) << "kill " << k << " at " << at << " us left " << set;
    if (set != held) ++replaced;
    held = set;
  }
  std::printf("%d kills: %d left the new set, %d a commit's journal to finish\n", kKills, replaced, journals);
  // The next whole run is not held up by any of them.
  ASSERT_EQ(agency_.Start(4, shared_, "next")->Wait(), 0) << agency_.Read(agency_.dir() + "next.err");
  EXPECT_EQ(WhichSet(agency_.Snapshot(shared_), second_, fourth_), "4T");
}

}  // namespace
}  // namespace zov::books
