#include "session/file_names.h"

#include <gtest/gtest.h>

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

// Owners' names as file-name parts: accents kept, what no system takes
// dropped, never a name that ends in a blank or a dot or leaves its folder.
TEST(FileNamePartTest, KeepsLettersDropsWhatNoSystemTakes) {
  struct Case {
    std::string name;
    std::size_t max;
    std::string want;
  } cases[] = {
      {"PUIG I FERRER, JOAN", 40, "PUIG I FERRER, JOAN"},
      {"MARIA \xB7NGELS PUIGDOM\xD4NECH", 40, "MARIA \xB7NGELS PUIGDOM\xD4NECH"},
      {"  N\xA3\xA4" "ez, Fran\x87ois / d'Or  ", 40, "N\xA3\xA4" "ez, Fran\x87ois  d'Or"},
      {"A\\B/C:D*E?F\"G<H>I|J", 40, "ABCDEFGHIJ"},
      {"TAB\tNL\nNUL" + std::string(1, '\0') + "ESC\x1B" "DEL\x7F" "END", 40, "TABNLNULESCDELEND"},
      {"../../etc/passwd", 40, "....etcpasswd"},
      {"S.A. ...", 40, "S.A"},
      {"ABCDEFGH", 5, "ABCDE"},
      {"AB CD", 3, "AB"},  // cut, then the blank at its end dropped
      {"", 40, ""},
      {"***", 40, ""},
      {std::string(300, 'X'), std::string::npos, std::string(300, 'X')},
  };
  for (const Case& c : cases) EXPECT_EQ(FileNamePart(c.name, c.max), c.want) << "name \"" << c.name << "\"";
}

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

// A new name is taken by an exclusive create, never by a search of the
// directory: a TEMP of tens of thousands of files made each name cost a full
// listing.
// A file written under its temporary name takes the unique name it stands
// for ("K3Z09QAB.CSV.tmp" becomes "K3Z09QAB.CSV") while that is free, and a
// new name of the same shape once it is taken; the taker keeps its file.
TEST_F(FileNamesTest, TemporaryFilesTakeTheirUniqueNameWhenPublished) {
  for (bool taken : {false, true}) {
    SCOPED_TRACE(taken ? "taken" : "free");
    std::unique_ptr<platform::ByteFile> file;
    const std::string temp = UniqueTemporaryFile(env_, dir_, "", ".CSV", &file);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(HasShape(temp, dir_, 8, ".CSV.tmp")) << temp;
    ASSERT_TRUE(file->Write(0, "rows").ok());
    ASSERT_TRUE(file->Close().ok());
    const std::string own = temp.substr(0, temp.size() - 4);
    if (taken) MakeFile(own);
    std::string name;
    ASSERT_TRUE(PublishUniqueFile(env_, temp, dir_, "", ".CSV", &name).ok());
    EXPECT_TRUE(HasShape(name, dir_, 8, ".CSV")) << name;
    EXPECT_EQ(name == own, !taken) << name;
    std::string text;
    ASSERT_TRUE(fs_->ReadFile(name, &text).ok());
    EXPECT_EQ(text, "rows");
    ASSERT_TRUE(fs_->ReadFile(own, &text).ok());
    EXPECT_EQ(text, taken ? "x" : "rows");
    EXPECT_FALSE(fs_->ReadFile(temp, &text).ok());
  }
}

TEST(UniqueFileNameCostTest, ANewNameNeverSearchesTheDirectory) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  struct CountingFileSystem : platform::FileSystemWrapper {
    using platform::FileSystemWrapper::FileSystemWrapper;
    platform::Status FindFirst(std::string_view pattern, platform::DirEntry* entry) override {
      ++searches;
      return FileSystemWrapper::FindFirst(pattern, entry);
    }
    platform::Status ListDirectory(std::string_view dir, std::vector<platform::DirEntry>* entries) override {
      ++searches;
      return FileSystemWrapper::ListDirectory(dir, entries);
    }
    int searches = 0;
  } counting(fake.env.fs);
  fake.env.fs = &counting;
  std::set<std::string> names;
  for (int i = 0; i < 50; ++i) names.insert(UniqueFileName(fake.env, fake.root(), "", ".CSV"));
  EXPECT_EQ(names.size(), 50u);
  EXPECT_EQ(counting.searches, 0);
}

}  // namespace
}  // namespace zov::session
