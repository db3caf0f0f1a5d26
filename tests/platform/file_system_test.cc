#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "platform/posix_file_system.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/temp_dir.h"

namespace zov::platform {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  TempDir dir_;
  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(name, &s).ok()) << name;
    return s;
  }
};

TEST_F(FileSystemTest, ResolvesBackslashesAndLetterCase) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "DADES").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "DADES/dozudizi.tmp", "x").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "DOZUDIZI.INI", "y").ok());
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
    EXPECT_EQ(fs_->Resolve(dir_.path() + c.name), dir_.path() + c.want) << c.name;
  }
  EXPECT_EQ(Read(dir_.path() + "Dades\\DOZUDIZI.tmp"), "x");
}

TEST_F(FileSystemTest, ReadsTextLinesWithEitherLineEnd) {
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
    ASSERT_TRUE(fs_->WriteFile(dir_.path() + "t.txt", c.contents).ok());
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(*fs_, dir_.path() + "t.txt", &lines).ok());
    EXPECT_EQ(lines, c.lines) << c.contents;
  }
  std::vector<std::string> lines;
  EXPECT_EQ(ReadTextLines(*fs_, dir_.path() + "none", &lines).code(), Status::Code::kNotFound);
}

TEST_F(FileSystemTest, ByteFileReadsAndWritesAtPositions) {
  std::unique_ptr<ByteFile> f;
  ASSERT_TRUE(fs_->OpenByteFile(dir_.path() + "b.bin", OpenMode::kReadWriteCreate, &f).ok());
  ASSERT_TRUE(f->Write(4, "tail").ok());
  ASSERT_TRUE(f->Write(0, "head").ok());
  uint64_t size = 0;
  ASSERT_TRUE(f->Size(&size).ok());
  EXPECT_EQ(size, 8u);
  std::string out;
  ASSERT_TRUE(f->Read(2, 100, &out).ok());
  EXPECT_EQ(out, "adtail");
  ASSERT_TRUE(f->Close().ok());
  ASSERT_TRUE(fs_->AppendToFile(dir_.path() + "b.bin", "+").ok());
  EXPECT_EQ(Read(dir_.path() + "b.bin"), "headtail+");
}

TEST_F(FileSystemTest, FindFirstReportsAttributes) {
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "plain.txt", "").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "ro.txt", "").ok());
  ASSERT_EQ(::chmod((dir_.path() + "ro.txt").c_str(), 0444), 0);
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + ".hidden", "").ok());
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "sub").ok());
  struct Case {
    std::string pattern;
    uint32_t attributes;
  } cases[] = {
      {"plain.txt", kAttrArchive},
      {"PLAIN.TXT", kAttrArchive},
      {"ro.txt", kAttrArchive | kAttrReadOnly},
      {".hidden", kAttrArchive | kAttrHidden},
      {"sub", kAttrDirectory},
      {"pl*.t?t", kAttrArchive},
  };
  for (const Case& c : cases) {
    DirEntry e;
    ASSERT_TRUE(fs_->FindFirst(dir_.path() + c.pattern, &e).ok()) << c.pattern;
    EXPECT_EQ(e.attributes, c.attributes) << c.pattern;
  }
  DirEntry e;
  EXPECT_EQ(fs_->FindFirst(dir_.path() + "nothing*", &e).code(), Status::Code::kNotFound);
  EXPECT_EQ(fs_->FindFirst(dir_.path() + "nothing", &e).code(), Status::Code::kNotFound);
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

TEST_F(FileSystemTest, AtomicWriteKeepsOldFileWhenAnyStepFails) {
  const std::string name = dir_.path() + "Orva.ini";
  for (FaultFileSystem::Op op : {FaultFileSystem::Op::kOpen, FaultFileSystem::Op::kWrite,
                                 FaultFileSystem::Op::kSync, FaultFileSystem::Op::kRename}) {
    ASSERT_TRUE(fs_->WriteFile(name, "old").ok());
    FaultFileSystem faulty(fs_.get());
    faulty.FailAt(op, 1);
    Status s = WriteFileAtomically(faulty, name, "new");
    EXPECT_FALSE(s.ok()) << static_cast<int>(op);
    EXPECT_NE(s.message().find("injected"), std::string::npos) << s.message();
    EXPECT_EQ(Read(name), "old");
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs_->ListDirectory(dir_.path(), &entries).ok());
    EXPECT_EQ(entries.size(), 1u) << "temporary file left behind";
  }
  ASSERT_TRUE(WriteFileAtomically(*fs_, name, "new").ok());
  EXPECT_EQ(Read(name), "new");
}

}  // namespace
}  // namespace zov::platform
