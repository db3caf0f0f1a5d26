// The FileSystem contract, run over every implementation: the POSIX one on a
// temporary directory and the in-memory one the tests use.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ascii.h"
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

// Files synced together keep their bytes, in any folder and letter case;
// a missing one is never made.
TEST_P(FileSystemTest, SyncFilesChangesNothingAndMakesNothing) {
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "Box").ok());
  Write(dir_ + "a.part", "a");
  Write(dir_ + "Box/b.part", "bb");
  const std::vector<std::string> names = {dir_ + "a.part", dir_ + "box/B.PART"};
  ASSERT_TRUE(fs_.SyncFiles(names).ok());
  EXPECT_EQ(Read(dir_ + "a.part"), "a");
  EXPECT_EQ(Read(dir_ + "Box/b.part"), "bb");
  const std::vector<std::string> missing = {dir_ + "Box/none.part"};
  (void)fs_.SyncFiles(missing);
  DirEntry e;
  EXPECT_TRUE(fs_.FindFirst(dir_ + "Box/none.part", &e).IsNotFound());
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

// Names are code page 850 inside whatever the system keeps on disk: an
// owner's name with accents in a file's name, an installation's folder.
TEST_P(FileSystemTest, NamesWithAccentsGoInAndComeBackUnchanged) {
  const std::string folder = "Administraci\xA2 Garc\xA1" "a";
  const std::string book = "GARC\xD6" "A L\xE0PEZ.xlsx";
  const std::string dir = dir_ + folder + "/";
  ASSERT_TRUE(fs_.CreateDirectory(dir).ok());
  Write(dir + book, "book");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_.ListDirectory(dir, &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, book);
  DirEntry found;
  ASSERT_TRUE(fs_.FindFirst(dir + "G?RC*.XLSX", &found).ok());
  EXPECT_EQ(found.name, book);
  EXPECT_EQ(Read(dir_ + "administraci\xA2 garc\xA1" "a\\garc\xD6" "a l\xE0pez.XLSX"), "book");
  EXPECT_EQ(fs_.Resolve(dir + book), dir + book);
  std::string before, now;
  ASSERT_TRUE(fs_.GetCurrentDirectory(&before).ok());
  ASSERT_TRUE(fs_.SetCurrentDirectory(dir).ok());
  EXPECT_TRUE(fs_.GetCurrentDirectory(&now).ok());
  ASSERT_TRUE(fs_.SetCurrentDirectory(before).ok());
  EXPECT_TRUE(now.ends_with(folder)) << now;
  const Status missing = fs_.DeleteFile(dir + "NO\x90S.csv");
  EXPECT_TRUE(missing.IsNotFound());
  EXPECT_NE(missing.message().find(folder), std::string::npos) << missing.message();
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

// Every name of the sequence already taken, by an entry of any kind, is
// skipped and left as it was; the file created is new and empty.
TEST_P(FileSystemTest, CreateUniqueFileNeverReusesAnEntry) {
  const RandomNameShape shape{dir_ + "R", "AB", 3, ".tmp"};
  std::string first, again;
  std::unique_ptr<ByteFile> f;
  ASSERT_TRUE(CreateUniqueFile(fs_, shape, 7, 10, &first, &f).ok());
  ASSERT_TRUE(f->Write(0, "mine").ok());
  ASSERT_TRUE(f->Close().ok());
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "sub").ok());
  // The same seed walks the same names: the first is taken now.
  ASSERT_TRUE(CreateUniqueFile(fs_, shape, 7, 10, &again, &f).ok());
  EXPECT_NE(again, first);
  EXPECT_EQ(Read(first), "mine");
  EXPECT_EQ(Read(again), "");
  EXPECT_TRUE(fs_.OpenByteFile(first, OpenMode::kCreateNew, &f).IsAlreadyExists());
  EXPECT_TRUE(fs_.OpenByteFile(dir_ + "sub", OpenMode::kCreateNew, &f).IsAlreadyExists());

  for (const char* name : {"RAAA.tmp", "RAAB.tmp", "RABA.tmp", "RABB.tmp", "RBAA.tmp", "RBAB.tmp", "RBBA.tmp",
                           "RBBB.tmp"}) {
    const std::string path = dir_ + name;
    if (path != first && path != again) Write(path, name);
  }
  ASSERT_TRUE(fake_.SetReadOnly(dir_ + "RAAA.tmp").ok());
  std::string next;
  EXPECT_TRUE(CreateUniqueFile(fs_, shape, 7, 50, &next, &f).IsIoError());
  EXPECT_TRUE(next.empty());
  EXPECT_EQ(Read(first), "mine");

  const Status s = CreateUniqueFile(fs_, RandomNameShape{dir_ + "missing/R", "AB", 3, ""}, 7, 10, &next, &f);
  EXPECT_TRUE(s.IsNotFound()) << s.message();
  EXPECT_FALSE(next.empty()) << "the name tried";
}

// A read-only file is left alone; any other keeps its permissions.
TEST_P(FileSystemTest, AtomicWriteLeavesAReadOnlyFileAlone) {
  const std::string name = dir_ + "VParam.tab";
  Write(name, "old");
  ASSERT_TRUE(fake_.SetReadOnly(name).ok());
  EXPECT_TRUE(WriteFileAtomically(fs_, name, "new").IsPermissionDenied());
  EXPECT_EQ(Read(name), "old");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_.ListDirectory(dir_, &entries).ok());
  EXPECT_EQ(entries.size(), 1u);
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// ResolveIgnoringCase over a made-up tree: which native path each name
// gives, and how many lookups it takes (a new file in an existing directory
// must not walk the directories from the root).
TEST(ResolveIgnoringCaseTest, ResolvesEachNameAndLooksUpOnlyWhatItMust) {
  const std::set<std::string> tree = {"/srv", "/srv/zov", "/srv/zov/TMP", "/srv/zov/TMP/Pent.tmp", "rel",
                                      "rel/A.csv"};
  int lookups = 0;
  auto exists = [&](const std::string& path) {
    ++lookups;
    return tree.count(path) != 0;
  };
  auto find_entry = [&](const std::string& dir, std::string_view component, std::string* found) {
    ++lookups;
    for (const std::string& entry : tree) {
      if (entry.size() <= dir.size() || entry.compare(0, dir.size(), dir) != 0) continue;
      const std::string name = entry.substr(dir.size());
      if (name.find('/') == std::string::npos && AsciiUpper(name) == AsciiUpper(component)) {
        *found = name;
        return true;
      }
    }
    return false;
  };
  struct Case {
    std::string name, want;
    int max_lookups;
  } cases[] = {
      {"/srv/zov/TMP/Pent.tmp", "/srv/zov/TMP/Pent.tmp", 1},
      {"\\srv\\zov\\TMP\\NEW.CSV", "/srv/zov/TMP/NEW.CSV", 3},
      {"/srv/zov/TMP/PENT.TMP", "/srv/zov/TMP/Pent.tmp", 3},
      {"/srv/zov/tmp/PENT.TMP", "/srv/zov/TMP/Pent.tmp", 12},
      {"/SRV/ZOV/tmp/x/y", "/srv/zov/TMP/x/y", 12},
      {"/srv//zov/TMP/pent.tmp", "/srv/zov/TMP/Pent.tmp", 12},
      {"/srv/zov/TMP/", "/srv/zov/TMP/", 12},
      {"/srv/zov/TMP/..", "/srv/zov/TMP/..", 12},
      {"rel/a.CSV", "rel/A.csv", 3},
      {"REL/b.csv", "rel/b.csv", 12},
      {"/nothing", "/nothing", 12},
  };
  for (const Case& c : cases) {
    lookups = 0;
    EXPECT_EQ(ResolveIgnoringCase(c.name, exists, find_entry), c.want) << c.name;
    EXPECT_LE(lookups, c.max_lookups) << c.name;
  }
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// A rename that never replaces: a taken name (a file, a directory, in the
// exact letter case) is AlreadyExists and both entries stay as they were;
// a free name takes the file.
TEST_P(FileSystemTest, RenameNoReplaceNeverReplacesAnEntry) {
  Write(dir_ + "new.tmp", "new");
  Write(dir_ + "taken.CSV", "old");
  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "sub").ok());
  for (const char* taken : {"taken.CSV", "sub"}) {
    const Status s = fs_.RenameNoReplace(dir_ + "new.tmp", dir_ + taken);
    EXPECT_TRUE(s.IsAlreadyExists()) << taken << ": " << s.message();
    EXPECT_EQ(Read(dir_ + "new.tmp"), "new") << taken;
  }
  EXPECT_EQ(Read(dir_ + "taken.CSV"), "old");
  EXPECT_TRUE(fs_.RenameNoReplace(dir_ + "missing", dir_ + "free").IsNotFound());
  ASSERT_TRUE(fs_.RenameNoReplace(dir_ + "NEW.tmp", dir_ + "Free.CSV").ok());
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_.ListDirectory(dir_, &entries).ok());
  std::set<std::string> names;
  for (const DirEntry& e : entries) names.insert(e.name);
  EXPECT_EQ(names, (std::set<std::string>{"Free.CSV", "taken.CSV", "sub"}));
  EXPECT_EQ(Read(dir_ + "Free.CSV"), "new");

  // RenameToUniqueName walks past the names in use.
  const RandomNameShape shape{dir_ + "U", "AB", 1, ".CSV"};
  Write(dir_ + "a.tmp", "a");
  Write(dir_ + "b.tmp", "b");
  Write(dir_ + "c.tmp", "c");
  std::string first, second, third;
  ASSERT_TRUE(RenameToUniqueName(fs_, dir_ + "a.tmp", shape, 3, 20, &first).ok());
  ASSERT_TRUE(RenameToUniqueName(fs_, dir_ + "b.tmp", shape, 3, 20, &second).ok());
  EXPECT_NE(first, second);
  EXPECT_EQ(Read(first), "a");
  EXPECT_EQ(Read(second), "b");
  EXPECT_TRUE(RenameToUniqueName(fs_, dir_ + "c.tmp", shape, 3, 20, &third).IsIoError());
  EXPECT_TRUE(third.empty());
  EXPECT_EQ(Read(dir_ + "c.tmp"), "c");
}

// One holder at a time, whoever asks (another open in this process is
// refused as another process would be); the holder's line is readable while
// it holds; releasing lets the next one in; a missing directory and a name
// that is not a file are refused.
TEST_P(FileSystemTest, TryLockFileHasOneHolderWhoSaysWhoItIs) {
  const std::string name = dir_ + "run.lck";
  std::unique_ptr<FileLock> first, second;
  ASSERT_TRUE(fs_.TryLockFile(name, "started 10:00", &first).ok());
  const Status refused = fs_.TryLockFile(dir_ + "RUN.LCK", "started 10:01", &second);
  EXPECT_TRUE(refused.IsBusy()) << refused.message();
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(ReadLockHolder(fs_, name), LockHolderLine("started 10:00"));
  EXPECT_NE(ReadLockHolder(fs_, name).find("process "), std::string::npos);
  first.reset();
  ASSERT_TRUE(fs_.TryLockFile(name, "", &second).ok());
  EXPECT_EQ(ReadLockHolder(fs_, name), LockHolderLine(""));

  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "dir.lck").ok());
  std::unique_ptr<FileLock> other;
  EXPECT_TRUE(fs_.TryLockFile(dir_ + "missing/run.lck", "", &other).IsNotFound());
  EXPECT_TRUE(fs_.TryLockFile(dir_ + "dir.lck", "", &other).IsInvalidArgument());
}

// The waiting caller: told once who holds the lock, given up at the bound
// (by the clock, never spinning), or let in once the holder goes.
TEST_P(FileSystemTest, WaitForFileLockWaitsBoundedAndSaysForWhom) {
  const std::string name = dir_ + "run.lck";
  std::unique_ptr<FileLock> holder;
  ASSERT_TRUE(fs_.TryLockFile(name, "the first run", &holder).ok());
  FakeClock clock;
  std::vector<std::string> told;
  LockWait wait;
  wait.wait_millis = 1500;
  wait.poll_millis = 100;
  wait.waiting = [&](const std::string& who) { told.push_back(who); };
  std::unique_ptr<FileLock> mine;
  std::string last;
  const Status s = WaitForFileLock(fs_, clock, name, "the second run", wait, &mine, &last);
  EXPECT_TRUE(s.IsBusy()) << s.message();
  EXPECT_EQ(told, std::vector<std::string>{LockHolderLine("the first run")});
  EXPECT_EQ(last, LockHolderLine("the first run"));
  EXPECT_EQ(clock.MonotonicMicros(), 1500 * 1000) << "slept up to the bound and no further";
  EXPECT_EQ(clock.sleeps.size(), 15u);

  // The holder goes while the other waits.
  told.clear();
  wait.waiting = [&](const std::string& who) {
    told.push_back(who);
    holder.reset();
  };
  ASSERT_TRUE(WaitForFileLock(fs_, clock, name, "the second run", wait, &mine).ok());
  EXPECT_EQ(told.size(), 1u);
  EXPECT_EQ(ReadLockHolder(fs_, name), LockHolderLine("the second run"));

  // A bound of 0: one try, nobody told.
  told.clear();
  std::unique_ptr<FileLock> third;
  wait.wait_millis = 0;
  EXPECT_TRUE(WaitForFileLock(fs_, clock, name, "", wait, &third).IsBusy());
  EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// Many files synced together: every one named must be an existing regular
// file, and the first that is not is the answer, whichever thread met it.
TEST_P(FileSystemTest, SyncFilesSyncsExistingFilesAndNamesTheFirstFailure) {
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    names.push_back(dir_ + "book" + std::to_string(i) + ".xlsx");
    Write(names.back(), "bytes " + std::to_string(i));
  }
  EXPECT_TRUE(fs_.SyncFiles(names).ok());
  EXPECT_TRUE(fs_.SyncFiles({}).ok());
  EXPECT_EQ(Read(names[7]), "bytes 7");

  ASSERT_TRUE(fs_.CreateDirectory(dir_ + "sub").ok());
  names[30] = dir_ + "missing.xlsx";
  names[35] = dir_ + "sub";
  const Status s = fs_.SyncFiles(names);
  EXPECT_TRUE(s.IsNotFound()) << s.message();
  EXPECT_NE(s.message().find("missing.xlsx"), std::string::npos) << s.message();
}

}  // namespace
}  // namespace zov::platform
