#include "session/file_names.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
#include <vector>

#include "platform/ascii.h"
#include "platform/testing/fake_env.h"

namespace zov::session {
namespace {

// Whether name is head, then `count` characters of 0-9 and A-Z, then tail.
bool HasShape(const std::string& name, const std::string& head, std::size_t count, const std::string& tail) {
  if (name.size() != head.size() + count + tail.size()) return false;
  if (name.compare(0, head.size(), head) != 0 || name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
    return false;
  }
  for (std::size_t i = head.size(); i < head.size() + count; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

class FileNamesTest : public ::testing::Test {
 public:  // the case table's set-up functions use the helpers
  void MakeFile(const std::string& name) { ASSERT_TRUE(fs_->WriteFile(name, "x").ok()) << name; }
  void MakeReadOnly(const std::string& name) { ASSERT_TRUE(fake_.SetReadOnly(name).ok()) << name; }

  platform::FakeEnv fake_;
  platform::FileSystem* fs_ = &fake_.base_fs();
  platform::Env& env_ = fake_.env;
  const std::string dir_ = fake_.root();
};

TEST_F(FileNamesTest, FileExistsOnlyForOrdinaryFiles) {
  const std::string d = dir_;
  MakeFile(d + "plain.csv");
  MakeFile(d + "locked.csv");
  MakeReadOnly(d + "locked.csv");
  MakeFile(d + ".hidden");
  ASSERT_TRUE(fs_->CreateDirectory(d + "sub").ok());
  struct Case {
    std::string path;
    bool want;
  } cases[] = {
      {d + "plain.csv", true},  {d + "PLAIN.CSV", true}, {d + "pl*.csv", true},   {d + "locked.csv", false},
      {d + ".hidden", false},   {d + "sub", false},      {d + "missing", false},  {d + "nodir/x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileExists(*fs_, c.path), c.want) << c.path;
  }
}

TEST_F(FileNamesTest, NamesHaveTheRequiredShape) {
  const std::string d = dir_;  // ends in "/"
  const std::string nodelim = d.substr(0, d.size() - 1);
  struct Case {
    std::string directory, prefix, extension;
    std::string head;  // the result: head, random characters, tail
    std::size_t random;
    std::string tail;
  } cases[] = {
      {nodelim, "", ".CSV", nodelim + "\\", 8, ".CSV"},
      {nodelim + "\\", "", "CSV", nodelim + "\\", 8, ".CSV"},
      {d, "", "CSV", d, 8, ".CSV"},
      {"  " + d + "  ", "  REGISTRE ", " TEXT ", d + "REG", 5, ".TEX"},
      {d, "AB", "", d + "AB", 6, ""},
      {d, "ABCDEFGH", ".", d + "ABC", 5, ""},
      {"C:", "", ".CSV", "C:", 8, ".CSV"},
      {"", "X", ".CSV", "X", 7, ".CSV"},
  };
  for (const Case& c : cases) {
    std::string name = UniqueFileName(env_, c.directory, c.prefix, c.extension);
    EXPECT_TRUE(HasShape(name, c.head, c.random, c.tail))
        << "(" << c.directory << ", " << c.prefix << ", " << c.extension << ") gave " << name;
  }
}

// Each call creates its own new file, whatever the clock says: a run at the
// same moment gets other names, and no entry is ever handed out twice.
TEST_F(FileNamesTest, EachCallCreatesItsOwnEmptyFile) {
  std::set<std::string> names;
  for (int i = 0; i < 50; ++i) {
    const std::string name = UniqueFileName(env_, dir_, "", ".CSV");  // clock unchanged
    std::string contents = "?";
    ASSERT_TRUE(fs_->ReadFile(name, &contents).ok()) << name;
    EXPECT_EQ(contents, "");
    EXPECT_TRUE(names.insert(name).second) << name << " given twice";
  }
  std::string name = UniqueFileName(env_, dir_ + "missing", "", ".CSV");
  EXPECT_TRUE(HasShape(name, dir_ + "missing\\", 8, ".CSV")) << "the name tried: " << name;
}

// Two processes taking CSV names in one directory at the same moment (the
// clock gives both the same hundredths) never share a file: each appends
// its mark to every file it got, and every file holds one mark.
TEST(UniqueFileNameProcessTest, ConcurrentProcessesNeverShareAFile) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  constexpr int kPerProcess = 300;
  std::vector<pid_t> children;
  for (char mark : {'a', 'b'}) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kPerProcess; ++i) {
        std::unique_ptr<platform::AppendFile> file;
        const std::string name = UniqueFileName(fake.env, fake.root(), "", ".CSV");
        if (!fake.env.fs->OpenAppendFile(name, &file).ok() || !file->Append(std::string(1, mark)).ok()) ++failures;
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(fake.base_fs().ListDirectory(fake.root(), &entries).ok());
  EXPECT_EQ(entries.size(), 2u * kPerProcess);
  int shared = 0;
  for (const platform::DirEntry& e : entries) shared += e.size != 1 ? 1 : 0;
  EXPECT_EQ(shared, 0) << "files holding both processes' rows";
}

// A new name costs the same in a crowded directory as in an empty one: it is
// taken by an exclusive create, never by a search of the directory (a TEMP
// of tens of thousands of files made each name cost a full listing).
TEST(UniqueFileNameCostTest, ACrowdedDirectoryCostsNoMore) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  platform::FileSystem& fs = fake.base_fs();
  const std::string empty = fake.root() + "empty/", crowded = fake.root() + "crowded/";
  ASSERT_TRUE(fs.CreateDirectory(empty).ok());
  ASSERT_TRUE(fs.CreateDirectory(crowded).ok());
  std::unique_ptr<platform::ByteFile> f;
  for (int i = 0; i < 10000; ++i) {
    ASSERT_TRUE(fs.OpenByteFile(crowded + "other" + std::to_string(i), platform::OpenMode::kCreateNew, &f).ok());
  }
  auto seconds_for_names = [&fake](const std::string& dir) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 500; ++i) UniqueFileName(fake.env, dir, "", ".CSV");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const double in_empty = seconds_for_names(empty);
  const double in_crowded = seconds_for_names(crowded);
  EXPECT_LT(in_crowded, 3 * in_empty + 0.1) << "empty " << in_empty << " s, crowded " << in_crowded << " s";
}

}  // namespace
}  // namespace zov::session
