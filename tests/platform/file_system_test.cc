// The FileSystem contract, run over every implementation: the POSIX one on a
// temporary directory and the in-memory one the tests use.
#include <gtest/gtest.h>

#include <memory>

#include "platform/testing/fake_env.h"

namespace zov::platform {
namespace {

class FileSystemTest : public ::testing::TestWithParam<FakeEnv::Files> {
 protected:
  FakeEnv fake_{GetParam()};
  FileSystem& fs_ = fake_.base_fs();
  const std::string dir_ = fake_.root();

  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_.ReadFile(name, &s).ok()) << name;
    return s;
  }
  void Write(const std::string& name, const std::string& data) { ASSERT_TRUE(fs_.WriteFile(name, data).ok()) << name; }
};

INSTANTIATE_TEST_SUITE_P(Implementations, FileSystemTest, ::testing::Values(FakeEnv::Files::kReal, FakeEnv::Files::kMemory),
                         [](const auto& info) { return info.param == FakeEnv::Files::kReal ? "Native" : "Memory"; });

TEST_P(FileSystemTest, ResolvesBackslashesAndLetterCase) {
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "DADES").ok());
  Write(dir_ + "DADES/dozudizi.tmp", "x");
  Write(dir_ + "DOZUDIZI.INI", "y");
  struct Case {
    std::string name;
    std::string want;
  } cases[] = {
      {"DADES\\DOZUDIZI.TMP", "DADES/dozudizi.tmp"},
      {"dades\\Dozudizi.Tmp", "DADES/dozudizi.tmp"},
      {"dozudizi.ini", "DOZUDIZI.INI"},
      {"DADES\\missing\\New.dat", "DADES/missing/New.dat"},  // new names keep their case
      {"nodir\\file", "nodir/file"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fs_.Resolve(dir_ + c.name), dir_ + c.want) << c.name;
  }
  EXPECT_EQ(Read(dir_ + "Dades\\DOZUDIZI.tmp"), "x");
}

TEST_P(FileSystemTest, ReadsTextLinesWithEitherLineEnd) {
  struct Case {
    std::string contents;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"\n\nc\r\n", {"", "", "c"}},
      {"", {}},
      {"only\r", {"only"}},
  };
  for (const Case& c : cases) {
    Write(dir_ + "t.txt", c.contents);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(fs_, dir_ + "t.txt", &lines).ok());
    EXPECT_EQ(lines, c.lines) << c.contents;
  }
  std::vector<std::string> lines;
  EXPECT_TRUE(ReadTextLines(fs_, dir_ + "none", &lines).IsNotFound());
}

TEST_P(FileSystemTest, ByteFileReadsAndWritesAtPositionsAndAppendsAtTheEnd) {
  std::unique_ptr<ByteFile> f;
  ASSERT_TRUE(fs_.OpenByteFile(dir_ + "b.bin", OpenMode::kReadWriteCreate, &f).ok());
  ASSERT_TRUE(f->Write(4, "tail").ok());
  ASSERT_TRUE(f->Write(0, "head").ok());
  uint64_t size = 0;
  ASSERT_TRUE(f->Size(&size).ok());
  EXPECT_EQ(size, 8u);
  std::string out;
  ASSERT_TRUE(f->Read(2, 100, &out).ok());
  EXPECT_EQ(out, "adtail");
  ASSERT_TRUE(f->Close().ok());
  std::unique_ptr<AppendFile> a;
  ASSERT_TRUE(fs_.OpenAppendFile(dir_ + "B.BIN", &a).ok());
  ASSERT_TRUE(a->Append("+").ok());
  ASSERT_TRUE(a->Append("-").ok());
  ASSERT_TRUE(a->Close().ok());
  EXPECT_EQ(Read(dir_ + "b.bin"), "headtail+-");
  ASSERT_TRUE(fs_.OpenByteFile(dir_ + "b.bin", OpenMode::kCreateTruncate, &f).ok());
  ASSERT_TRUE(f->Size(&size).ok());
  EXPECT_EQ(size, 0u);
}

TEST_P(FileSystemTest, FindFirstReportsAttributes) {
  Write(dir_ + "plain.txt", "12345");
  Write(dir_ + "ro.txt", "");
  ASSERT_TRUE(fake_.SetReadOnly(dir_ + "ro.txt").ok());
  Write(dir_ + ".hidden", "");
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "sub").ok());
  struct Case {
    std::string pattern;
    std::string name;
    uint32_t attributes;
  } cases[] = {
      {"plain.txt", "plain.txt", kAttrArchive},
      {"PLAIN.TXT", "plain.txt", kAttrArchive},
      {"ro.txt", "ro.txt", kAttrArchive | kAttrReadOnly},
      {".hidden", ".hidden", kAttrArchive | kAttrHidden},
      {"sub", "sub", kAttrDirectory},
      {"pl*.t?t", "plain.txt", kAttrArchive},
  };
  for (const Case& c : cases) {
    DirEntry e;
    ASSERT_TRUE(fs_.FindFirst(dir_ + c.pattern, &e).ok()) << c.pattern;
    EXPECT_EQ(e.name, c.name) << c.pattern;
    EXPECT_EQ(e.attributes, c.attributes) << c.pattern;
  }
  DirEntry e;
  ASSERT_TRUE(fs_.FindFirst(dir_ + "plain.txt", &e).ok());
  EXPECT_EQ(e.size, 5u);
  EXPECT_TRUE(fs_.FindFirst(dir_ + "nothing*", &e).IsNotFound());
  EXPECT_TRUE(fs_.FindFirst(dir_ + "nothing", &e).IsNotFound());
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_.ListDirectory(dir_, &entries).ok());
  EXPECT_EQ(entries.size(), 4u) << "every entry but . and ..";
}

// What the callers branch on: the code of each kind of failure.
TEST_P(FileSystemTest, FailuresCarryTheirCode) {
  Write(dir_ + "file", "x");
  std::unique_ptr<ByteFile> f;
  std::vector<DirEntry> entries;
  std::string s;
  struct Case {
    const char* what;
    Status status;
    bool (Status::*is)() const;
  } cases[] = {
      {"open a missing file", fs_.OpenByteFile(dir_ + "missing", OpenMode::kReadOnly, &f), &Status::IsNotFound},
      {"create in a missing directory", fs_.WriteFile(dir_ + "no/file", "x"), &Status::IsNotFound},
      {"read a missing file", fs_.ReadFile(dir_ + "missing", &s), &Status::IsNotFound},
      {"delete a missing file", fs_.DeleteFile(dir_ + "missing"), &Status::IsNotFound},
      {"rename a missing file", fs_.RenameFile(dir_ + "missing", dir_ + "other"), &Status::IsNotFound},
      {"list a missing directory", fs_.ListDirectory(dir_ + "missing", &entries), &Status::IsNotFound},
      {"enter a missing directory", fs_.SetCurrentDirectory(dir_ + "missing"), &Status::IsNotFound},
      {"create an existing directory", fs_.CreateDirectory(dir_ + "FILE"), &Status::IsAlreadyExists},
      {"create new over a file", fs_.OpenByteFile(dir_ + "file", OpenMode::kCreateNew, &f), &Status::IsAlreadyExists},
      {"remove a missing directory", fs_.RemoveDirectory(dir_ + "missing"), &Status::IsNotFound},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE((c.status.*c.is)()) << c.what << ": " << c.status.message();
    EXPECT_FALSE(c.status.message().empty()) << c.what;
  }
}

// A new file is made only where nothing stands; an empty directory is removed,
// one with entries is not.
TEST_P(FileSystemTest, CreatesNewFilesAndRemovesEmptyDirectories) {
  std::unique_ptr<ByteFile> f;
  ASSERT_TRUE(fs_.OpenByteFile(dir_ + "new.tmp", OpenMode::kCreateNew, &f).ok());
  ASSERT_TRUE(f->Write(0, "fresh").ok());
  ASSERT_TRUE(f->Close().ok());
  EXPECT_EQ(Read(dir_ + "new.tmp"), "fresh");
  EXPECT_TRUE(fs_.OpenByteFile(dir_ + "new.tmp", OpenMode::kCreateNew, &f).IsAlreadyExists());
  EXPECT_EQ(Read(dir_ + "new.tmp"), "fresh");

  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "box").ok());
  Write(dir_ + "box/a.pdf", "a");
  EXPECT_FALSE(fs_.RemoveDirectory(dir_ + "box").ok());
  ASSERT_TRUE(fs_.DeleteFile(dir_ + "box/a.pdf").ok());
  EXPECT_TRUE(fs_.RemoveDirectory(dir_ + "BOX").ok()) << "found in any letter case";
  DirEntry e;
  EXPECT_TRUE(fs_.FindFirst(dir_ + "box", &e).IsNotFound());
}

// A reader that opened the old file keeps reading its bytes while the file is
// replaced or deleted; a new open sees the new bytes.
TEST_P(FileSystemTest, ReplacingAFileLeavesOpenReadersTheOldBytes) {
  const std::string name = dir_ + "Orva.ini";
  Write(name, "old");
  std::unique_ptr<ByteFile> reader;
  ASSERT_TRUE(fs_.OpenByteFile(name, OpenMode::kReadOnly, &reader).ok());
  ASSERT_TRUE(WriteFileAtomically(fs_, name, "new!").ok());
  std::string out;
  ASSERT_TRUE(reader->Read(0, 100, &out).ok());
  EXPECT_EQ(out, "old");
  EXPECT_EQ(Read(name), "new!");
  ASSERT_TRUE(fs_.OpenByteFile(name, OpenMode::kReadOnly, &reader).ok());
  ASSERT_TRUE(fs_.DeleteFile(name).ok());
  ASSERT_TRUE(reader->Read(0, 100, &out).ok());
  EXPECT_EQ(out, "new!");
}

TEST_P(FileSystemTest, RelativeNamesStartAtTheCurrentDirectory) {
  std::string before;
  ASSERT_TRUE(fs_.GetCurrentDirectory(&before).ok());
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "Work").ok());
  ASSERT_TRUE(fs_.SetCurrentDirectory(dir_ + "WORK").ok());
  std::string now;
  EXPECT_TRUE(fs_.GetCurrentDirectory(&now).ok());
  const Status s = fs_.WriteFile("sub.txt", "here");
  ASSERT_TRUE(fs_.SetCurrentDirectory(before).ok());
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(now.substr(now.size() - 5), "/Work");
  EXPECT_EQ(Read(dir_ + "Work/sub.txt"), "here");
}

TEST_P(FileSystemTest, AtomicWriteKeepsOldFileWhenAnyStepFails) {
  const std::string name = dir_ + "Orva.ini";
  for (FaultFileSystem::Op op : {FaultFileSystem::Op::kOpen, FaultFileSystem::Op::kWrite,
                                 FaultFileSystem::Op::kSync, FaultFileSystem::Op::kRename}) {
    Write(name, "old");
    FaultFileSystem faulty(&fs_);
    faulty.FailAt(op, 1);
    Status s = WriteFileAtomically(faulty, name, "new");
    EXPECT_FALSE(s.ok()) << static_cast<int>(op);
    EXPECT_NE(s.message().find("injected"), std::string::npos) << s.message();
    EXPECT_EQ(Read(name), "old");
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs_.ListDirectory(dir_, &entries).ok());
    EXPECT_EQ(entries.size(), 1u) << "temporary file left behind";
  }
  ASSERT_TRUE(WriteFileAtomically(fs_, name, "new").ok());
  EXPECT_EQ(Read(name), "new");
}

TEST(WildcardTest, Matches) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*", "anything", true}, {"*.CSV", "ab12.csv", true}, {"a?c", "abc", true},
      {"a?c", "ac", false},    {"*x*y", "axxbyy", true},    {"abc", "abcd", false},
      {"", "", true},          {"**", "", true},            {"A*", "b", false},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

// A name no entry has: the same seed gives the same name, a name in use is
// skipped, and an error other than "no such entry" ends the search.
TEST(FreeRandomNameTest, SkipsNamesInUse) {
  FakeEnv fake;
  FileSystem& fs = fake.base_fs();
  const RandomNameShape shape{fake.root() + "R", "AB", 3, ".tmp"};
  std::string first, again, next;
  ASSERT_TRUE(FreeRandomName(fs, shape, 7, 10, &first).ok());
  ASSERT_TRUE(FreeRandomName(fs, shape, 7, 10, &again).ok());
  EXPECT_EQ(again, first);
  EXPECT_EQ(first.size(), shape.head.size() + 3 + 4);
  ASSERT_TRUE(fs.WriteFile(first, "").ok());
  ASSERT_TRUE(FreeRandomName(fs, shape, 7, 10, &next).ok());
  EXPECT_NE(next, first);

  for (const char* name : {"RAAA.tmp", "RAAB.tmp", "RABA.tmp", "RABB.tmp", "RBAA.tmp", "RBAB.tmp", "RBBA.tmp",
                           "RBBB.tmp"}) {
    ASSERT_TRUE(fs.WriteFile(fake.root() + name, "").ok());
  }
  EXPECT_TRUE(FreeRandomName(fs, shape, 7, 50, &next).IsIoError());
  EXPECT_TRUE(next.empty());

  struct Unreadable : FileSystemWrapper {
    using FileSystemWrapper::FileSystemWrapper;
    Status FindFirst(std::string_view, DirEntry*) override { return Status::PermissionDenied("stat: denied"); }
  } unreadable(&fs);
  EXPECT_TRUE(FreeRandomName(unreadable, shape, 7, 10, &next).IsPermissionDenied());
  EXPECT_EQ(next, first) << "the name tried";
}

}  // namespace
}  // namespace zov::platform
