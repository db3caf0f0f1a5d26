// The FileSystem contract over the Win32 implementation: suite names in
// other letter case and with code page 850 accents, both separators,
// positioned and appending writes, directory-entry attributes, and the
// atomic replace while a reader holds the old file.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/testing/fault_file_system.h"
#include "platform/testing/temp_dir.h"
#include "platform/win32/win32_file_system.h"

namespace zov::platform {
namespace {

class Win32FileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileSystem> fs_ = NewWin32FileSystem();
  TempDir dir_;
  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(name, &s).ok()) << name;
    return s;
  }
};

TEST_F(Win32FileSystemTest, NamesInOtherLetterCaseAndEitherSeparator) {
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "DADES").ok());
  ASSERT_TRUE(fs_->WriteFile(dir_.path() + "DADES\\dozudizi.tmp", "x").ok());
  for (const char* name : {"DADES\\DOZUDIZI.TMP", "dades/Dozudizi.Tmp", "Dades\\dozudizi.tmp"}) {
    EXPECT_EQ(Read(dir_.path() + name), "x") << name;
    DirEntry e;
    ASSERT_TRUE(fs_->FindFirst(dir_.path() + name, &e).ok()) << name;
    EXPECT_EQ(e.name, "dozudizi.tmp") << name;  // as stored
  }
  EXPECT_EQ(fs_->Resolve("C:/ZOV\\dades/X.DAT"), "C:/ZOV\\dades/X.DAT");
}

// Ç, Ñ and à are 0x80, 0xA5 and 0x85 in code page 850.
TEST_F(Win32FileSystemTest, AccentedNamesAreCodePage850Inside) {
  const std::string name = "FACTURA \x80\xA5\x85.csv";
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "ESPA\xA5" "A").ok());
  const std::string path = dir_.path() + "ESPA\xA5" "A\\" + name;
  ASSERT_TRUE(fs_->WriteFile(path, "\x80;\xA5\r\n").ok());
  // The system sees the characters themselves.
  const std::wstring wide = std::filesystem::path(dir_.path()).wstring() + L"ESPA\u00D1A\\FACTURA \u00C7\u00D1\u00E0.csv";
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(wide)));
  EXPECT_EQ(Read(dir_.path() + "espa\xA4" "a\\factura \x80\xA4\x85.CSV"), "\x80;\xA5\r\n");  // ñ is 0xA4
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_->ListDirectory(dir_.path() + "ESPA\xA5" "A", &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, name);
  DirEntry e;
  ASSERT_TRUE(fs_->FindFirst(dir_.path() + "ESPA\xA5" "A\\*.CSV", &e).ok());
  EXPECT_EQ(e.name, name);
}

TEST_F(Win32FileSystemTest, PositionedAndAppendingWrites) {
  const std::string path = dir_.path() + "b.bin";
  std::unique_ptr<ByteFile> f;
  ASSERT_TRUE(fs_->OpenByteFile(path, OpenMode::kReadWriteCreate, &f).ok());
  ASSERT_TRUE(f->Write(4, "tail").ok());
  ASSERT_TRUE(f->Write(0, "head").ok());
  uint64_t size = 0;
  ASSERT_TRUE(f->Size(&size).ok());
  EXPECT_EQ(size, 8u);
  std::string out;
  ASSERT_TRUE(f->Read(2, 100, &out).ok());
  EXPECT_EQ(out, "adtail");
  std::unique_ptr<AppendFile> a;
  ASSERT_TRUE(fs_->OpenAppendFile(path, &a).ok());
  ASSERT_TRUE(a->Append("+1").ok());
  ASSERT_TRUE(f->Write(0, "H").ok());  // another writer meanwhile
  ASSERT_TRUE(a->Append("+2").ok());
  ASSERT_TRUE(a->Close().ok());
  ASSERT_TRUE(f->Close().ok());
  EXPECT_EQ(Read(path), "Headtail+1+2");
  std::unique_ptr<ByteFile> missing;
  EXPECT_EQ(fs_->OpenByteFile(dir_.path() + "none", OpenMode::kReadOnly, &missing).code(), Status::Code::kNotFound);
  EXPECT_EQ(fs_->DeleteFile(dir_.path() + "none").code(), Status::Code::kNotFound);
}

TEST_F(Win32FileSystemTest, FindFirstReportsAttributes) {
  struct Case {
    std::string name;
    DWORD set;  // attributes given to the file
    uint32_t want;
  } cases[] = {
      {"plain.txt", 0, kAttrArchive},
      {"ro.txt", FILE_ATTRIBUTE_READONLY, kAttrArchive | kAttrReadOnly},
      {"hidden.txt", FILE_ATTRIBUTE_HIDDEN, kAttrArchive | kAttrHidden},
      {"system.txt", FILE_ATTRIBUTE_SYSTEM, kAttrArchive | kAttrSystem},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(fs_->WriteFile(dir_.path() + c.name, "").ok()) << c.name;
    const std::wstring wide = std::filesystem::path(dir_.path() + c.name).wstring();
    if (c.set != 0) {
      ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), c.set | FILE_ATTRIBUTE_ARCHIVE)) << c.name;
    }
  }
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "sub").ok());
  for (const Case& c : cases) {
    DirEntry e;
    ASSERT_TRUE(fs_->FindFirst(dir_.path() + c.name, &e).ok()) << c.name;
    EXPECT_EQ(e.attributes, c.want) << c.name;
  }
  DirEntry e;
  ASSERT_TRUE(fs_->FindFirst(dir_.path() + "SUB", &e).ok());
  EXPECT_EQ(e.attributes & kAttrDirectory, kAttrDirectory);
  ASSERT_TRUE(fs_->FindFirst(dir_.path() + "pl*.t?t", &e).ok());
  EXPECT_EQ(e.name, "plain.txt");
  EXPECT_EQ(fs_->FindFirst(dir_.path() + "nothing*", &e).code(), Status::Code::kNotFound);
  EXPECT_EQ(fs_->FindFirst(dir_.path() + "nothing", &e).code(), Status::Code::kNotFound);
  for (const Case& c : cases) {
    ::SetFileAttributesW(std::filesystem::path(dir_.path() + c.name).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// Where the system cannot replace a file that is open (Wine; Windows before
// its rename with POSIX semantics), the replace waits for the reader to let
// go; either way the reader reads the old file whole.
TEST_F(Win32FileSystemTest, AtomicReplaceWhileAReaderHoldsTheOldFile) {
  const std::string name = dir_.path() + "Orva.ini";
  ASSERT_TRUE(fs_->WriteFile(name, "old").ok());
  std::unique_ptr<ByteFile> reader;
  ASSERT_TRUE(fs_->OpenByteFile(name, OpenMode::kReadOnly, &reader).ok());
  std::thread replace([&] { EXPECT_TRUE(WriteFileAtomically(*fs_, name, "new").ok()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::string held;
  ASSERT_TRUE(reader->Read(0, 10, &held).ok());
  EXPECT_EQ(held, "old");  // the reader keeps the file it opened
  ASSERT_TRUE(reader->Close().ok());
  replace.join();
  EXPECT_EQ(Read(name), "new");
  // A failed step leaves the old file and no temporary one.
  FaultFileSystem faulty(fs_.get());
  faulty.FailAt(FaultFileSystem::Op::kRename, 1);
  EXPECT_FALSE(WriteFileAtomically(faulty, name, "newer").ok());
  EXPECT_EQ(Read(name), "new");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(fs_->ListDirectory(dir_.path(), &entries).ok());
  EXPECT_EQ(entries.size(), 1u);
}

TEST_F(Win32FileSystemTest, CurrentDirectory) {
  std::string before;
  ASSERT_TRUE(fs_->GetCurrentDirectory(&before).ok());
  ASSERT_TRUE(fs_->CreateDirectory(dir_.path() + "Here\\").ok());
  ASSERT_TRUE(fs_->SetCurrentDirectory(dir_.path() + "HERE").ok());
  ASSERT_TRUE(fs_->WriteFile("relative.txt", "r").ok());
  EXPECT_EQ(Read(dir_.path() + "Here\\relative.txt"), "r");
  std::string now;
  ASSERT_TRUE(fs_->GetCurrentDirectory(&now).ok());
  EXPECT_EQ(Read(now + "\\RELATIVE.TXT"), "r");
  ASSERT_TRUE(fs_->SetCurrentDirectory(before).ok());
  EXPECT_EQ(fs_->SetCurrentDirectory(dir_.path() + "missing").code(), Status::Code::kNotFound);
}

}  // namespace
}  // namespace zov::platform
