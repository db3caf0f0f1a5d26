#include "screen/window_stack.h"

#include <string>

#include "gtest/gtest.h"
#include "platform/testing/fault_file_system.h"
#include "tests/screen/screen_fixture.h"

namespace zov::screen {
namespace {

std::string Le32(uint32_t v) {
  std::string b(4, '\0');
  for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

class WindowStackTest : public ScreenTest {
 protected:
  // The cells of a rectangle of the pattern, as a record stores them.
  static std::string PatternCells(int top, int left, int bottom, int right) {
    std::string cells;
    for (int r = top; r <= bottom; ++r) {
      for (int c = left; c <= right; ++c) {
        cells += PatternChar(r, c);
        cells += static_cast<char>(PatternAttribute(r, c));
      }
    }
    return cells;
  }
  // Scribbles over a rectangle, as a box drawn in a window would.
  void Scribble(int top, int left, int bottom, int right) {
    console.SetColours(1, 14);
    for (int r = top; r <= bottom; ++r) {
      console.MoveCursor(r, left);
      console.WriteText(std::string(static_cast<std::size_t>(right - left + 1), '#'));
    }
  }
};

TEST_F(WindowStackTest, PushWritesTheRecordAndPopPutsEverythingBack) {
  PaintPattern();
  const std::string before = Cells();
  console.MoveCursor(3, 4);

  ASSERT_TRUE(PushWindow(env, session, state, 5, 10, 7, 20));
  const std::string record = "0304" "00000000" "05100720" + PatternCells(5, 10, 7, 20) + "00091";
  ASSERT_EQ(record.size(), 91u);
  EXPECT_EQ(Printable(StackBytes()), Printable(Le32(96) + record));
  EXPECT_EQ(state.window_depth, 1);
  EXPECT_TRUE(SameRect(state.window, WindowRect{5, 10, 7, 20}));

  Scribble(5, 10, 7, 20);
  console.MoveCursor(20, 60);
  PopWindow(env, session, state);

  EXPECT_EQ(Cells(), before);
  EXPECT_EQ(console.CursorRow(), 3);
  EXPECT_EQ(console.CursorColumn(), 4);
  EXPECT_EQ(state.window_depth, 0);
  EXPECT_TRUE(SameRect(state.window, WindowRect{}));
  EXPECT_EQ(console.CurrentAttribute(), PatternAttribute(7, 20)) << "the last painted cell's colours stay";
  EXPECT_FALSE(StackExists()) << "the last pop deletes the stack file";
}

TEST_F(WindowStackTest, TwoPushesComeOffInReverseOrder) {
  PaintPattern();
  const std::string original = Cells();
  ASSERT_TRUE(PushWindow(env, session, state, 2, 2, 6, 30));
  Scribble(2, 2, 6, 30);
  const std::string with_first = Cells();
  const uint32_t first_end = 5 + 25 + 2 * 5 * 29;

  ASSERT_TRUE(PushWindow(env, session, state, 4, 10, 12, 50));
  EXPECT_EQ(state.window_depth, 2);
  Scribble(4, 10, 12, 50);

  PopWindow(env, session, state);
  EXPECT_EQ(Cells(), with_first);
  EXPECT_EQ(state.window_depth, 1);
  EXPECT_TRUE(SameRect(state.window, WindowRect{2, 2, 6, 30})) << "the first window is current again";
  EXPECT_EQ(Printable(StackBytes().substr(0, 4)), Printable(Le32(first_end)));

  PopWindow(env, session, state);
  EXPECT_EQ(Cells(), original);
  EXPECT_EQ(state.window_depth, 0);
  EXPECT_FALSE(StackExists());
}

TEST_F(WindowStackTest, OnlyRectanglesOnTheScreenArePushed) {
  struct Case {
    int16_t top, left, bottom, right;
    bool pushed;
  };
  const Case cases[] = {
      {1, 1, 25, 80, true},   {25, 80, 25, 80, true}, {0, 1, 1, 1, false},   {1, 0, 1, 1, false},
      {1, 1, 26, 1, false},   {1, 1, 1, 81, false},   {26, 1, 26, 1, false}, {-3, 5, 2, 9, false},
      {5, 5, 4, 5, false},    {5, 6, 5, 5, false},
  };
  for (const Case& t : cases) {
    std::string label = std::to_string(t.top) + "," + std::to_string(t.left) + "," + std::to_string(t.bottom) +
                        "," + std::to_string(t.right);
    ScreenState fresh;
    EXPECT_EQ(PushWindow(env, session, fresh, t.top, t.left, t.bottom, t.right), t.pushed) << label;
    EXPECT_EQ(StackExists(), t.pushed) << label;
    EXPECT_EQ(fresh.window_depth, t.pushed ? 1 : 0) << label;
    if (t.pushed) PopWindow(env, session, fresh);
    EXPECT_FALSE(StackExists()) << label;
  }
}

TEST_F(WindowStackTest, WindowLocateCountsFromTheWindowCorner) {
  struct Case {
    int16_t depth;
    int16_t row, column;
    int want_row, want_column;
  };
  const Case cases[] = {
      {0, 1, 2, 1, 2},      // no window: the whole screen
      {1, 1, 2, 11, 22},    // inside the window at row 10, column 20
      {1, 0, 0, 10, 20},    // its corner
      {1, 20, 70, 3, 3},    // off the screen: the cursor stays
      {1, 14, 59, 24, 79},
  };
  for (const Case& t : cases) {
    ScreenState s;
    s.window_depth = t.depth;
    s.window = WindowRect{10, 20, 15, 40};
    console.MoveCursor(3, 3);
    WindowLocate(console, s, t.row, t.column);
    EXPECT_EQ(console.CursorRow(), t.want_row) << "depth " << t.depth << " (" << t.row << "," << t.column << ")";
    EXPECT_EQ(console.CursorColumn(), t.want_column) << "depth " << t.depth << " (" << t.row << "," << t.column << ")";
  }
}

TEST_F(WindowStackTest, DrawFrameBordersTheWindowAndBlanksItsInside) {
  struct Case {
    const char* label;
    WindowRect window;
    int16_t style;
    std::vector<std::string> rows;  // rows 1 to 6, columns 1 to 8, after the frame
  };
  const Case cases[] = {
      {"single, 3 wide", {2, 1, 4, 3}, 1,
       {"xxxxxxxx", "\xDA\xC4\xBFxxxxx", "\xB3 \xB3xxxxx", "\xC0\xC4\xD9xxxxx", "xxxxxxxx", "xxxxxxxx"}},
      {"double", {2, 2, 5, 6}, 2,
       {"xxxxxxxx", "x\xC9\xCD\xCD\xCD\xBBxx", "x\xBA   \xBAxx", "x\xBA   \xBAxx", "x\xC8\xCD\xCD\xCD\xBCxx", "xxxxxxxx"}},
      {"blank erases", {1, 1, 3, 4}, 0, {"    xxxx", "    xxxx", "    xxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"}},
      {"unknown style draws blanks", {1, 1, 2, 2}, 7, {"  xxxxxx", "  xxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"}},
      {"2 wide", {1, 3, 3, 4}, 1, {"xx\xDA\xBFxxxx", "xx\xB3\xB3xxxx", "xx\xC0\xD9xxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"}},
      // One column wide: nothing may land beside the window.
      {"1 wide", {2, 5, 4, 5}, 1, {"xxxxxxxx", "xxxx\xBFxxx", "xxxx\xB3xxx", "xxxx\xD9xxx", "xxxxxxxx", "xxxxxxxx"}},
      {"1 high", {3, 2, 3, 6}, 1, {"xxxxxxxx", "xxxxxxxx", "x\xC0\xC4\xC4\xC4\xD9xx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"}},
  };
  for (const Case& t : cases) {
    for (int r = 1; r <= 6; ++r) {
      console.MoveCursor(r, 1);
      console.WriteText("xxxxxxxx");
    }
    ScreenState s;
    s.window_depth = 1;
    s.window = t.window;
    console.SetColours(1, 2);
    DrawFrame(console, s, t.style);
    for (int r = 1; r <= 6; ++r) {
      EXPECT_EQ(Printable(console.RowText(r).substr(0, 8)), Printable(t.rows[static_cast<std::size_t>(r - 1)]))
          << t.label << ", row " << r;
    }
    EXPECT_EQ(console.ReadCell(t.window.top, t.window.left).attribute, 0x21) << t.label << ": current colours";
  }
}

TEST_F(WindowStackTest, DrawFrameWithoutAWindowDrawsNothing) {
  PaintPattern();
  const std::string before = Cells();
  ScreenState none;
  none.window = WindowRect{2, 2, 5, 5};  // left from a popped window
  DrawFrame(console, none, 1);
  EXPECT_EQ(Cells(), before);
}

TEST_F(WindowStackTest, PopOfAnEmptyStackChangesNothingAndLeavesNoFile) {
  struct Case {
    const char* label;
    bool create;
    std::string bytes;
  };
  const Case cases[] = {{"missing", false, ""}, {"empty", true, ""}, {"3 bytes", true, "\x05\x00\x00"}};
  for (const Case& t : cases) {
    PaintPattern();
    const std::string before = Cells();
    console.MoveCursor(8, 8);
    if (t.create) WriteStack(t.bytes);
    ScreenState s;
    s.window_depth = 1;
    s.window = WindowRect{1, 1, 3, 3};
    PopWindow(env, session, s);
    EXPECT_EQ(Cells(), before) << t.label;
    EXPECT_EQ(console.CursorRow(), 8) << t.label;
    EXPECT_EQ(s.window_depth, 1) << t.label;
    EXPECT_FALSE(StackExists()) << t.label;
  }
}

// A record as another program or a damaged file might hold it.
std::string Record(const std::string& coordinates, const std::string& cells, const std::string& length) {
  return coordinates + cells + length;
}

TEST_F(WindowStackTest, DamagedStackFileIsDroppedWithoutTouchingTheScreen) {
  const std::string good = Record("0101" "00000000" "01010102", "Z\x07Y\x07", "00029");
  ASSERT_EQ(good.size(), 29u);
  struct Case {
    const char* label;
    std::string bytes;
  };
  const Case cases[] = {
      {"end past the file", Le32(500) + good},
      {"end before the records", Le32(2) + good},
      {"negative end", Le32(0xFFFFFFFFu) + good},
      {"end leaves no room for a record", Le32(20) + good},
      {"length not digits", Le32(34) + Record("0101" "00000000" "01010102", "Z\x07Y\x07", "0002x")},
      {"length reaches before the header", Le32(34) + Record("0101" "00000000" "01010102", "Z\x07Y\x07", "00099")},
      {"length below a record's minimum", Le32(34) + Record("0101" "00000000" "01010102", "Z\x07Y\x07", "00004")},
      {"coordinate not digits", Le32(34) + Record("0101" "00000000" "01a10102", "Z\x07Y\x07", "00029")},
      {"cells do not match the rectangle", Le32(34) + Record("0101" "00000000" "01010103", "Z\x07Y\x07", "00029")},
      {"rectangle upside down", Le32(34) + Record("0101" "00000000" "02010101", "Z\x07Y\x07", "00029")},
      {"rectangle at row 0", Le32(34) + Record("0101" "00000000" "00010002", "Z\x07Y\x07", "00029")},
  };
  for (const Case& t : cases) {
    PaintPattern();
    const std::string before = Cells();
    console.MoveCursor(9, 9);
    WriteStack(t.bytes);
    ScreenState s;
    s.window_depth = 2;
    s.window = WindowRect{3, 3, 6, 6};
    PopWindow(env, session, s);
    EXPECT_EQ(Cells(), before) << t.label;
    EXPECT_EQ(console.CursorRow(), 9) << t.label;
    EXPECT_EQ(s.window_depth, 2) << t.label;
    EXPECT_TRUE(SameRect(s.window, WindowRect{3, 3, 6, 6})) << t.label;
    EXPECT_FALSE(StackExists()) << t.label;
  }
}

TEST_F(WindowStackTest, WindowsOfAnotherProgramStayBelowOurs) {
  const std::string foreign = Le32(34) + Record("0101" "00000000" "01010102", "Z\x07Y\x07", "00029");
  WriteStack(foreign);
  PaintPattern();
  const std::string before = Cells();
  console.MoveCursor(1, 1);

  ASSERT_TRUE(PushWindow(env, session, state, 10, 10, 10, 12));
  const std::string bytes = StackBytes();
  EXPECT_EQ(Printable(bytes.substr(0, 4)), Printable(Le32(34 + 31)));
  EXPECT_EQ(Printable(bytes.substr(4, 29)), Printable(foreign.substr(4)));
  EXPECT_EQ(Printable(bytes.substr(33)),
            Printable("0101" "00000000" "10101012" + PatternCells(10, 10, 10, 12) + "00031"));

  Scribble(10, 10, 10, 12);
  PopWindow(env, session, state);
  EXPECT_EQ(Cells(), before);
  EXPECT_EQ(Printable(StackBytes().substr(0, 33)), Printable(foreign)) << "their window is still there";
}

TEST_F(WindowStackTest, PushOverADamagedHeaderStartsTheStackAgain) {
  WriteStack(Le32(1000) + "junk");
  PaintPattern();
  const std::string before = Cells();
  ASSERT_TRUE(PushWindow(env, session, state, 1, 1, 1, 2));
  EXPECT_EQ(Printable(StackBytes().substr(0, 4)), Printable(Le32(5 + 29)));
  Scribble(1, 1, 1, 2);
  PopWindow(env, session, state);
  EXPECT_EQ(Cells(), before);
  EXPECT_FALSE(StackExists());
}

TEST_F(WindowStackTest, FailedWriteLeavesTheStackAsItWas) {
  PaintPattern();
  const std::string before = Cells();
  struct Case {
    const char* label;
    int failing_write;  // 1 = the record, 2 = the header
  };
  for (const Case& t : {Case{"record", 1}, Case{"header", 2}}) {
    platform::FaultFileSystem fresh(fs);
    env.fs = &fresh;
    fresh.FailAt(platform::FaultFileSystem::Op::kWrite, t.failing_write);
    ScreenState s;
    EXPECT_FALSE(PushWindow(env, session, s, 2, 2, 3, 3)) << t.label;
    EXPECT_EQ(s.window_depth, 0) << t.label;
    EXPECT_FALSE(StackExists()) << t.label << ": no half-written stack file is left";
  }

  // Over a stack that holds a window: a failed push must not hide it.
  platform::FaultFileSystem later(fs);
  env.fs = &later;
  ASSERT_TRUE(PushWindow(env, session, state, 2, 2, 3, 3));
  Scribble(2, 2, 3, 3);
  later.FailAt(platform::FaultFileSystem::Op::kWrite, 4);  // the second push's header
  EXPECT_FALSE(PushWindow(env, session, state, 5, 5, 6, 6));
  EXPECT_EQ(state.window_depth, 1);
  EXPECT_TRUE(SameRect(state.window, WindowRect{2, 2, 3, 3}));
  PopWindow(env, session, state);
  EXPECT_EQ(Cells(), before);
  EXPECT_FALSE(StackExists());
}

}  // namespace
}  // namespace zov::screen
