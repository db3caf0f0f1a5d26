#include "session/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/temp_dir.h"

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
  FileNamesTest() {
    env_.fs = fs_.get();
    env_.clock = &clock_;
  }
  void MakeFile(const std::string& name) { ASSERT_TRUE(fs_->WriteFile(name, "x").ok()) << name; }
  void MakeReadOnly(const std::string& name) {
    std::filesystem::permissions(fs_->Resolve(name), std::filesystem::perms::owner_read);
  }

  platform::TempDir dir_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewNativeFileSystem();
  platform::FakeClock clock_;
  platform::Env env_;
};

TEST_F(FileNamesTest, FileExistsOnlyForOrdinaryFiles) {
  const std::string d = dir_.path();
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
  const std::string d = dir_.path();  // ends in "/"
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

TEST_F(FileNamesTest, TheClockSeedsTheName) {
  const std::string a = UniqueFileName(env_, dir_.path(), "", ".CSV");
  EXPECT_EQ(UniqueFileName(env_, dir_.path(), "", ".CSV"), a);
  clock_.Advance(10);
  EXPECT_NE(UniqueFileName(env_, dir_.path(), "", ".CSV"), a);
}

// A name is only given out when no entry of any kind has it; a read-only or
// hidden file or a directory of that name would make the caller's create
// fail or overwrite something it should not.
TEST_F(FileNamesTest, AnyExistingEntryTakesTheName) {
  struct Case {
    const char* what;
    std::string prefix;
    void (*make)(FileNamesTest*, const std::string&);
  } cases[] = {
      {"ordinary file", "", [](FileNamesTest* t, const std::string& n) { t->MakeFile(n); }},
      {"read-only file", "",
       [](FileNamesTest* t, const std::string& n) {
         t->MakeFile(n);
         t->MakeReadOnly(n);
       }},
      {"hidden file", ".", [](FileNamesTest* t, const std::string& n) { t->MakeFile(n); }},
      {"directory", "", [](FileNamesTest* t, const std::string& n) { ASSERT_TRUE(t->fs_->CreateDirectory(n).ok()); }},
      {"same name in lower case", "",
       [](FileNamesTest* t, const std::string& n) {
         std::string lower = n;
         for (char& ch : lower) ch = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
         t->MakeFile(lower);
       }},
  };
  for (const Case& c : cases) {
    platform::TempDir dir;
    const std::string first = UniqueFileName(env_, dir.path(), c.prefix, ".CSV");
    c.make(this, first);
    const std::string second = UniqueFileName(env_, dir.path(), c.prefix, ".CSV");  // clock unchanged
    EXPECT_NE(second, first) << c.what;
    EXPECT_FALSE(second.empty()) << c.what;
    platform::DirEntry e;
    EXPECT_FALSE(fs_->FindFirst(second, &e).ok()) << c.what;
  }
}

}  // namespace
}  // namespace zov::session
