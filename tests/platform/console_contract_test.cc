// The behaviour every Console shares, run over the in-memory console and the
// terminal console (on a pipe, where it draws nothing, and on a
// pseudo-terminal, where it draws).
#include <unistd.h>

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/terminal_console.h"
#include "platform/testing/memory_console.h"
#include "tests/platform/pty_helpers.h"

namespace zov::platform {
namespace {

enum class Kind { kMemory, kTerminalOnPipe, kTerminalOnPty };

std::string KindName(const testing::TestParamInfo<Kind>& info) {
  switch (info.param) {
    case Kind::kMemory: return "Memory";
    case Kind::kTerminalOnPipe: return "TerminalOnPipe";
    case Kind::kTerminalOnPty: return "TerminalOnPty";
  }
  return "?";
}

class ConsoleContract : public testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case Kind::kMemory:
        console_ = std::make_unique<MemoryConsole>();
        break;
      case Kind::kTerminalOnPipe:
        ASSERT_EQ(::pipe(pipe_), 0);
        console_ = NewTerminalConsoleOn(pipe_[0], pipe_[1]);
        break;
      case Kind::kTerminalOnPty:
        pty_ = std::make_unique<Pty>();
        ASSERT_TRUE(pty_->ok());
        console_ = NewTerminalConsoleOn(pty_->slave(), pty_->slave());
        break;
    }
  }
  void TearDown() override {
    console_.reset();
    if (pty_) pty_->ReadOutput();
    for (int fd : pipe_) {
      if (fd >= 0) ::close(fd);
    }
  }

  Console& c() { return *console_; }

  std::unique_ptr<Console> console_;
  std::unique_ptr<Pty> pty_;
  int pipe_[2] = {-1, -1};
};

TEST_P(ConsoleContract, ScreenIs25By80) {
  EXPECT_EQ(c().ScreenRows(), 25);
  EXPECT_EQ(c().ScreenColumns(), 80);
}

TEST_P(ConsoleContract, MoveCursorKeepsACoordinateOutsideTheScreen) {
  struct Case {
    int row, column, want_row, want_column;
  };
  const Case cases[] = {
      {3, 4, 3, 4},     {0, 5, 10, 5},   {26, 5, 10, 5}, {5, 0, 5, 10},
      {5, 81, 5, 10},   {-1, -1, 10, 10}, {25, 80, 25, 80}, {1, 1, 1, 1},
  };
  for (const Case& t : cases) {
    c().MoveCursor(10, 10);
    c().MoveCursor(t.row, t.column);
    EXPECT_EQ(c().CursorRow(), t.want_row) << "MoveCursor(" << t.row << ", " << t.column << ")";
    EXPECT_EQ(c().CursorColumn(), t.want_column) << "MoveCursor(" << t.row << ", " << t.column << ")";
  }
}

TEST_P(ConsoleContract, WriteTextStoresBytesInCurrentColoursAndAdvances) {
  c().SetColours(14, 1);
  c().MoveCursor(2, 3);
  c().WriteText("a\xDA\x01");
  const std::string want = "a\xDA\x01";
  for (int i = 0; i < 3; ++i) {
    Cell cell = c().ReadCell(2, 3 + i);
    EXPECT_EQ(cell.character, static_cast<uint8_t>(want[static_cast<std::size_t>(i)])) << "column " << 3 + i;
    EXPECT_EQ(cell.attribute, 0x1E) << "column " << 3 + i;
  }
  EXPECT_EQ(c().CursorRow(), 2);
  EXPECT_EQ(c().CursorColumn(), 6);
  EXPECT_EQ(c().ReadCell(2, 6).character, ' ');
}

TEST_P(ConsoleContract, ColourOutsideZeroToFifteenIsLeftUnchanged) {
  struct Case {
    int foreground, background;
    uint8_t want;
  };
  const Case cases[] = {
      {16, 2, 0x27}, {3, 16, 0x03}, {16, 16, 0x07}, {-1, 4, 0x47}, {15, 15, 0xFF}, {0, 0, 0x00},
  };
  for (const Case& t : cases) {
    c().SetColours(7, 0);
    c().SetColours(t.foreground, t.background);
    c().MoveCursor(1, 1);
    c().WriteText("x");
    EXPECT_EQ(c().ReadCell(1, 1).attribute, t.want) << "SetColours(" << t.foreground << ", " << t.background << ")";
  }
}

TEST_P(ConsoleContract, TextWrapsAtTheRightEdgeAndStopsAtTheLastCell) {
  c().MoveCursor(1, 79);
  c().WriteText("xyz");
  EXPECT_EQ(c().ReadCell(1, 79).character, 'x');
  EXPECT_EQ(c().ReadCell(1, 80).character, 'y');
  EXPECT_EQ(c().ReadCell(2, 1).character, 'z');
  EXPECT_EQ(c().CursorRow(), 2);
  EXPECT_EQ(c().CursorColumn(), 2);

  c().MoveCursor(1, 1);
  c().WriteText("k");
  c().MoveCursor(25, 79);
  c().WriteText("pqrs");
  EXPECT_EQ(c().ReadCell(25, 79).character, 'p');
  EXPECT_EQ(c().ReadCell(25, 80).character, 'q');
  EXPECT_EQ(c().ReadCell(1, 1).character, 'k') << "text past the last cell must not wrap to the top";
  EXPECT_EQ(c().CursorRow(), 25);
  EXPECT_EQ(c().CursorColumn(), 80);

  c().MoveCursor(25, 1);
  c().WriteText("m");
  EXPECT_EQ(c().ReadCell(25, 1).character, 'm') << "a move ends the overflow";
}

TEST_P(ConsoleContract, WriteBlanksWritesCountBlanksAndNoneBelowOne) {
  struct Case {
    int count;
    const char* want_row;
    int want_column;
  };
  const Case cases[] = {{-1, "abcd", 2}, {0, "abcd", 2}, {2, "a  d", 4}, {3, "a   ", 5}};
  for (const Case& t : cases) {
    c().MoveCursor(3, 1);
    c().WriteText("abcd");
    c().MoveCursor(3, 2);
    c().WriteBlanks(t.count);
    std::string row;
    for (int col = 1; col <= 4; ++col) row += static_cast<char>(c().ReadCell(3, col).character);
    EXPECT_EQ(row, t.want_row) << "WriteBlanks(" << t.count << ")";
    EXPECT_EQ(c().CursorColumn(), t.want_column) << "WriteBlanks(" << t.count << ")";
  }
}

TEST_P(ConsoleContract, CellsOutsideTheScreenReadAsBlankLightGrey) {
  c().SetColours(15, 4);
  c().MoveCursor(1, 1);
  c().WriteBlanks(80);
  const int positions[][2] = {{0, 1}, {26, 1}, {1, 0}, {1, 81}, {-5, -5}};
  for (const auto& p : positions) {
    Cell cell = c().ReadCell(p[0], p[1]);
    EXPECT_EQ(cell.character, ' ') << p[0] << "," << p[1];
    EXPECT_EQ(cell.attribute, 0x07) << p[0] << "," << p[1];
  }
}

INSTANTIATE_TEST_SUITE_P(AllConsoles, ConsoleContract,
                         testing::Values(Kind::kMemory, Kind::kTerminalOnPipe, Kind::kTerminalOnPty), KindName);

}  // namespace
}  // namespace zov::platform
