#include "output/print_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/testing/fake_env.h"

namespace zov::output {
namespace {

class PrintFileTest : public ::testing::Test {
 protected:
  PrintFileTest() { session_.temp_dir = dir_; }
  std::string Contents() {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(dir_ + "dozudizi.tmp", &s).ok());
    return s;
  }

  platform::FakeEnv fake_;
  platform::FileSystem* fs_ = &fake_.base_fs();
  const std::string dir_ = fake_.root();
  session::Session session_;
  PrintFile pf_;
};

TEST(NumberTextTest, SignDigitsBlank) {
  struct Case {
    int32_t n;
    const char* want;
  } cases[] = {{45, " 45 "}, {0, " 0 "}, {-7, "-7 "}, {-32768, "-32768 "}, {2147483647, " 2147483647 "},
               {-2147483647 - 1, "-2147483648 "}};
  for (const Case& c : cases) EXPECT_EQ(NumberText(c.n), c.want) << c.n;
}

TEST_F(PrintFileTest, GoldenLines) {
  OpenPrintFile(*fs_, session_, pf_, "LPT1");
  StartPage(pf_, 66);
  PrintAt(pf_, 45, "00001234", 0);
  PrintAt(pf_, 0, "a\tb\rc\x1F\x7F\xFF" "d", 1);
  PrintAt(pf_, 3, "P\xB7GINA caf\x82, 12", 2);  // "PÀGINA café, 12"
  PrintAt(pf_, -1, "", -2);
  std::string spec = " r ";
  SetJustification(pf_, spec);
  PrintControl(pf_, "@e");
  PrintSendTo(pf_, "");
  PrintSendTo(pf_, "owner@example.org,,PUIG\r\nDEVICE X");
  ClosePrintFile(pf_);
  EXPECT_EQ(Contents(),
            "DEVICELPT1\r\n"
            "PAGE 66 \r\n"
            " 45 ,00001234, 0 \r\n"
            " 0 ,a b c   d, 1 \r\n"
            " 3 ,P\xB7GINA caf\x82, 12, 2 \r\n"
            "-1 ,,-2 \r\n"
            "JUSD\r\n"
            "*@e\r\n"
            "SEND\r\n"
            "SENDowner@example.org,,PUIG  DEVICE X\r\n");
  EXPECT_EQ(spec, "D");
  EXPECT_FALSE(pf_.failed) << pf_.error;
}

TEST_F(PrintFileTest, PageLineWhenThePageIsFull) {
  OpenPrintFile(*fs_, session_, pf_, "");
  StartPage(pf_, 66);
  for (int i = 0; i < 66; ++i) PrintAt(pf_, 1, "x", 1);
  EXPECT_EQ(pf_.line_counter, 66);
  PrintAt(pf_, 1, "y", 2);
  EXPECT_EQ(pf_.line_counter, 2);
  EXPECT_EQ(pf_.page_length, 66);
  ClosePrintFile(pf_);
  std::string want = "DEVICE\r\nPAGE 66 \r\n";
  for (int i = 0; i < 66; ++i) want += " 1 ,x, 1 \r\n";
  want += "PAGE 66 \r\n 1 ,y, 2 \r\n";
  EXPECT_EQ(Contents(), want);
}

TEST_F(PrintFileTest, WithoutStartPageEveryItemStartsAPageOfZeroLines) {
  OpenPrintFile(*fs_, session_, pf_, "D");
  PrintAt(pf_, 1, "a", 0);
  PrintAt(pf_, 1, "b", 0);
  ClosePrintFile(pf_);
  EXPECT_EQ(Contents(), "DEVICED\r\nPAGE 0 \r\n 1 ,a, 0 \r\nPAGE 0 \r\n 1 ,b, 0 \r\n");
}

TEST_F(PrintFileTest, JustificationIsNormalised) {
  struct Case {
    std::string spec;
    std::string want;
  } cases[] = {
      {"C", "C"},         {" c", "C"},  {"D", "D"},        {"right", "D"}, {" r ", "D"},
      {"a", "A"},         {"B", "A"},   {"x", "E"},        {"", "E"},      {"   ", "E"},
      {"E", "E"},         {"\x82", "E"},
      {"N 105 \\.\\", "N 105 \\.\\"},
      {"n-12.9x\\,\\tail", "N 12 \\,\\"},
      {"N7", "N 7 "},                     // no backslash: nothing after the number
      {"N 3 \\;", "N 3 \\;"},             // no closing one: the rest
  };
  OpenPrintFile(*fs_, session_, pf_, "");
  std::string want_file = "DEVICE\r\n";
  for (const Case& c : cases) {
    std::string spec = c.spec;
    SetJustification(pf_, spec);
    EXPECT_EQ(spec, c.want) << "spec: " << c.spec;
    want_file += "JUS" + c.want + "\r\n";
  }
  ClosePrintFile(pf_);
  EXPECT_EQ(Contents(), want_file);
}

TEST_F(PrintFileTest, LargeRunsAreWrittenCompleteInOrder) {
  OpenPrintFile(*fs_, session_, pf_, "LPT1");
  StartPage(pf_, 32000);
  std::string want = "DEVICELPT1\r\nPAGE 32000 \r\n";
  for (int i = 0; i < 30000; ++i) {
    std::string text = std::to_string(i);
    PrintAt(pf_, static_cast<int16_t>(i % 80), text, 1);
    want += NumberText(i % 80) + "," + text + ", 1 \r\n";
  }
  ClosePrintFile(pf_);
  EXPECT_EQ(Contents(), want);
  EXPECT_FALSE(pf_.failed);
}

TEST_F(PrintFileTest, OpeningEmptiesAnOldFile) {
  ASSERT_TRUE(fs_->WriteFile(dir_ + "dozudizi.tmp", "old contents that are long\r\n").ok());
  OpenPrintFile(*fs_, session_, pf_, "X");
  ClosePrintFile(pf_);
  EXPECT_EQ(Contents(), "DEVICEX\r\n");
}

// The name holds a complete print file or the previous one, never a part: a
// run killed while writing leaves the previous file, and a run that stops
// (AbandonPrintFile) or fails leaves no temporary file behind.
TEST_F(PrintFileTest, TheNameOnlyEverHoldsACompleteFile) {
  const std::string previous = "DEVICEold\r\n";
  for (const char* end : {"close", "abandon", "fail"}) {
    SCOPED_TRACE(end);
    ASSERT_TRUE(fs_->WriteFile(dir_ + "dozudizi.tmp", previous).ok());
    // What a killed run left under the temporary name never gets in the way.
    ASSERT_TRUE(fs_->WriteFile(dir_ + "dozudizi.tmp.new", "stale").ok());
    platform::FaultFileSystem faulty(fs_);
    if (std::string(end) == "fail") faulty.FailAt(platform::FaultFileSystem::Op::kWrite, 1);
    PrintFile pf;
    OpenPrintFile(faulty, session_, pf, "LPT1");
    StartPage(pf, 66);
    for (int i = 0; i < 5000; ++i) PrintAt(pf, 1, "a line of the register", 1);
    EXPECT_EQ(Contents(), previous) << "while written";
    if (std::string(end) == "abandon") {
      AbandonPrintFile(pf);
    } else {
      ClosePrintFile(pf);
    }
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(fs_->ListDirectory(dir_, &entries).ok());
    ASSERT_EQ(entries.size(), 1u) << entries.back().name;
    if (std::string(end) == "close") {
      EXPECT_EQ(Contents().substr(0, 16), "DEVICELPT1\r\nPAGE");
    } else {
      EXPECT_EQ(Contents(), previous);
    }
  }
}

// A link planted in the session folder under another letter case is not
// taken for the print file: the register goes to a file of its own, never
// over the file the link points to.
TEST(PrintFileLinkTest, APlantedLinkIsNotWrittenThrough) {
  platform::FakeEnv fake(platform::FakeEnv::Files::kReal);
  platform::FileSystem& fs = fake.base_fs();
  ASSERT_TRUE(fs.WriteFile(fake.root() + "victim", "precious").ok());
  std::filesystem::create_symlink(fake.root() + "victim", fake.root() + "DoZuDiZi.TmP");
  session::Session session;
  session.temp_dir = fake.root();
  PrintFile pf;
  OpenPrintFile(fs, session, pf, "LPT1");
  ClosePrintFile(pf);
  EXPECT_FALSE(pf.failed);
  std::string text;
  ASSERT_TRUE(fs.ReadFile(fake.root() + "victim", &text).ok());
  EXPECT_EQ(text, "precious");
  ASSERT_TRUE(fs.ReadFile(fake.root() + "dozudizi.tmp", &text).ok());
  EXPECT_EQ(text, "DEVICELPT1\r\n");
}

TEST_F(PrintFileTest, FailuresAreRecorded) {
  struct Case {
    const char* what;
    platform::FaultFileSystem::Op op;
    int nth;
  } cases[] = {
      {"open fails", platform::FaultFileSystem::Op::kOpen, 1},
      {"first chunk write fails", platform::FaultFileSystem::Op::kWrite, 1},
      {"a later chunk write fails", platform::FaultFileSystem::Op::kWrite, 2},
  };
  for (const Case& c : cases) {
    platform::FaultFileSystem faulty(fs_);
    faulty.FailAt(c.op, c.nth);
    PrintFile pf;
    OpenPrintFile(faulty, session_, pf, "LPT1");
    StartPage(pf, 66);
    for (int i = 0; i < 10000; ++i) PrintAt(pf, 1, "some text of a print line", 0);
    ClosePrintFile(pf);
    EXPECT_TRUE(pf.failed) << c.what;
    EXPECT_NE(pf.error.find("injected"), std::string::npos) << c.what << ": " << pf.error;
  }
}

TEST_F(PrintFileTest, WritingWhileClosedIsRecorded) {
  PrintAt(pf_, 1, "lost", 0);
  EXPECT_TRUE(pf_.failed);
  EXPECT_FALSE(pf_.error.empty());
}

}  // namespace
}  // namespace zov::output
