// What only real files can show: links planted where the program writes,
// FIFOs and devices where it reads, and the permissions of the files it
// creates or replaces.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/code_page.h"
#include "platform/testing/fake_env.h"

namespace zov::platform {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  FakeEnv fake_{FakeEnv::Files::kReal};
  FileSystem& fs_ = fake_.base_fs();
  const std::string dir_ = fake_.root();

  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_.ReadFile(name, &s).ok()) << name;
    return s;
  }
  mode_t ModeOf(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(::lstat(Cp850ToUtf8Exact(fs_.Resolve(name)).c_str(), &st), 0) << name;
    return st.st_mode & 07777;
  }
};

// A link under another letter case is not taken for the file; a link under
// the exact name is refused by every open that writes from the start. The
// file the link points to keeps its bytes either way.
TEST_F(PosixFileSystemTest, NeverWritesThroughALink) {
  const std::string target = dir_ + "target.txt";
  ASSERT_TRUE(fs_.WriteFile(target, "precious").ok());
  ASSERT_EQ(::symlink(target.c_str(), (dir_ + "DoZuDiZi.TmP").c_str()), 0);
  ASSERT_EQ(::symlink(target.c_str(), (dir_ + "exact.tmp").c_str()), 0);
  EXPECT_EQ(fs_.Resolve(dir_ + "dozudizi.tmp"), dir_ + "dozudizi.tmp");

  std::unique_ptr<ByteFile> f;
  std::unique_ptr<AppendFile> a;
  ASSERT_TRUE(fs_.WriteFile(dir_ + "dozudizi.tmp", "register").ok());
  ASSERT_TRUE(fs_.OpenAppendFile(dir_ + "DOZUDIZI.TMP", &a).ok());
  ASSERT_TRUE(a->Append("+").ok());
  ASSERT_TRUE(a->Close().ok());
  EXPECT_EQ(Read(dir_ + "dozudizi.tmp"), "register+");
  struct Case {
    const char* what;
    Status status;
  } cases[] = {
      {"create-truncate", fs_.OpenByteFile(dir_ + "exact.tmp", OpenMode::kCreateTruncate, &f)},
      {"create-new", fs_.OpenByteFile(dir_ + "exact.tmp", OpenMode::kCreateNew, &f)},
      {"append", fs_.OpenAppendFile(dir_ + "exact.tmp", &a)},
      {"write", fs_.WriteFile(dir_ + "exact.tmp", "x")},
  };
  for (const Case& c : cases) EXPECT_FALSE(c.status.ok()) << c.what;
  EXPECT_EQ(Read(target), "precious");
}

// A FIFO or a device where a file is read or written is an error at once,
// never a wait for the other end.
TEST_F(PosixFileSystemTest, OpensOnlyRegularFiles) {
  const std::string fifo = dir_ + "pent.tmp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "Orva.ini").ok());
  std::string contents;
  std::unique_ptr<ByteFile> f;
  std::unique_ptr<AppendFile> a;
  struct Case {
    const char* what;
    Status status;
  } cases[] = {
      {"read a FIFO", fs_.ReadFile(dir_ + "PENT.TMP", &contents)},
      {"truncate a FIFO", fs_.OpenByteFile(fifo, OpenMode::kCreateTruncate, &f)},
      {"read-write a FIFO", fs_.OpenByteFile(fifo, OpenMode::kReadWriteCreate, &f)},
      {"append to a FIFO", fs_.OpenAppendFile(fifo, &a)},
      {"read a device", fs_.ReadFile("/dev/null", &contents)},
      {"write a device", fs_.WriteFile("/dev/null", "x")},
      {"read a directory", fs_.ReadFile(dir_ + "orva.ini", &contents)},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.status.IsInvalidArgument()) << c.what << ": " << c.status.message();
    EXPECT_NE(c.status.message().find("not a regular file"), std::string::npos) << c.what;
  }
}

// Files the program creates hold its data alone: owner-only whatever the
// umask. A new settings file gets the usual permissions (the installation's
// other users read it); a file replaced keeps the permissions it had.
TEST_F(PosixFileSystemTest, CreatesOwnerOnlyFilesAndKeepsAReplacedFilesMode) {
  const mode_t old_umask = ::umask(0);
  std::unique_ptr<ByteFile> f;
  std::unique_ptr<AppendFile> a;
  ASSERT_TRUE(fs_.OpenByteFile(dir_ + "new.csv", OpenMode::kCreateNew, &f).ok());
  ASSERT_TRUE(fs_.OpenByteFile(dir_ + "dozudizi.tmp", OpenMode::kCreateTruncate, &f).ok());
  ASSERT_TRUE(fs_.OpenAppendFile(dir_ + "rows.csv", &a).ok());
  ASSERT_TRUE(WriteFileAtomically(fs_, dir_ + "fresh.ini", "x").ok());
  ASSERT_TRUE(fs_.WriteFile(dir_ + "VParam.tab", "old").ok());
  ASSERT_EQ(::chmod((dir_ + "VParam.tab").c_str(), 0664), 0);
  const Status replaced = WriteFileAtomically(fs_, dir_ + "VParam.tab", "new");
  ::umask(old_umask);
  ASSERT_TRUE(replaced.ok()) << replaced.message();
  for (const char* name : {"new.csv", "dozudizi.tmp", "rows.csv"}) {
    EXPECT_EQ(ModeOf(dir_ + name), 0600u) << name;
  }
  EXPECT_EQ(ModeOf(dir_ + "fresh.ini"), 0644u);
  EXPECT_EQ(ModeOf(dir_ + "VParam.tab"), 0664u);
  EXPECT_EQ(Read(dir_ + "VParam.tab"), "new");
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// RenameFile replaces the entry that matches the target in any letter case;
// RenameToExactName only the exact one, and leaves a differently spelled one.
TEST_F(PosixFileSystemTest, RenameToExactNameLeavesOtherSpellingsAlone) {
  struct Case {
    const char* existing;  // an entry before the rename, or ""
    bool exact;
    const char* replaced;  // the entry that then holds the new contents
    const char* kept;      // an entry that keeps its old contents, or ""
  };
  const Case cases[] = {
      {"", true, "Book.xlsx", ""},
      {"Book.xlsx", true, "Book.xlsx", ""},
      {"BOOK.XLSX", true, "Book.xlsx", "BOOK.XLSX"},
      {"BOOK.XLSX", false, "BOOK.XLSX", ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.existing) + (c.exact ? " exact" : " any case"));
    const std::string dir = dir_ + std::to_string(++n) + "/";
    ASSERT_TRUE(fs_.CreateDirectory(dir).ok());
    if (*c.existing) {
      ASSERT_TRUE(fs_.WriteFile(dir + c.existing, "old").ok());
    }
    ASSERT_TRUE(fs_.WriteFile(dir + "Book.xlsx.part", "new").ok());
    const Status s = c.exact ? fs_.RenameToExactName(dir + "Book.xlsx.part", dir + "Book.xlsx")
                             : fs_.RenameFile(dir + "Book.xlsx.part", dir + "Book.xlsx");
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(Read(dir + c.replaced), "new");
    if (*c.kept) {
      EXPECT_EQ(Read(dir + c.kept), "old");
    }
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs_.ListDirectory(dir, &entries).ok());
    EXPECT_EQ(entries.size(), *c.kept ? 2u : 1u);
  }
}

// On disk the names are UTF-8. One that code page 850 cannot hold (other
// characters, bytes that are not UTF-8) is no name the program could use:
// it is not listed, and such a current directory is an error naming it.
TEST_F(PosixFileSystemTest, NamesOnDiskAreUtf8AndForeignOnesAreLeftOut) {
  const std::string folder = "Administraci\xA2 Garc\xA1" "a";
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + folder).ok());
  ASSERT_TRUE(fs_.WriteFile(dir_ + folder + "/GARC\xD6" "A.xlsx", "book").ok());
  struct stat st {};
  EXPECT_EQ(::lstat((dir_ + "Administraci\u00F3 Garc\u00EDa/GARC\u00CDA.xlsx").c_str(), &st), 0);

  const std::string foreign[] = {"\u65E5\u672C.txt", "bad\xFF.txt", "\u20AC.csv"};
  for (const std::string& name : foreign) {
    const int fd = ::open((dir_ + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << name;
    ::close(fd);
  }
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_.ListDirectory(dir_, &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, folder);
  DirEntry entry;
  EXPECT_TRUE(fs_.FindFirst(dir_ + "*.txt", &entry).IsNotFound());

  ASSERT_EQ(::mkdir((dir_ + "\u65E5\u672C").c_str(), 0700), 0);
  std::string before, now;
  ASSERT_TRUE(fs_.GetCurrentDirectory(&before).ok());
  ASSERT_EQ(::chdir((dir_ + "\u65E5\u672C").c_str()), 0);
  const Status s = fs_.GetCurrentDirectory(&now);
  ASSERT_TRUE(fs_.SetCurrentDirectory(before).ok());
  EXPECT_TRUE(s.IsInvalidArgument()) << s.message();
  EXPECT_NE(s.message().find(dir_ + "??"), std::string::npos) << s.message();
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// A lock file is owner-only and never written through what stands under its
// name: a link (whose target keeps its bytes), a FIFO (refused at once, no
// wait for a writer). A dangling link under a new name counts as taken.
TEST_F(PosixFileSystemTest, LockFilesAndNoReplaceRenamesLeaveWhatStandsAlone) {
  const std::string target = dir_ + "precious.txt";
  ASSERT_TRUE(fs_.WriteFile(target, "precious").ok());
  ASSERT_EQ(::symlink(target.c_str(), (dir_ + "link.lck").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir_ + "fifo.lck").c_str(), 0600), 0);
  std::unique_ptr<FileLock> lock;
  for (const char* name : {"link.lck", "fifo.lck"}) {
    const Status s = fs_.TryLockFile(dir_ + name, "note", &lock);
    EXPECT_TRUE(s.IsInvalidArgument()) << name << ": " << s.message();
  }
  EXPECT_EQ(Read(target), "precious");
  const mode_t old_umask = ::umask(0);
  const Status locked = fs_.TryLockFile(dir_ + "run.lck", "note", &lock);
  ::umask(old_umask);
  ASSERT_TRUE(locked.ok()) << locked.message();
  EXPECT_EQ(ModeOf(dir_ + "run.lck"), 0600u);

  ASSERT_EQ(::symlink((dir_ + "nowhere").c_str(), (dir_ + "K3Z09QAB.CSV").c_str()), 0);
  ASSERT_TRUE(fs_.WriteFile(dir_ + "K3Z09QAB.CSV.tmp", "rows").ok());
  EXPECT_TRUE(fs_.RenameNoReplace(dir_ + "K3Z09QAB.CSV.tmp", dir_ + "K3Z09QAB.CSV").IsAlreadyExists());
  EXPECT_EQ(Read(dir_ + "K3Z09QAB.CSV.tmp"), "rows");
}

}  // namespace
}  // namespace zov::platform
