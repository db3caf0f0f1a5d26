#include "register/csv_export.h"

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

TEST(CsvExportTest, CsvDirectoryFromTheEnvironment) {
  struct Case {
    std::map<std::string, std::string, std::less<>> vars;
    std::string dir;
  } cases[] = {
      {{{"TEMP", "/var/tmp"}}, "/var/tmp/"},
      {{{"TEMP", "/var/tmp/"}, {"TMPDIR", "/x"}}, "/var/tmp/"},
      {{{"TEMP", ""}, {"TMPDIR", "/x"}}, "/x/"},
      {{{"TMPDIR", "/x/"}}, "/x/"},
      {{}, "/tmp/"},
  };
  for (const Case& c : cases) {
    platform::FakeEnvironment environment(c.vars);
    SCOPED_TRACE(c.dir);
    EXPECT_EQ(CsvDirectory(environment), c.dir);
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
    platform::TempDir dir;
    auto fs = platform::NewNativeFileSystem();
    for (const auto& d : c.dirs) ASSERT_TRUE(fs->CreateDirectory(dir.path() + d).ok());
    for (const auto& f : c.files) ASSERT_TRUE(fs->WriteFile(dir.path() + f, "").ok());
    std::string path_list;
    std::size_t start = 0;
    while (start <= c.path_list.size()) {  // prefix every entry with the test directory
      std::size_t end = c.path_list.find(':', start);
      if (end == std::string::npos) end = c.path_list.size();
      if (start > 0) path_list += ':';
      if (end > start) path_list += dir.path() + c.path_list.substr(start, end - start);
      start = end + 1;
    }
    const std::string found = FindOpener(*fs, dir.path() + c.exe_dir, path_list);
    EXPECT_EQ(found, c.found.empty() ? "" : dir.path() + c.found);
  }
}

}  // namespace
}  // namespace zov::reg
