// A suite installation in a temporary directory for whole record books' runs
// in the test process: DataRoot (root/ with DADES and ddf), TempDir (tmp/), the
// output folder out/, and the register's CSV folder csv/. The data files are
// made and loaded through the record manager as the suite's tools make them;
// the file system can fail chosen calls. The books are read back by a real
// XLSX reader (openpyxl, through read_books.py: Linux only), and the
// register itself can be run on the same installation for its CSV rows.
#ifndef ZOV_TESTS_BOOKS_BOOKS_INSTALLATION_H_
#define ZOV_TESTS_BOOKS_BOOKS_INSTALLATION_H_

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/run.h"
#include "books/books_run.h"
#include "gtest/gtest.h"
#include "platform/code_page.h"
#include "platform/native_env.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_error_output.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/memory_console.h"
#include "platform/testing/temp_dir.h"
#include "register/records.h"
#include "tests/register/builders.h"
#include "tools/zovdata/zovdata.h"

namespace zov::books {

struct RunOutput {
  BooksOutcome code = BooksOutcome::kProblems;
  std::string out;
  std::string err;
};

// One cell as the reader saw it.
struct ReadCell {
  std::string book, sheet, coordinate, type, format, value;
};
struct ReadSheet {
  std::string book, title, merged;
  int max_row = 0, max_column = 0;
};
struct ReadBack {
  std::vector<std::string> books;
  std::vector<ReadSheet> sheets;
  std::vector<ReadCell> cells;
  // The cells of one book's sheet by coordinate.
  std::map<std::string, ReadCell> Sheet(const std::string& book, const std::string& sheet) const {
    std::map<std::string, ReadCell> out;
    for (const ReadCell& c : cells)
      if (c.book == book && c.sheet == sheet) out[c.coordinate] = c;
    return out;
  }
};

class BooksInstallation {
  platform::TempDir dir_;  // first: it outlives every file the others hold open

 public:
  BooksInstallation() {
    for (const char* d : {"root", "root/DADES", "tmp", "csv"})
      EXPECT_TRUE(base_->CreateDirectory(dir_.path() + d).ok()) << d;
    EXPECT_TRUE(tools::WriteDescriptions(*base_, root() + "ddf").ok());
    env.fs = &fs;
    env.clock = &clock;
    env.environment = &environment;
    env.processes = &processes;
    env.console = &console;
    env.record_manager = rm.get();
    env.error_output = &errors;
    environment.Set("ZOVROOT", root());
    environment.Set("ZOVTMP", tmp());
    environment.Set("TEMP", csv());
    // The system's conventions, as its programs get them.
    std::unique_ptr<platform::NativeEnv> native;
    if (platform::NativeEnv::Create(&native).ok()) env.conventions = native->env().conventions;
  }

  std::string root() const { return dir_.path() + "root/"; }
  std::string tmp() const { return dir_.path() + "tmp/"; }
  std::string csv() const { return dir_.path() + "csv/"; }
  std::string out() const { return dir_.path() + "out/"; }
  const std::string& dir() const { return dir_.path(); }

  template <typename Record>
  void Add(int16_t file_number, const Record& record) {
    records_[file_number] += std::string(record.view());
  }

  // Creates every one of the twelve data files and loads the records added.
  void Build() {
    for (const reg::DataFileSpec& f : reg::kDataFiles) {
      const std::string file = root() + "DADES/" + std::string(f.name) + ".dat";
      ASSERT_TRUE(tools::CreateDataFile(env, file, root() + "ddf/" + std::string(f.name) + ".xdf").ok()) << file;
      uint64_t loaded = 0;
      const platform::Status s = tools::InsertRecords(env, file, records_[f.number], f.name, &loaded);
      ASSERT_TRUE(s.ok()) << s.message();
    }
    records_.clear();
  }

  void WriteNifs(std::string_view text) { ASSERT_TRUE(base_->WriteFile(root() + "owners-nif.csv", text).ok()); }

  RunOutput Run(const BooksRequest& request) {
    std::ostringstream out, err;
    RunOutput r;
    r.code = RunBooks(env, request, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
  }
  // The books of YEAR up to quarter Q in out/.
  RunOutput RunFor(int year, int quarter) {
    BooksRequest request;
    request.year = year;
    request.quarter = quarter;
    request.out_dir = out();
    return Run(request);
  }

  // The names in out/ (none when it does not exist).
  std::vector<std::string> OutFiles() {
    std::vector<platform::DirEntry> entries;
    std::vector<std::string> names;
    if (!base_->ListDirectory(out(), &entries).ok()) return names;
    for (const auto& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(base_->ReadFile(path, &text).ok()) << path;
    return text;
  }

  // Every .xlsx in out/, through openpyxl.
  ReadBack ReadBooks() {
    std::string command = "exec /usr/bin/python3 " + Quote(std::string(BOOKS_TESTDATA) + "read_books.py");
    for (const std::string& name : OutFiles())
      if (name.ends_with(".xlsx")) command += " " + Quote(out() + name);
    command += " >" + Quote(dir_.path() + "read.txt") + " 2>" + Quote(dir_.path() + "read.err");
    int exit_code = -1;
    auto runner = platform::NewNativeProcessRunner();
    EXPECT_TRUE(runner->RunAndWait("/bin/sh", {"-c", command}, &exit_code).ok());
    EXPECT_EQ(exit_code, 0) << Read(dir_.path() + "read.err");
    ReadBack back;
    std::istringstream lines(Read(dir_.path() + "read.txt"));
    std::string line, book, sheet;
    while (std::getline(lines, line)) {
      std::vector<std::string> f;
      std::size_t start = 0;
      for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        f.push_back(Unescape(line.substr(start, tab - start)));
      f.push_back(Unescape(line.substr(start)));
      if (f[0] == "book") {
        book = f[1];
        back.books.push_back(book);
      } else if (f[0] == "sheet") {
        sheet = f[1];
        back.sheets.push_back({book, sheet, f.size() > 4 ? f[4] : "", std::stoi(f[2]), std::stoi(f[3])});
      } else if (f[0] == "cell") {
        back.cells.push_back({book, sheet, f[1], f[2], f[3], f[4]});
      }
    }
    return back;
  }

  // The register's CSV rows (fields split, heading dropped) of a run of
  // dazorov1 in this process over the dates, owners flagged S and N, every
  // class, CSV files kept.
  std::vector<std::vector<std::string>> RegisterRows(const std::string& from, const std::string& to) {
    std::vector<std::string> pent(23, "");
    pent[0] = from;
    pent[1] = to;
    pent[6] = "9999";
    pent[20] = pent[21] = pent[22] = "S";
    std::string text;
    for (const auto& l : pent) text += l + "\r\n";
    EXPECT_TRUE(base_->WriteFile(tmp() + "pent.tmp", text).ok());
    EXPECT_EQ(app::Run(env), app::kExitOk);
    std::vector<std::vector<std::string>> rows;
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(base_->ListDirectory(csv(), &entries).ok());
    for (const auto& e : entries) {
      std::istringstream lines(Read(csv() + e.name));
      std::string line;
      std::getline(lines, line);  // heading
      while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t semi; (semi = line.find(';', start)) != std::string::npos; start = semi + 1)
          fields.push_back(line.substr(start, semi - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
      }
    }
    return rows;
  }

  std::unique_ptr<platform::FileSystem> base_ = platform::NewNativeFileSystem();
  platform::FaultFileSystem fs{base_.get()};
  platform::FakeClock clock;
  platform::FakeEnvironment environment;
  platform::FakeProcessRunner processes;
  platform::MemoryConsole console;
  platform::FakeErrorOutput errors;
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();
  platform::Env env;

 private:
  // A word for the shell: in single quotes, each quote inside as '\''.
  static std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  }
  static std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] != '\\' || i + 1 == s.size()) {
        out += s[i];
        continue;
      }
      const char n = s[++i];
      out += n == 'n' ? '\n' : n == 't' ? '\t' : n;
    }
    return out;
  }

  std::map<int16_t, std::string> records_;
};

}  // namespace zov::books

#endif  // ZOV_TESTS_BOOKS_BOOKS_INSTALLATION_H_
