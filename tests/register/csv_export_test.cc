#include "register/csv_export.h"

#include <algorithm>

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

TEST(CsvExportTest, CsvDirectoryFromTheEnvironment) {
  struct Case {
    std::map<std::string, std::string, std::less<>> vars;
    bool interpreter;  // the opener started through COMSPEC
    std::string dir;
  } cases[] = {
      {{{"TEMP", "/var/tmp"}}, false, "/var/tmp/"},
      {{{"TEMP", "/var/tmp/"}, {"TMPDIR", "/x"}}, false, "/var/tmp/"},
      {{{"TEMP", ""}, {"TMPDIR", "/x"}}, false, "/x/"},
      {{{"TMPDIR", "/x/"}}, false, "/x/"},
      {{}, false, "/tmp/"},
      {{{"TEMP", "C:\\Users\\ana\\Temp"}}, true, "C:\\Users\\ana\\Temp\\"},
      {{{"TEMP", "C:"}}, true, "C:"},
      {{{"TMPDIR", "/x"}}, true, ""},  // TEMP alone: the current directory
  };
  for (const Case& c : cases) {
    platform::FakeEnvironment environment(c.vars);
    SCOPED_TRACE(c.dir);
    EXPECT_EQ(CsvDirectory(environment, platform::SystemConventions{c.interpreter}), c.dir);
  }
}

TEST(CsvExportTest, FindsTheOpenerInExeDirThenPath) {
  struct Case {
    std::vector<std::string> files;  // created under the test directory
    std::vector<std::string> dirs;
    std::string exe_dir, path_list, found;
  } cases[] = {
      {{"exe/DEDADO.EXE"}, {"exe"}, "exe/", "", "exe/DEDADO.EXE"},
      {{"exe/dedado"}, {"exe"}, "exe/", "", "exe/dedado"},
      {{"exe/Dedado.Exe", "p1/dedado"}, {"exe", "p1"}, "exe/", "p1", "exe/Dedado.Exe"},
      {{"p2/dedado.exe"}, {"exe", "p1", "p2"}, "exe/", "p1::p2", "p2/dedado.exe"},
      {{"p1/dedado"}, {"exe", "exe/DEDADO", "p1"}, "exe/", "p1", "p1/dedado"},  // a directory is not it
      {{"p1/dedado.txt"}, {"exe", "p1"}, "exe/", "p1", ""},
      {{}, {"exe"}, "exe/", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.found + " in " + c.exe_dir + " / " + c.path_list);
    platform::FakeEnv fake;
    platform::FileSystem& fs = fake.base_fs();
    const std::string root = fake.root();
    for (const auto& d : c.dirs) ASSERT_TRUE(fs.CreateDirectory(root + d).ok());
    for (const auto& f : c.files) ASSERT_TRUE(fs.WriteFile(root + f, "").ok());
    std::string path_list;
    std::size_t start = 0;
    while (start <= c.path_list.size()) {  // prefix every entry with the test directory
      std::size_t end = c.path_list.find(':', start);
      if (end == std::string::npos) end = c.path_list.size();
      if (start > 0) path_list += ':';
      if (end > start) path_list += root + c.path_list.substr(start, end - start);
      start = end + 1;
    }
    const std::string found = FindOpener(fs, root + c.exe_dir, path_list);
    EXPECT_EQ(found, c.found.empty() ? "" : root + c.found);
  }
}

// Another run takes the final name between the temporary file's writing and
// its naming: its file stays as it was, this owner's file takes another
// name, whole. A naming that fails for another reason loses the file
// (deleted, said, counted) but never leaves it half-named.
TEST(CsvExportTest, AFinalNameTakenMeanwhileIsNeverReplaced) {
  struct Racing : platform::FileSystemWrapper {
    using FileSystemWrapper::FileSystemWrapper;
    bool fail = false;
    platform::Status RenameNoReplace(std::string_view from, std::string_view to) override {
      if (fail) return platform::Status::IoError("rename: injected");
      if (taken.empty()) {
        taken = std::string(to);
        EXPECT_TRUE(WriteFile(to, "theirs").ok());
      }
      return FileSystemWrapper::RenameNoReplace(from, to);
    }
    std::string taken;
  };
  for (bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "the naming fails" : "the name is taken");
    Harness h;
    Racing racing(h.env.fs);
    racing.fail = fail;
    h.env.fs = &racing;
    h.state.params.open_csv = true;
    OwnerCsvStart(h.ctx);
    CsvRow(h.ctx, LineAmounts{});
    OwnerCsvEnd(h.ctx);
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(h.fs->ListDirectory(h.fake.root(), &entries).ok());
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    EXPECT_EQ(h.slots.lost_lines, 0);
    if (fail) {
      EXPECT_TRUE(names.empty()) << names[0];
      EXPECT_EQ(h.state.csv_unpublished, 1);
      EXPECT_TRUE(h.fake.errors.Mentions("could not be given its name: deleted, not opened"));
      continue;
    }
    ASSERT_EQ(names.size(), 2u);
    std::string theirs, mine;
    ASSERT_TRUE(h.fs->ReadFile(racing.taken, &theirs).ok());
    EXPECT_EQ(theirs, "theirs");
    EXPECT_NE(h.state.csv_path, racing.taken);
    EXPECT_EQ(h.state.csv_path.substr(h.state.csv_path.size() - 4), ".CSV");
    ASSERT_TRUE(h.fs->ReadFile(h.state.csv_path, &mine).ok());
    EXPECT_EQ(std::count(mine.begin(), mine.end(), '\n'), 2) << "the heading row and the line's row";
    EXPECT_EQ(h.state.csv_unpublished, 0);
    EXPECT_TRUE(h.fake.errors.lines.empty());
  }
}

}  // namespace
}  // namespace zov::reg
