#include "output/output_slots.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_env.h"

namespace zov::output {
namespace {

using platform::FaultFileSystem;

class OutputSlotsTest : public ::testing::Test {
 protected:
  OutputSlotsTest() { SetUpSlots(slots_, 1); }
  std::string Contents(const std::string& name) {
    std::string s;
    EXPECT_TRUE(fs_->ReadFile(name, &s).ok()) << name;
    return s;
  }

  platform::FakeEnv fake_;
  platform::FileSystem* fs_ = &fake_.base_fs();
  platform::FakeClock& clock_ = fake_.clock;
  platform::Env& env_ = fake_.env;
  const std::string dir_ = fake_.root();
  OutputSlots slots_;
};

TEST_F(OutputSlotsTest, FormatSpecChoosesSeparatorAndLineEnd) {
  struct Case {
    std::string spec, separator, line_end;
  } cases[] = {
      {";crlf", ";", "\r\n"}, {"TAB", "\t", "\r\n"}, {"lf", ",", "\n"},       {"", ",", "\r\n"},
      {"Cr", ",", "\r"},      {"tab;", "\t", "\r\n"}, {"x;lfcr", ";", "\r\n"}, {"TABLF", "\t", "\n"},
  };
  for (const Case& c : cases) {
    SetUpSlots(slots_, 1);
    int16_t n = OpenSlot(slots_, dir_ + "a.csv", c.spec);
    ASSERT_EQ(n, 1) << c.spec;
    EXPECT_EQ(slots_.slots[0].separator, c.separator) << c.spec;
    EXPECT_EQ(slots_.slots[0].line_end, c.line_end) << c.spec;
  }
}

TEST_F(OutputSlotsTest, FieldsAreJoinedAndQuotedOnlyWhenTheyHoldTheSeparator) {
  struct Case {
    std::string spec;
    std::vector<std::string> fields;
    std::string want;  // the written line without its line end
  } cases[] = {
      {";crlf", {"A;B\"C"}, "\"A;B\"\"C\""},
      {";crlf", {"AB\"C"}, "AB\"C"},
      {";crlf", {"", "x"}, "x"},  // an empty first field is lost
      {";crlf", {"x", ""}, "x;"},
      // CR and LF become blanks: a stored text cannot split its row or forge another.
      {";crlf", {"a", "b\r\nc", "d"}, "a;b  c;d"},
      {";crlf", {"x;\n2026;0", "\n"}, "\"x; 2026;0\"; "},
      {",", {"1,5", "2"}, "\"1,5\",2"},
      {"TAB", {"a\tb", "c;d"}, "\"a\tb\"\tc;d"},
      {";crlf", {"\x80" "a\xFF"}, "\x80" "a\xFF"},
  };
  for (const Case& c : cases) {
    const std::string path = dir_ + "f.csv";
    fs_->DeleteFile(path).IgnoreError();
    SetUpSlots(slots_, 1);
    int16_t n = OpenSlot(slots_, path, c.spec);
    for (const std::string& f : c.fields) AddField(slots_, n, f);
    WriteLine(env_, slots_, n);
    std::string line_end = slots_.slots[0].line_end;
    EXPECT_EQ(Contents(path), c.want + line_end) << c.spec << " / " << ::testing::PrintToString(c.fields);
  }
}

TEST_F(OutputSlotsTest, LinesAreAppendedToExistingContent) {
  const std::string path = dir_ + "REG00001.CSV";
  ASSERT_TRUE(fs_->WriteFile(path, "old\r\n").ok());
  int16_t n = OpenSlot(slots_, path, ";crlf");
  AddField(slots_, n, "a");
  AddField(slots_, n, "b");
  WriteLine(env_, slots_, n);
  EXPECT_EQ(Contents(path), "old\r\na;b\r\n");  // visible to readers at once
  AddField(slots_, n, "c");
  WriteLine(env_, slots_, n);
  FreeSlot(slots_, n);
  EXPECT_EQ(Contents(path), "old\r\na;b\r\nc\r\n");
  EXPECT_EQ(slots_.lost_lines, 0);
}

TEST_F(OutputSlotsTest, SlotsAreTakenLowestFirstAndFreed) {
  EXPECT_EQ(OpenSlot(slots_, "a", ""), 1);
  EXPECT_EQ(OpenSlot(slots_, "b", ""), 0);
  FreeSlot(slots_, 1);
  EXPECT_EQ(OpenSlot(slots_, "c", ""), 1);
  SetUpSlots(slots_, 3);
  EXPECT_EQ(OpenSlot(slots_, "a", ""), 1);
  EXPECT_EQ(OpenSlot(slots_, "b", ""), 2);
  FreeSlot(slots_, 1);
  EXPECT_EQ(OpenSlot(slots_, "c", ""), 1);
  EXPECT_EQ(OpenSlot(slots_, "d", ""), 3);
  SetUpSlots(slots_, 0);
  EXPECT_EQ(OpenSlot(slots_, "e", ""), 0);
  // Numbers that name no busy slot do no harm.
  AddField(slots_, 7, "x");
  FreeSlot(slots_, -1);
}

TEST_F(OutputSlotsTest, APassingFailureIsRetried) {
  FaultFileSystem& faulty = fake_.faults;
  faulty.FailAt(FaultFileSystem::Op::kAppend, 1);  // once
  const std::string path = dir_ + "a.csv";
  int16_t n = OpenSlot(slots_, path, ";crlf");
  AddField(slots_, n, "x");
  WriteLine(env_, slots_, n);
  EXPECT_EQ(Contents(path), "x\r\n");
  EXPECT_EQ(slots_.lost_lines, 0);
  EXPECT_EQ(clock_.sleeps.size(), 1u);
}

TEST_F(OutputSlotsTest, AFileThatStaysUnreachableLosesTheLineAndSaysSo) {
  FaultFileSystem& faulty = fake_.faults;
  faulty.FailAt(FaultFileSystem::Op::kAppend, 1, /*sticky=*/true);
  const std::string path = dir_ + "a.csv";
  int16_t n = OpenSlot(slots_, path, ";crlf");
  AddField(slots_, n, "first");
  WriteLine(env_, slots_, n);
  EXPECT_EQ(slots_.lost_lines, 1);
  EXPECT_NE(slots_.first_error.find("injected append failure"), std::string::npos) << slots_.first_error;
  int32_t slept = 0;
  for (int32_t ms : clock_.sleeps) slept += ms;
  EXPECT_GE(slept, kWriteLineRetryMillis - kWriteLineRetryPauseMillis);
  EXPECT_LE(slept, kWriteLineRetryMillis);

  // Later lines of the same file are tried once, without another wait.
  const std::size_t sleeps_before = clock_.sleeps.size();
  AddField(slots_, n, "second");
  WriteLine(env_, slots_, n);
  EXPECT_EQ(slots_.lost_lines, 2);
  EXPECT_EQ(clock_.sleeps.size(), sleeps_before);
  EXPECT_TRUE(slots_.slots[0].line.empty());

  // Once the file is reachable again, lines get through.
  faulty.FailAt(FaultFileSystem::Op::kAppend, 1000000);
  AddField(slots_, n, "third");
  WriteLine(env_, slots_, n);
  EXPECT_EQ(slots_.lost_lines, 2);
  EXPECT_EQ(Contents(path), "third\r\n");
  EXPECT_FALSE(slots_.slots[0].unreachable);
}

// A full or unwritable CSV directory: the first file waits once, every later
// file (another owner's) is given up at once instead of waiting again.
TEST_F(OutputSlotsTest, AfterALineGivenUpLaterFilesDoNotWaitAgain) {
  fake_.faults.FailAt(FaultFileSystem::Op::kAppend, 1, /*sticky=*/true);
  for (const char* name : {"a.csv", "b.csv", "c.csv"}) {
    const int16_t n = OpenSlot(slots_, dir_ + name, ";crlf");
    AddField(slots_, n, "x");
    WriteLine(env_, slots_, n);
    FreeSlot(slots_, n);
  }
  int32_t slept = 0;
  for (int32_t ms : clock_.sleeps) slept += ms;
  EXPECT_LE(slept, kWriteLineRetryMillis) << "one wait for the whole run";
  EXPECT_EQ(slots_.lost_lines, 3);
}

// Held lines reach the file only when flushed (or when they pass the
// limit), with the same contents; a write given up loses them all, and so
// does freeing the slot before the flush.
TEST_F(OutputSlotsTest, HeldLinesAreWrittenTogetherOrCountedLost) {
  enum class End { kFlush, kFlushFailing, kFreeOnly };
  struct Case {
    const char* label;
    int lines;
    std::size_t field_size;
    End end;
    bool written_before_end;  // some lines reached the file before the end
    int32_t lost;
  } cases[] = {
      {"flushed", 3, 5, End::kFlush, false, 0},
      {"past the limit", 3, kHeldBytesLimit / 2, End::kFlush, true, 0},
      {"flush given up", 3, 5, End::kFlushFailing, false, 3},
      {"freed unflushed", 2, 5, End::kFreeOnly, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    platform::FakeEnv fake;
    platform::Env& env = fake.env;
    const std::string path = fake.root() + "h.csv";
    SetUpSlots(slots_, 1);
    const int16_t n = OpenSlot(slots_, path, ";crlf");
    AddField(slots_, n, "head");
    WriteLine(env, slots_, n);
    HoldLines(slots_, n);
    std::string want = "head\r\n";
    for (int i = 0; i < c.lines; ++i) {
      const std::string field(c.field_size, static_cast<char>('a' + i));
      AddField(slots_, n, field);
      AddField(slots_, n, "\x80;");
      WriteLine(env, slots_, n);
      want += field + ";\"\x80;\"\r\n";
    }
    std::string before;
    ASSERT_TRUE(fake.base_fs().ReadFile(path, &before).ok());
    EXPECT_EQ(before != "head\r\n", c.written_before_end) << before.size();
    if (c.end == End::kFlushFailing) fake.faults.FailAt(platform::FaultFileSystem::Op::kAppend, 1, /*sticky=*/true);
    if (c.end != End::kFreeOnly) FlushSlot(env, slots_, n);
    FreeSlot(slots_, n);
    EXPECT_EQ(slots_.lost_lines, c.lost);
    std::string after;
    ASSERT_TRUE(fake.base_fs().ReadFile(path, &after).ok());
    EXPECT_EQ(after, c.lost == 0 ? want : "head\r\n");
  }
}

TEST_F(OutputSlotsTest, WritingAFreeSlotIsALostLine) {
  WriteLine(env_, slots_, 1);
  WriteLine(env_, slots_, 9);
  EXPECT_EQ(slots_.lost_lines, 2);
  EXPECT_FALSE(slots_.first_error.empty());
}

}  // namespace
}  // namespace zov::output
