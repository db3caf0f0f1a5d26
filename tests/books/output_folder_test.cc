// The output folder replaced as a whole: its lock, its commit cut at every
// step and finished by the next run, what it leaves alone.
#include "books/output_folder.h"

#include <map>

#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/temp_dir.h"
#include "platform/text_lines.h"

namespace zov::books {
namespace {

using platform::FaultFileSystem;
using platform::Status;
using Files = std::map<std::string, std::string>;

// The tests' manifest lists one file name a line.
std::vector<std::string> Lines(std::string_view text) {
  const std::vector<std::string_view> lines = platform::SplitLines(text);
  return {lines.begin(), lines.end()};
}

const OutputFolderSpec kSpec{"tool", "list.txt", Lines, ""};

class OutputFolderTest : public ::testing::Test {
 protected:
  std::string Out() const { return dir_.path() + "out/"; }

  // Every file of a folder (one level of folders down) with its bytes; the
  // lock file, which names its last holder, as "(lock)".
  Files Snapshot(const std::string& dir) {
    Files files;
    std::vector<platform::DirEntry> entries;
    if (!base_->ListDirectory(dir, &entries).ok()) return files;
    for (const platform::DirEntry& e : entries) {
      if ((e.attributes & platform::kAttrDirectory) != 0) {
        files[e.name + "/"] = "";
        for (auto& [name, bytes] : Snapshot(dir + e.name + "/")) files[e.name + "/" + name] = bytes;
      } else if (e.name == "tool.lck") {
        files[e.name] = "(lock)";
      } else {
        EXPECT_TRUE(base_->ReadFile(dir + e.name, &files[e.name]).ok()) << e.name;
      }
    }
    return files;
  }

  // A run that stages `files` (the manifest listing the others) and
  // commits them, through `fs`.
  Status Run(platform::FileSystem& fs, const Files& files) {
    std::unique_ptr<OutputFolder> folder;
    Status s = OutputFolder::Open(fs, clock_, Out(), kSpec, "a test run", &folder);
    if (!s.ok()) return s;
    std::vector<std::string> names;
    std::string list;
    for (const auto& [name, bytes] : files) {
      if (Status w = base_->WriteFile(folder->NewFile(name), bytes); !w.ok()) return w;
      names.push_back(name);
      list += name + "\n";
    }
    if (Status w = base_->WriteFile(folder->NewFile("list.txt"), list); !w.ok()) return w;
    names.push_back("list.txt");
    return folder->Commit(names);
  }

  // The folder as a run of `files` leaves it, with the lock file.
  static Files SetOf(const Files& files) {
    Files set = files;
    std::string list;
    for (const auto& [name, bytes] : files) list += name + "\n";
    set["list.txt"] = list;
    set["tool.lck"] = "(lock)";
    return set;
  }

  platform::FakeClock clock_;
  platform::TempDir dir_;
  std::unique_ptr<platform::FileSystem> base_ = platform::NewNativeFileSystem();
};

// The folder is made when missing and locked while a run holds it: a
// second run is refused at once, told who holds it, and changes nothing.
TEST_F(OutputFolderTest, OneRunAtATimeAndTheSecondIsToldWho) {
  std::unique_ptr<OutputFolder> first, second;
  ASSERT_TRUE(OutputFolder::Open(*base_, clock_, Out(), kSpec, "started 2026-03-05 10:00:00", &first).ok());
  const Files held = Snapshot(Out());
  EXPECT_EQ(held, (Files{{"tool.lck", "(lock)"}, {"tool.new/", ""}}));
  const Status s = OutputFolder::Open(*base_, clock_, Out(), kSpec, "started later", &second);
  EXPECT_TRUE(s.IsBusy()) << s.message();
  EXPECT_EQ(s.message(), "another run of tool is writing in " + base_->Resolve(dir_.path() + "out") + " (" +
                             platform::LockHolderLine("started 2026-03-05 10:00:00") + ")");
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(Snapshot(Out()), held);
  first.reset();
  EXPECT_EQ(Snapshot(Out()), (Files{{"tool.lck", "(lock)"}})) << "an abandoned run leaves no staging folder";
  ASSERT_TRUE(OutputFolder::Open(*base_, clock_, Out(), kSpec, "", &second).ok());

  // A folder made by another run a moment ago is taken as it is; a file in
  // its place is not a folder.
  ASSERT_TRUE(base_->WriteFile(dir_.path() + "file", "x").ok());
  std::unique_ptr<OutputFolder> other;
  const Status not_folder = OutputFolder::Open(*base_, clock_, dir_.path() + "file", kSpec, "", &other);
  EXPECT_TRUE(not_folder.IsInvalidArgument()) << not_folder.message();
  EXPECT_NE(not_folder.message().find("is not a folder"), std::string::npos) << not_folder.message();
}

// The new set replaces the previous one: a file the previous manifest
// listed and the new set lacks goes, one both have is replaced; files no
// manifest listed, names that are not plain file names, the folder's own
// names and a folder named like a listed file are left alone.
TEST_F(OutputFolderTest, TheNewSetReplacesThePreviousAndNothingElse) {
  ASSERT_TRUE(Run(*base_, {{"a.xlsx", "old a"}, {"b.xlsx", "old b"}}).ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "notes.txt", "mine").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "c.xlsx", "mine too").ok());
  ASSERT_TRUE(base_->CreateDirectory(Out() + "d.xlsx").ok());
  ASSERT_TRUE(base_->WriteFile(dir_.path() + "outside.xlsx", "outside").ok());
  // A manifest edited to list what is not the tool's.
  ASSERT_TRUE(base_->WriteFile(Out() + "list.txt", "a.xlsx\nb.xlsx\nd.xlsx\n../outside.xlsx\ntool.lck\nsub/x\n"
                                                   "tool.new\n\nlist.txt\n")
                  .ok());
  ASSERT_TRUE(Run(*base_, {{"b.xlsx", "new b"}, {"e.xlsx", "new e"}}).ok());
  Files expected = SetOf({{"b.xlsx", "new b"}, {"e.xlsx", "new e"}});
  expected["notes.txt"] = "mine";
  expected["c.xlsx"] = "mine too";
  expected["d.xlsx/"] = "";
  EXPECT_EQ(Snapshot(Out()), expected);
  std::string outside;
  EXPECT_TRUE(base_->ReadFile(dir_.path() + "outside.xlsx", &outside).ok());
  EXPECT_EQ(outside, "outside");
}

// A folder holding another program's manifest of the same name is refused
// before anything of the run is made in it; its own manifest, of any later
// version, is taken.
TEST_F(OutputFolderTest, AnotherProgramsSetIsLeftAlone) {
  OutputFolderSpec spec = kSpec;
  spec.manifest_heading = "tool;";
  const Files other = {{"list.txt", "other;name\na.xlsx\n"}, {"a.xlsx", "its book"}};
  ASSERT_TRUE(base_->CreateDirectory(Out()).ok());
  for (const auto& [name, bytes] : other) ASSERT_TRUE(base_->WriteFile(Out() + name, bytes).ok());
  std::unique_ptr<OutputFolder> folder;
  const Status refused = OutputFolder::Open(*base_, clock_, Out(), spec, "", &folder);
  EXPECT_TRUE(refused.IsInvalidArgument()) << refused.message();
  EXPECT_NE(refused.message().find("holds another program's list.txt: tool needs a folder of its own"),
            std::string::npos)
      << refused.message();
  EXPECT_EQ(Snapshot(Out()), other);
  ASSERT_TRUE(base_->WriteFile(Out() + "list.txt", "tool;name;and a later column\n").ok());
  EXPECT_TRUE(OutputFolder::Open(*base_, clock_, Out(), spec, "", &folder).ok());
}

// A commit stopped at each of its steps: before the journal is whole the
// previous set stands; after it, the next run into the folder finishes the
// commit first. Either way the folder holds one whole set, never a mix.
TEST_F(OutputFolderTest, ACommitCutAtAnyStepLeavesTheOldOrTheNewSet) {
  using Op = FaultFileSystem::Op;
  const Files old_files = {{"a.xlsx", "old a"}, {"b.xlsx", "old b"}, {"c.xlsx", "old c"}};
  const Files new_files = {{"b.xlsx", "new b"}, {"d.xlsx", "new d"}};
  struct Case {
    std::string what;
    std::string only;  // names the fault applies to
    Op op;
    int nth;
    bool new_set;  // what the folder holds once the next run has opened it
  } cases[] = {
      {"the new files' sync", "", Op::kSync, 1, false},
      {"the journal's creation", ".journal", Op::kOpen, 1, false},
      {"the journal's write", ".journal", Op::kWrite, 1, false},
      {"the journal's sync", ".journal", Op::kSync, 1, false},
      {"the first deletion", "", Op::kDelete, 1, true},
      {"the second deletion", "", Op::kDelete, 2, true},
      {"the first rename", "", Op::kRename, 1, true},
      {"the second rename", "", Op::kRename, 2, true},
      {"the manifest's rename", "", Op::kRename, 3, true},
      {"the journal's removal", ".journal", Op::kDelete, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Run(*base_, old_files).ok());
    FaultFileSystem faulty(base_.get());
    faulty.OnlyNamesEndingIn(c.only);
    faulty.FailAt(c.op, c.nth);
    const Status s = Run(faulty, new_files);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("injected"), std::string::npos) << s.message();
    const Files after_failure = Snapshot(Out());
    if (!c.new_set) {
      EXPECT_EQ(after_failure, SetOf(old_files)) << "the previous set stands, nothing staged left";
    } else {
      EXPECT_TRUE(after_failure.count("tool.journal")) << s.message();
      EXPECT_NE(s.message().find("the next run into the folder finishes the commit"), std::string::npos);
    }
    std::unique_ptr<OutputFolder> next;
    ASSERT_TRUE(OutputFolder::Open(*base_, clock_, Out(), kSpec, "", &next).ok());
    next.reset();
    EXPECT_EQ(Snapshot(Out()), SetOf(c.new_set ? new_files : old_files));
  }
}

// A journal cut while it was written never began its commit; a whole one
// is finished even when the staged files it names are partly renamed.
TEST_F(OutputFolderTest, JournalsLeftByAKilledRun) {
  const Files old_files = {{"a.xlsx", "old a"}};
  ASSERT_TRUE(Run(*base_, old_files).ok());
  ASSERT_TRUE(base_->CreateDirectory(Out() + "tool.new").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "tool.new/b.xlsx", "new b").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "tool.journal", "tool commit\ndelete a.xlsx\nrename b.xlsx\nrena").ok());
  std::unique_ptr<OutputFolder> next;
  ASSERT_TRUE(OutputFolder::Open(*base_, clock_, Out(), kSpec, "", &next).ok());
  next.reset();
  EXPECT_EQ(Snapshot(Out()), SetOf(old_files));

  // Killed after the deletion and the first rename: the rest is done, and
  // the deletion not again (on a system that ignores case it would meet
  // the new file).
  ASSERT_TRUE(base_->CreateDirectory(Out() + "tool.new").ok());
  ASSERT_TRUE(base_->DeleteFile(Out() + "a.xlsx").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "A.XLSX", "new A").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "tool.new/list.txt", "A.XLSX\n").ok());
  ASSERT_TRUE(base_->WriteFile(Out() + "tool.journal",
                               "tool commit\ndelete a.xlsx\nrename A.XLSX\nrename list.txt\nend\n")
                  .ok());
  ASSERT_TRUE(OutputFolder::Open(*base_, clock_, Out(), kSpec, "", &next).ok());
  next.reset();
  EXPECT_EQ(Snapshot(Out()), SetOf({{"A.XLSX", "new A"}}));
}

}  // namespace
}  // namespace zov::books
