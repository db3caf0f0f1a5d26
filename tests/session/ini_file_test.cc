#include "session/ini_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/native_env.h"
#include "platform/testing/fake_env.h"

namespace zov::session {
namespace {

using platform::FaultFileSystem;
using platform::Status;

TEST(FindIniValueTest, FollowsTheLineRules) {
  struct Case {
    const char* contents;
    const char* section;
    const char* key;
    std::string want;
  } cases[] = {
      {"[Sistema]\r\nIdioma=SPA ;comment\r\n", "sistema", "IDIOMA", "SPA "},
      {"[Sistema]\r\nIdioma=SPA ;comment\r\n", " Sistema ", " idioma ", "SPA "},
      {"[S]\r\nk= value\r\n", "S", "k", " value"},
      {"[S]\r\nk=\"quoted ; not\"\r\n", "S", "k", "\"quoted "},
      {"[S]\r\nk=\"a b\"\r\n", "S", "k", "a b"},
      {"[S]\r\nk=\"\r\n", "S", "k", "\""},
      {"[S]\r\nk=\"\"\r\n", "S", "k", ""},
      {"[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"[S]\r\n  k  =x\r\n", "S", "K", "x"},
      {"[S]\r\nk=\r\n", "S", "k", ""},
      {"k=before\r\n[S]\r\nx=1\r\n", "S", "k", ""},          // no section yet
      {"[S]\r\nx=1\r\n[T]\r\nk=2\r\n", "S", "k", ""},         // next section ends it
      {"[S]\r\nx=1\r\n[S]\r\nk=2\r\n", "S", "k", ""},         // only the first [S]
      {"[S]\r\nk=1\r\n[S]\r\nk=2\r\n", "S", "k", "1"},
      {"  [ S ]  ; c\r\nk=1\r\n", "S", "k", "1"},
      {"[S\r\nk=1\r\n", "S", "k", "1"},                       // header without "]"
      {"[S]\r\n; k=1\r\nk=2\r\n", "S", "k", "2"},
      {"[S]\r\nk;=1\r\nk=2\r\n", "S", "k", "2"},             // "=" only in the comment
      {"[S]\r\nno equals\r\n\r\n   \r\nk=3", "S", "k", "3"},  // last line without end
      {"[S]\nk=lf only\n", "S", "k", "lf only"},
      {"[\x8E" "B\x99]\r\n\x82t\x87=x\r\n", "\x84" "b\x94", "\x90T\x80", "x"},  // ÄBÖ/ét ç against capitals
      {"[\xB7]\r\nk=x\r\n", "\x85", "k", ""},  // à and À are distinct names
      {"", "S", "k", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindIniValue(c.contents, c.section, c.key), c.want)
        << "contents: " << c.contents << " section: " << c.section << " key: " << c.key;
  }
}

TEST(SetIniValueTest, RewritesOnlyWhatItMust) {
  struct Case {
    const char* contents;
    const char* section;
    const char* key;
    const char* value;
    const char* want;
  } cases[] = {
      // Replaced after the first "=", the old comment lost.
      {"[S]\r\n  Key = old ; c\r\nz=1\r\n", "s", "KEY", "new", "[S]\r\n  Key =new\r\nz=1\r\n"},
      // Added after the last setting, before the blank and comment lines.
      {"[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n", "A", "k", "v",
       "[A]\r\nx=1\r\nk=v\r\n\r\n; about B\r\n[B]\r\ny=2\r\n"},
      // The wanted section is the last one.
      {"[A]\r\nx=1\r\n; end\r\n\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n; end\r\n\r\n"},
      // A missing section goes at the end, before trailing empty lines.
      {"[A]\r\nx=1\r\n\r\n\r\n", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n\r\n\r\n"},
      {"", "Opcions", "Correu", "S", "[Opcions]\r\nCorreu=S\r\n"},
      // Empty lines inside the section are kept where they stand.
      {"[A]\r\n\r\n  \r\nk=1\r\n", "A", "k", "2", "[A]\r\n\r\n  \r\nk=2\r\n"},
      // Replaced in every [A]; a missing key added only once.
      {"[A]\r\nk=1\r\n[B]\r\n[A]\r\nk=1\r\n", "A", "k", "2", "[A]\r\nk=2\r\n[B]\r\n[A]\r\nk=2\r\n"},
      {"[A]\r\nx=1\r\n[A]\r\ny=1\r\n", "A", "k", "2", "[A]\r\nx=1\r\nk=2\r\n[A]\r\ny=1\r\n"},
      // Lines outside the section, and lines that are no setting, unchanged.
      {"k=0\r\nfree text\r\n[A]\r\nplain\r\n", "A", "k", "1", "k=0\r\nfree text\r\n[A]\r\nplain\r\nk=1\r\n"},
      {"[B]\r\nk=0\r\n", "A", "k", "1", "[B]\r\nk=0\r\n[A]\r\nk=1\r\n"},
      // Line feeds alone become CR LF; a last line without an end gets one.
      {"[A]\nk=1\nz=2", "A", "k", "3", "[A]\r\nk=3\r\nz=2\r\n"},
      // Names match across case, accented capitals too.
      {"[OP\x80IONS]\r\nCORREU=S\r\n", "op\x87ions", "correu", "N", "[OP\x80IONS]\r\nCORREU=N\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetIniValue(c.contents, c.section, c.key, c.value), c.want)
        << "contents: " << c.contents << " set [" << c.section << "] " << c.key << "=" << c.value;
  }
}

TEST(SetIniValueTest, WhatIsWrittenReadsBack) {
  const char* files[] = {"", "[A]\r\nk=1\r\n", "[B]\r\nx=1\r\n\r\n", "; only a comment\r\n", "[A]\r\n[A]\r\nk=0\r\n"};
  for (const char* file : files) {
    std::string rewritten = SetIniValue(file, "A", "k", "new value");
    EXPECT_EQ(FindIniValue(rewritten, "a", "K"), "new value") << file;
  }
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return fake_.root() + name; }
  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(Path(name), &s).ok()) << name;
    return s;
  }
  // Names in the directory other than the INI file itself.
  std::vector<std::string> Leftovers(const std::string& ini) {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs_->ListDirectory(fake_.root(), &entries).ok());
    std::vector<std::string> names;
    for (const auto& e : entries) {
      if (e.name != ini) names.push_back(e.name);
    }
    return names;
  }

  platform::FakeEnv fake_;
  platform::FileSystem* fs_ = &fake_.base_fs();
};

TEST_F(IniFileTest, ReadsThroughTheFileSystem) {
  ASSERT_TRUE(fs_->WriteFile(Path("OrvaTerm.ini"), "[Sistema]\r\nSortida=LPT1\r\n").ok());
  EXPECT_EQ(ReadIniValue(*fs_, Path("orvaterm.INI"), "SISTEMA", "sortida"), "LPT1");
  EXPECT_EQ(ReadIniValue(*fs_, Path("missing.ini"), "Sistema", "Sortida"), "");
  EXPECT_EQ(ReadIniValue(*fs_, fake_.root(), "Sistema", "Sortida"), "");  // a directory
}

TEST_F(IniFileTest, CreatesAMissingFileAndLeavesNoTemporaryFile) {
  platform::Env& env = fake_.env;
  ASSERT_TRUE(WriteIniValue(env, Path("DOZUDIZI.INI"), "Opcions", "Correu", "N").ok());
  ASSERT_TRUE(WriteIniValue(env, Path("DOZUDIZI.INI"), "Opcions", "Correu", "S").ok());
  EXPECT_EQ(Read("DOZUDIZI.INI"), "[Opcions]\r\nCorreu=S\r\n");
  EXPECT_TRUE(Leftovers("DOZUDIZI.INI").empty());
}

TEST_F(IniFileTest, RefusesAReadOnlyFileAndKeepsIt) {
  ASSERT_TRUE(fs_->WriteFile(Path("Orva.ini"), "[Usuari]\r\nIdioma=CAT\r\n").ok());
  ASSERT_TRUE(fake_.SetReadOnly(Path("Orva.ini")).ok());
  Status s = WriteIniValue(fake_.env, Path("Orva.ini"), "Usuari", "Idioma", "SPA");
  EXPECT_TRUE(s.IsPermissionDenied()) << s.message();
  EXPECT_EQ(Read("Orva.ini"), "[Usuari]\r\nIdioma=CAT\r\n");
  EXPECT_TRUE(Leftovers("Orva.ini").empty());
}

// Records the names the writer renames, to check the temporary name.
class RenameRecorder : public FaultFileSystem {
 public:
  using FaultFileSystem::FaultFileSystem;
  Status RenameFile(std::string_view from, std::string_view to) override {
    renamed_from.emplace_back(from);
    return FaultFileSystem::RenameFile(from, to);
  }
  std::vector<std::string> renamed_from;
};

TEST_F(IniFileTest, AFailureAtAnyStepLeavesTheOldFile) {
  const std::string old_text = "[Opcions]\r\nCorreu=N\r\n; kept\r\n";
  const std::string new_text = "[Opcions]\r\nCorreu=S\r\n; kept\r\n";
  struct Case {
    const char* name;
    FaultFileSystem::Op op;  // kCount: no failure
  } cases[] = {
      {"open of the copy", FaultFileSystem::Op::kOpen},
      {"write of the copy", FaultFileSystem::Op::kWrite},
      {"sync of the copy", FaultFileSystem::Op::kSync},
      {"rename over the old file", FaultFileSystem::Op::kRename},
      {"no failure", FaultFileSystem::Op::kCount},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(fs_->WriteFile(Path("DOZUDIZI.INI"), old_text).ok());
    RenameRecorder faulty(fs_);
    if (c.op != FaultFileSystem::Op::kCount) faulty.FailAt(c.op, 1, /*sticky=*/true);
    platform::Env env = fake_.env;
    env.fs = &faulty;
    Status s = WriteIniValue(env, Path("DOZUDIZI.INI"), "Opcions", "Correu", "S");
    const bool fails = c.op != FaultFileSystem::Op::kCount;
    EXPECT_EQ(s.ok(), !fails) << c.name << ": " << s.message();
    EXPECT_EQ(Read("DOZUDIZI.INI"), fails ? old_text : new_text) << c.name;
    EXPECT_TRUE(Leftovers("DOZUDIZI.INI").empty()) << c.name;
    for (const std::string& from : faulty.renamed_from) {
      std::string base = from.substr(from.find_last_of('/') + 1);
      EXPECT_EQ(base.size(), 12u) << c.name << ": " << from;
      EXPECT_EQ(base.find_first_not_of("0123456789"), 8u) << c.name << ": " << from;
      EXPECT_EQ(base.substr(8), ".tmp") << c.name << ": " << from;
    }
    if (fails) {
      EXPECT_FALSE(s.message().empty()) << c.name;
    }
  }
}

// While one thread rewrites the file again and again, readers never find it
// missing or half-written: on real files, where the rename is the system's.
TEST(IniFileOnDiskTest, ReadersSeeTheOldOrTheNewFileNeverAGap) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  platform::FileSystem& fs = fake.base_fs();
  const std::string path = fake.root() + "Sessio.ini";
  std::string padding(4000, 'x');  // a file long enough to be written in parts
  ASSERT_TRUE(fs.WriteFile(path, "[Terminal]\r\nDir=0\r\nPad=" + padding + "\r\n").ok());
  constexpr int kWrites = 50;
  std::atomic<int> written{0};
  std::atomic<int> failures{0};
  std::thread writer([&] {
    platform::FakeEnv writer;  // its own fakes, with the files on disk
    auto writer_fs = platform::NewNativeFileSystem();
    platform::Env env = writer.env;
    env.fs = writer_fs.get();
    for (int i = 0; i < kWrites; ++i, ++written) {
      writer.clock.Advance(10);  // a new seed, as time passes
      if (!WriteIniValue(env, path, "Terminal", "Dir", std::to_string(i % 10)).ok()) ++failures;
    }
  });
  int bad_reads = 0;
  while (written < kWrites) {
    std::string contents;
    Status s = fs.ReadFile(path, &contents);
    std::string dir = FindIniValue(contents, "Terminal", "Dir");
    if (!s.ok() || dir.size() != 1 || FindIniValue(contents, "Terminal", "Pad") != padding) ++bad_reads;
  }
  writer.join();
  EXPECT_EQ(bad_reads, 0);
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace zov::session
