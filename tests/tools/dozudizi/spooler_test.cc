#include "tools/dozudizi/spooler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix_file_system.h"
#include "platform/testing/fake_env.h"
#include "platform/testing/temp_dir.h"
#include "tests/tools/dozudizi/register_examples.h"
#include "tools/dozudizi/outbox.h"
#include "tools/dozudizi/page_grid.h"
#include "tools/dozudizi/text_render.h"

namespace zov::tools {
namespace {

using platform::Status;

TEST(ResolveDeviceTest, NamesTheOutput) {
  struct Case {
    std::string device;
    DeviceKind kind;
    std::string path;
    bool unknown;
  };
  const std::vector<Case> cases = {
      {"", DeviceKind::kPdf, "/t/register.pdf", false},
      {"  ", DeviceKind::kPdf, "/t/register.pdf", false},
      {"PDF", DeviceKind::kPdf, "/t/register.pdf", false},
      {" pdf ", DeviceKind::kPdf, "/t/register.pdf", false},
      {"SCREEN", DeviceKind::kScreen, "", false},
      {"Screen", DeviceKind::kScreen, "", false},
      {"llibre.PDF", DeviceKind::kPdf, "/t/llibre.PDF", false},
      {"sub/llibre.txt", DeviceKind::kText, "/t/sub/llibre.txt", false},
      {"/var/out/llibre.Txt", DeviceKind::kText, "/var/out/llibre.Txt", false},
      {"\\\\srv\\llibre.pdf", DeviceKind::kPdf, "\\\\srv\\llibre.pdf", false},
      {".pdf", DeviceKind::kPdf, "/t/register.pdf", true},
      {"LPT1", DeviceKind::kPdf, "/t/register.pdf", true},
      {"llibre.csv", DeviceKind::kPdf, "/t/register.pdf", true},
  };
  for (const Case& c : cases) {
    Destination d = ResolveDevice(c.device, "/t/");
    EXPECT_EQ(d.kind, c.kind) << "device \"" << c.device << "\"";
    EXPECT_EQ(d.path, c.path) << "device \"" << c.device << "\"";
    EXPECT_EQ(d.unknown, c.unknown) << "device \"" << c.device << "\"";
  }
}

class SpoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Status s = cp_.Init();
    ASSERT_TRUE(s.ok()) << s.message();
  }

  void PutPrintFile(const std::string& bytes) { ASSERT_TRUE(fs_->WriteFile(dir_ + "dozudizi.tmp", bytes).ok()); }

  std::string Read(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(dir_ + name, &s).ok()) << name;
    return s;
  }
  bool Exists(const std::string& name) {
    platform::DirEntry e;
    return fs_->FindFirst(dir_ + name, &e).ok();
  }

  SpoolOutcome Run(const std::string& mail = "N", platform::FileSystem* fs = nullptr) {
    return Spool(fs == nullptr ? *fs_ : *fs, cp_, SpoolRequest{dir_, mail, nullptr});
  }

  std::string Text(const std::string& print_file) {
    return RenderText(cp_, LayOut(ParsePrintFile(print_file)).pages);
  }

  platform::FakeEnv fake_;
  platform::FileSystem* fs_ = &fake_.base_fs();
  const std::string dir_ = fake_.root();
  Cp850Text cp_;
};

TEST_F(SpoolTest, WritesEachDevice) {
  struct Case {
    std::string device;
    std::string file;  // "" for the screen
    bool pdf;
    bool note;         // a message about the device
  };
  const std::vector<Case> cases = {
      {"", "register.pdf", true, false},
      {"PDF", "register.pdf", true, false},
      {"copia.pdf", "copia.pdf", true, false},
      {"copia.TXT", "copia.TXT", false, false},
      {"SCREEN", "", false, false},
      {"LPT1", "register.pdf", true, true},
  };
  for (const Case& c : cases) {
    std::string print_file = testing::OneOwnerPrintFile(c.device);
    PutPrintFile(print_file);
    SpoolOutcome out = Run();
    EXPECT_EQ(out.exit_code, kExitDone) << "device \"" << c.device << "\"";
    EXPECT_EQ(out.messages.size(), c.note ? 1u : 0u) << "device \"" << c.device << "\"";
    if (c.file.empty()) {
      EXPECT_EQ(out.screen, Text(print_file)) << "device \"" << c.device << "\"";
      EXPECT_TRUE(out.written.empty());
      continue;
    }
    EXPECT_TRUE(out.screen.empty());
    ASSERT_EQ(out.written, std::vector<std::string>{dir_ + c.file}) << "device \"" << c.device << "\"";
    std::string got = Read(c.file);
    if (c.pdf) {
      EXPECT_EQ(got.substr(0, 5), "%PDF-") << "device \"" << c.device << "\"";
    } else {
      EXPECT_EQ(got, Text(print_file)) << "device \"" << c.device << "\"";
    }
    EXPECT_TRUE(fs_->DeleteFile(dir_ + c.file).ok());
  }
  EXPECT_FALSE(Exists("outbox")) << "mail was not asked for";
}

TEST_F(SpoolTest, MissingPrintFileIsAnError) {
  SpoolOutcome out = Run();
  EXPECT_EQ(out.exit_code, kExitProblems);
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_NE(out.messages[0].find("dozudizi.tmp"), std::string::npos) << out.messages[0];
  EXPECT_TRUE(out.written.empty());
}

TEST_F(SpoolTest, MalformedLinesAreListedAndTheRestPrinted) {
  testing::PrintFileBuilder b("SCREEN");
  b.Page(66).At(1, "GOOD", 1).Raw("NONSENSE").At(1, "ALSO GOOD", 1).Raw(" 1 ,x, -2 ");
  PutPrintFile(b.bytes());
  SpoolOutcome out = Run();
  EXPECT_EQ(out.exit_code, kExitProblems);
  ASSERT_EQ(out.messages.size(), 2u);
  EXPECT_NE(out.messages[0].find("line 4:"), std::string::npos) << out.messages[0];
  EXPECT_NE(out.messages[1].find("line 6:"), std::string::npos) << out.messages[1];
  EXPECT_EQ(out.screen, "GOOD\nALSO GOOD\nx\n");
}

// Characters of code page 850 that the PDF fonts lack (box drawing, blocks)
// print as "?" on PDF pages: each such line is listed and counted among the
// changed ones, the run ends with code 2. Text and screen output show them:
// nothing is changed there. Accented letters are in the fonts.
TEST_F(SpoolTest, CharactersThePdfFontLacksCountAsChanged) {
  struct Case {
    std::string device;
    std::string mail;
    std::size_t problems;
  } cases[] = {
      {"PDF", "N", 2}, {"copia.txt", "N", 0}, {"SCREEN", "N", 0}, {"copia.txt", "S", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device + " mail " + c.mail);
    testing::PrintFileBuilder b(c.device);
    b.Page(66).At(1, "PLANTA \xC9\xCD\xBB", 1).At(1, "CAF\x90 ?", 1).At(1, "\xB0\xB1\xB2\xDB", 1);
    PutPrintFile(b.bytes());
    SpoolOutcome out = Run(c.mail);
    EXPECT_EQ(out.problems, c.problems);
    EXPECT_EQ(out.exit_code, c.problems == 0 ? kExitDone : kExitProblems);
    if (c.problems == 0) continue;
    ASSERT_GE(out.messages.size(), 2u);
    EXPECT_NE(out.messages[0].find("line 3: 3 character(s) the PDF font cannot show printed as \"?\""),
              std::string::npos)
        << out.messages[0];
    EXPECT_NE(out.messages[1].find("line 5: 4 character(s)"), std::string::npos) << out.messages[1];
    EXPECT_NE(Summary(*fs_, out).find("; 2 lines skipped or changed"), std::string::npos) << Summary(*fs_, out);
  }
}

TEST_F(SpoolTest, LongListsOfProblemsAreCut) {
  testing::PrintFileBuilder b("SCREEN");
  for (int i = 0; i < 500; ++i) b.Raw("BAD");
  PutPrintFile(b.bytes());
  SpoolOutcome out = Run();
  EXPECT_EQ(out.exit_code, kExitProblems);
  ASSERT_EQ(out.messages.size(), static_cast<std::size_t>(kMaxListedProblems) + 2);  // + "more" + "nothing to print"
  EXPECT_NE(out.messages[kMaxListedProblems].find("400 more problems"), std::string::npos);
}

TEST_F(SpoolTest, MailFillsTheOutboxForOwnersWithAnAddress) {
  std::string print_file = testing::TwoOwnersPrintFile();
  // A third owner whose name holds the manifest's separator.
  testing::PrintFileBuilder third("");
  third.Send("tercer@exemple.cat,,VIVES; \"EL TERCER\"").Page(66).At(1, "TERCER", 1);
  print_file += third.bytes().substr(third.bytes().find("SEND"));
  PutPrintFile(print_file);

  SpoolOutcome out = Run(" s ");
  EXPECT_EQ(out.exit_code, kExitDone) << (out.messages.empty() ? "" : out.messages[0]);
  EXPECT_TRUE(Exists("register.pdf"));
  EXPECT_EQ(Read("outbox/manifest.csv"),
            "address;name;file\r\n"
            "josep@exemple.cat;JOSEP ARAG\xE0 I CASTELL\xE0;001-JOSEP ARAG\xE0 I CASTELL\xE0.pdf\r\n"
            "tercer@exemple.cat;\"VIVES; \"\"EL TERCER\"\"\";\"002-VIVES; EL TERCER.pdf\"\r\n");
  std::string josep = Read("outbox/001-JOSEP ARAG\xE0 I CASTELL\xE0.pdf");
  EXPECT_EQ(josep.substr(0, 5), "%PDF-");
  EXPECT_EQ(Read("outbox/002-VIVES; EL TERCER.pdf").substr(0, 5), "%PDF-");
  EXPECT_FALSE(Exists("outbox/*BAL*")) << "the owner without an address gets no file";
  // The first owner's document holds its two pages only.
  std::size_t pages = 0;
  for (std::size_t at = josep.find("/Type /Page\n"); at != std::string::npos; at = josep.find("/Type /Page\n", at + 1)) {
    ++pages;
  }
  EXPECT_EQ(pages, 2u);
}

// Started by the suite: TempDir from ZOVTMP (which lacks its separator
// here), the mail switch from DOZUDIZI.INI beside the print file.
TEST_F(SpoolTest, FindsItsFilesLikeTheSession) {
  std::string temp = dir_.substr(0, dir_.size() - 1);
  fake_.environment.Set("ZOVTMP", temp);
  ASSERT_TRUE(fs_->WriteFile(dir_ + "DOZUDIZI.INI", "[Opcions]\r\nCorreu=S\r\n").ok());
  PutPrintFile(testing::OneOwnerPrintFile());

  SpoolRequest request = ReadSpoolRequest(fake_.env);
  EXPECT_EQ(request.temp_dir.substr(0, temp.size()), temp);
  EXPECT_EQ(request.temp_dir.size(), temp.size() + 1);
  EXPECT_EQ(request.mail_setting, "S");
  SpoolOutcome out = Spool(*fs_, cp_, request);
  EXPECT_EQ(out.exit_code, kExitDone);
  EXPECT_TRUE(Exists("register.pdf"));
  EXPECT_TRUE(Exists("outbox/001-MARIA \xB7NGELS PUIGDOM\xD4NECH FERR\x90.pdf"));
}

TEST_F(SpoolTest, FailedWriteLeavesTheOldFileWhole) {
  ASSERT_TRUE(fs_->WriteFile(dir_ + "register.pdf", "old register").ok());
  PutPrintFile(testing::OneOwnerPrintFile());
  platform::FaultFileSystem faulty(fs_);
  faulty.FailAt(platform::FaultFileSystem::Op::kRename, 1);
  SpoolOutcome out = Run("N", &faulty);
  EXPECT_EQ(out.exit_code, kExitProblems);
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_NE(out.messages[0].find("register.pdf"), std::string::npos) << out.messages[0];
  EXPECT_EQ(Read("register.pdf"), "old register");
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(fs_->ListDirectory(dir_, &entries).ok());
  EXPECT_EQ(entries.size(), 2u) << "no temporary file is left behind";
}

// Each run replaces the outbox as a whole: a shorter run leaves none of the
// earlier owners' files, and with mail off no outbox remains.
TEST_F(SpoolTest, EachRunReplacesTheOutboxAsAWhole) {
  PutPrintFile(testing::TwoOwnersPrintFile());
  ASSERT_EQ(Run("S").exit_code, kExitDone);
  ASSERT_TRUE(fs_->WriteFile(dir_ + "outbox/099-STRAY.pdf", "left by hand").ok());

  PutPrintFile(testing::OneOwnerPrintFile());
  SpoolOutcome out = Run("S");
  EXPECT_EQ(out.exit_code, kExitDone);
  EXPECT_EQ(out.mailed, 1);
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(fs_->ListDirectory(dir_ + "outbox", &entries).ok());
  std::vector<std::string> names;
  for (const platform::DirEntry& e : entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"001-MARIA \xB7NGELS PUIGDOM\xD4NECH FERR\x90.pdf", "manifest.csv"}));

  out = Run("N");
  EXPECT_EQ(out.exit_code, kExitDone);
  EXPECT_TRUE(out.outbox.empty());
  ASSERT_TRUE(fs_->ListDirectory(dir_, &entries).ok());
  for (const platform::DirEntry& e : entries) {
    EXPECT_TRUE(e.name == "dozudizi.tmp" || e.name == "register.pdf") << "left behind: " << e.name;
  }
}

TEST_F(SpoolTest, OwnersWithoutOnePlausibleAddressAreNotMailed) {
  testing::PrintFileBuilder b("");
  b.Send("bo@exemple.cat,,BO").Page(66).At(1, "BO", 1);
  b.Send("=HYPERLINK(\"x\");a@b.cat,,DOLENT").Page(66).At(1, "DOLENT", 1);
  b.Send("c@d.cat,,=SUM(A1)").Page(66).At(1, "FORMULA", 1);
  PutPrintFile(b.bytes());
  SpoolOutcome out = Run("S");
  EXPECT_EQ(out.exit_code, kExitDone);
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_NE(out.messages[0].find("DOLENT"), std::string::npos) << out.messages[0];
  EXPECT_EQ(Read("outbox/manifest.csv"),
            "address;name;file\r\n"
            "bo@exemple.cat;BO;001-BO.pdf\r\n"
            "c@d.cat;'=SUM(A1);002-=SUM(A1).pdf\r\n");
  EXPECT_EQ(out.pages, 3u) << "every page is still printed";
}

TEST(IsPlausibleAddressTest, AcceptsOneAddressOnly) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"josep@exemple.cat", true},
      {"j.arag\xA2@exemple.cat", false},
      {"a+b_c%d-e@sub.exemple-x.cat", true},
      {"admin@patrimonial-gernika-.example.org", true},
      {"", false},
      {"exemple.cat", false},
      {"a@b", false},
      {"a@@b.cat", false},
      {"a@b.cat;c@d.cat", false},
      {"a@b.cat, c@d.cat", false},
      {"\"a\"@b.cat", false},
      {"=a@b.cat", false},
      {"-a@b.cat", false},
      {".a@b.cat", false},
      {"a.@b.cat", false},
      {"a..b@c.cat", false},
      {"a@.b.cat", false},
      {"a@b..cat", false},
      {"a@-b.cat", false},
      {"a@b.cat.", false},
      {"a @b.cat", false},
      {std::string(65, 'a') + "@b.cat", false},
  };
  for (const auto& [address, plausible] : cases) EXPECT_EQ(IsPlausibleAddress(address), plausible) << address;
}

// On the real file system: links planted under the outputs' names, in any
// letter case, are replaced, never written through, and the outputs are the
// owner's only.
TEST(SpoolOnDiskTest, PlantedLinksAreNeverFollowed) {
  namespace fs = std::filesystem;
  platform::TempDir temp;
  const std::string dir = temp.path();
  fs::create_directory(dir + "victim");
  { std::ofstream(dir + "victim/keep.txt") << "precious"; }
  { std::ofstream(dir + "precious.pdf") << "precious"; }
  fs::create_directory_symlink(dir + "victim", dir + "OutBox");
  fs::create_symlink(dir + "precious.pdf", dir + "Register.PDF");
  { std::ofstream(dir + "dozudizi.tmp", std::ios::binary) << testing::OneOwnerPrintFile(); }

  Cp850Text cp;
  ASSERT_TRUE(cp.Init().ok());
  std::unique_ptr<platform::FileSystem> disk = platform::NewPosixFileSystem();
  SpoolOutcome out = Spool(*disk, cp, SpoolRequest{dir, "S", nullptr});
  EXPECT_EQ(out.exit_code, kExitDone) << (out.messages.empty() ? "" : out.messages[0]);

  std::ifstream precious(dir + "precious.pdf");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(precious), {}), "precious");
  std::vector<std::string> victim;
  for (const auto& e : fs::directory_iterator(dir + "victim")) victim.push_back(e.path().filename().string());
  EXPECT_EQ(victim, std::vector<std::string>{"keep.txt"});

  const fs::path pdf = fs::exists(dir + "register.pdf") ? dir + "register.pdf" : dir + "Register.PDF";
  EXPECT_FALSE(fs::is_symlink(pdf));
  EXPECT_FALSE(fs::is_symlink(dir + "outbox"));
  ASSERT_TRUE(fs::is_directory(dir + "outbox"));
  const auto owner_only = fs::perms::owner_read | fs::perms::owner_write;
  EXPECT_EQ(fs::status(pdf).permissions(), owner_only);
  for (const auto& e : fs::directory_iterator(dir + "outbox")) {
    EXPECT_EQ(e.status().permissions(), owner_only) << e.path();
  }
}

}  // namespace
}  // namespace zov::tools
