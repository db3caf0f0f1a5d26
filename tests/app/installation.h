// A suite installation in a temporary directory for running the real
// dazorov1 binary: DataRoot (root/ with DADES and ddf), TempDir (tmp/),
// ExeDir (exe/) and the CSV directory (csv/). Data files are made and loaded
// through the record manager as the suite's tools make them; the spooler is
// a small script that records that it ran.
#ifndef ZOV_TESTS_APP_INSTALLATION_H_
#define ZOV_TESTS_APP_INSTALLATION_H_

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/file_system.h"
#include "platform/code_page.h"
#include "platform/native_env.h"
#include "platform/posix_file_system.h"
#include "platform/testing/temp_dir.h"
#include "register/descriptions.h"
#include "register/records.h"
#include "tests/register/builders.h"
#include "tools/zovdata/zovdata.h"

namespace zov::app {

struct RunResult {
  int exit_code = -1;
  std::string stderr_text;
};

class Installation {
 public:
  // Everything under `folder` (code page 850, ending in "/"), when given,
  // inside the temporary directory.
  explicit Installation(std::string folder = "") : base_(dir_.path() + folder) {
    if (!folder.empty()) {
      EXPECT_TRUE(fs_->CreateDirectory(base_).ok()) << base_;
    }
    for (const char* d : {"root", "root/DADES", "tmp", "exe", "csv"})
      EXPECT_TRUE(fs_->CreateDirectory(base_ + d).ok()) << d;
    EXPECT_TRUE(tools::WriteDescriptions(*fs_, root() + "ddf").ok());
    Write(exe() + "DOZUDIZI", "#!/bin/sh\necho \"$#\" >> '" + Shell(tmp()) + "spooler.ran'\n", true);
    pent_.assign(23, "");
    pent_[0] = "1/1/2026";
    pent_[1] = "31/12/2026";
    pent_[6] = "99";
    pent_[20] = "S";
    pent_[21] = "S";
  }

  std::string root() const { return base_ + "root/"; }
  std::string tmp() const { return base_ + "tmp/"; }
  std::string exe() const { return base_ + "exe/"; }
  std::string csv() const { return base_ + "csv/"; }
  // A path as a shell script holds it: the system's UTF-8.
  static std::string Shell(const std::string& path) { return platform::Cp850ToUtf8Exact(path); }
  platform::FileSystem& fs() { return *fs_; }

  // Run parameter line n (1-based).
  void SetLine(int n, std::string text) { pent_.at(static_cast<std::size_t>(n - 1)) = std::move(text); }
  std::vector<std::string>& pent() { return pent_; }
  void SetEnv(const std::string& name, const std::string& value) { extra_env_[name] = value; }

  template <typename Record>
  void Add(int16_t file_number, const Record& record) {
    records_[file_number] += std::string(record.view());
  }

  void Write(const std::string& path, std::string_view data, bool executable = false) {
    ASSERT_TRUE(fs_->WriteFile(path, data).ok()) << path;
    if (executable) {
      RunResult r = RunCommand({"/bin/chmod", "+x", path});
      ASSERT_EQ(r.exit_code, 0);
    }
  }

  std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(fs_->ReadFile(path, &text).ok()) << path;
    return text;
  }
  bool Exists(const std::string& path) {
    std::string text;
    return fs_->ReadFile(path, &text).ok();
  }

  // Creates the data files that have records and loads them; the others are
  // created empty, as an installed suite has them (unless left out, or
  // without a description).
  void BuildDataFiles() {
    std::unique_ptr<platform::NativeEnv> posix;
    const platform::Status created = platform::NativeEnv::Create(&posix);
    ASSERT_TRUE(created.ok()) << created.message();
    for (const reg::DataFileSpec& f : reg::kDataFiles) {
      const std::string file = root() + "DADES/" + std::string(f.name) + ".dat";
      const std::string xdf = root() + "ddf/" + std::string(f.name) + ".xdf";
      if (left_out_.count(std::string(f.name)) != 0 || records_.count(f.number) != 0 || Exists(file) || !Exists(xdf))
        continue;
      ASSERT_TRUE(tools::CreateDataFile(posix->env(), file, xdf).ok()) << file;
    }
    for (const auto& [number, bytes] : records_) {
      const reg::DataFileSpec* f = reg::FindDataFileSpec(number);
      const std::string file = root() + "DADES/" + std::string(f->name) + ".dat";
      ASSERT_TRUE(tools::CreateDataFile(posix->env(), file, root() + "ddf/" + std::string(f->name) + ".xdf").ok());
      uint64_t loaded = 0;
      platform::Status s = tools::InsertRecords(posix->env(), file, bytes, f->name, &loaded);
      ASSERT_TRUE(s.ok()) << s.message();
    }
    records_.clear();
  }

  // Makes the data files and writes the run parameters: what a run needs.
  void Prepare() {
    BuildDataFiles();
    std::string text;
    for (const auto& line : pent_) text += line + "\r\n";
    if (write_pent_) Write(tmp() + "pent.tmp", text);
  }

  // The run's whole environment, "NAME=value" each.
  std::vector<std::string> Environment() const {
    std::map<std::string, std::string> env = {
        {"PATH", "/usr/bin:/bin"}, {"ZOVROOT", root()}, {"ZOVEXE", exe()}, {"ZOVTMP", tmp()}, {"TEMP", csv()}};
    for (const auto& [k, v] : extra_env_) env[k] = v;
    std::vector<std::string> out;
    for (const auto& [k, v] : env)
      if (!v.empty()) out.push_back(k + "=" + v);
    return out;
  }

  // Runs dazorov1 with the installation's environment, standard input empty.
  RunResult Run() {
    Prepare();
    std::vector<std::string> args = {"-c", "exec \"$@\" </dev/null >\"$0.out\" 2>\"$0\"", dir_.path() + "stderr",
                                     "/usr/bin/env", "-i"};
    for (const std::string& v : Environment()) args.push_back(v);
    args.push_back(Binary());
    RunResult r = RunCommand(args, "/bin/sh");
    r.stderr_text = Read(dir_.path() + "stderr");
    return r;
  }
  std::string dir() const { return dir_.path(); }

  void SkipPent() { write_pent_ = false; }
  // The data file (its name without extension) is not made: the run finds it missing.
  void LeaveOut(const std::string& name) { left_out_.insert(name); }
  // Puts a FIFO (a named pipe) at path.
  void MakeFifo(const std::string& path) { ASSERT_EQ(RunCommand({"/usr/bin/mkfifo", path}).exit_code, 0) << path; }

  // The CSV files left in the CSV directory.
  std::vector<std::string> CsvFiles() {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs_->ListDirectory(csv(), &entries).ok());
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.name);
    return out;
  }

  int SpoolerRuns() {
    std::string text;
    if (!fs_->ReadFile(tmp() + "spooler.ran", &text).ok()) return 0;
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  static std::string Binary() {
    const char* bin = std::getenv("ZOV_TEST_BIN");
    return std::string(bin ? bin : ".") + "/bin/dazorov1";
  }
  static std::string Golden(const std::string& name) { return std::string(ZOV_APP_TESTDATA) + name; }

 private:
  RunResult RunCommand(const std::vector<std::string>& args, const std::string& program = "") {
    auto runner = platform::NewNativeProcessRunner();
    RunResult r;
    std::vector<std::string> rest = args;
    std::string prog = program;
    if (prog.empty()) {
      prog = rest.front();
      rest.erase(rest.begin());
    }
    platform::Status s = runner->RunAndWait(prog, rest, &r.exit_code);
    EXPECT_TRUE(s.ok()) << s.message();
    return r;
  }

  platform::TempDir dir_;
  const std::string base_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewPosixFileSystem();
  std::vector<std::string> pent_;
  std::map<std::string, std::string> extra_env_;
  std::map<int16_t, std::string> records_;
  bool write_pent_ = true;
  std::set<std::string> left_out_;
};

}  // namespace zov::app

#endif  // ZOV_TESTS_APP_INSTALLATION_H_
