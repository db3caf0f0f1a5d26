#include "screen/message_box.h"

#include <string>

#include "gtest/gtest.h"
#include "screen/window_stack.h"
#include "tests/screen/screen_fixture.h"

namespace zov::screen {
namespace {

// Words of five letters and a blank, `count` characters in all.
std::string Words(std::size_t count) {
  std::string text;
  while (text.size() < count) text += text.size() % 6 == 5 ? ' ' : static_cast<char>('a' + text.size() % 26);
  return text;
}

using MessageBoxTest = ScreenTest;

TEST_F(MessageBoxTest, FortyCharactersOnRow12) {
  const std::string text = "NO ES POT ACCEDIR AL FITXER DADES\\VCob (";
  ASSERT_EQ(text.size(), 40u);
  ASSERT_TRUE(MessageBox(env, session, state, 12, text));

  EXPECT_EQ(state.window_depth, 1);
  EXPECT_TRUE(SameRect(state.window, WindowRect{9, 19, 11, 62}));
  EXPECT_EQ(console.RowText(9).substr(18, 44), "\xDA" + std::string(42, '\xC4') + "\xBF");
  EXPECT_EQ(console.RowText(10).substr(18, 44), "\xB3 " + text + " \xB3");
  EXPECT_EQ(console.RowText(11).substr(18, 44), "\xC0" + std::string(42, '\xC4') + "\xD9");
  EXPECT_EQ(console.RowText(10).substr(20, 1), "N") << "the text starts at column 21";
  EXPECT_EQ(console.RowText(8), std::string(80, ' '));
  EXPECT_EQ(console.ReadCell(10, 18).character, ' ') << "nothing left of the box";
  EXPECT_EQ(console.ReadCell(10, 63).character, ' ') << "nothing right of the box";
  // The box is in the "R" colours; the colours in use before are back.
  EXPECT_EQ(console.ReadCell(9, 19).attribute, 0 + 16 * 7);
  EXPECT_EQ(console.ReadCell(10, 30).attribute, 0 + 16 * 7);
  EXPECT_EQ(console.CurrentAttribute(), 15);
  EXPECT_EQ(state.attribute_index, 0);
  EXPECT_TRUE(state.colour_stack.empty());
}

TEST_F(MessageBoxTest, BoxIsPlacedAroundTheRowAndCentredOnColumn41) {
  struct Case {
    int16_t row;
    std::string text;
    WindowRect want;
  };
  const Case cases[] = {
      {12, Words(40), {9, 19, 11, 62}},
      {12, Words(100), {9, 3, 12, 77}},      // two lines, the longer of 71
      {12, std::string(80, 'x'), {9, 1, 12, 80}},  // a word longer than 76 is cut at 76
      {12, "a", {9, 38, 11, 42}},
      {12, "ab", {9, 38, 11, 43}},
      {12, "", {10, 39, 11, 42}},             // no line: a frame alone
      {1, Words(40), {1, 19, 3, 62}},          // not above row 1
      {25, Words(40), {22, 19, 24, 62}},
      {24, Words(300), {19, 3, 25, 77}},       // five lines
      {25, Words(300), {19, 3, 25, 77}},       // pushed up from below the last row
  };
  for (const Case& t : cases) {
    ScreenState s;
    ASSERT_TRUE(MessageBox(env, session, s, t.row, t.text)) << "row " << t.row << " \"" << t.text << "\"";
    EXPECT_TRUE(SameRect(s.window, t.want))
        << "row " << t.row << " \"" << t.text << "\": got " << s.window.top << "," << s.window.left << ","
        << s.window.bottom << "," << s.window.right;
    PopWindow(env, session, s);
  }
}

TEST_F(MessageBoxTest, LinesAreWrittenWithoutTheirPadding) {
  const std::string text = Words(100);
  ASSERT_TRUE(MessageBox(env, session, state, 12, text));
  // The first line breaks after the blank at 72 and shows 71 characters;
  // the second holds the other 28. The box spans columns 3 to 77.
  EXPECT_EQ(console.RowText(10), "  \xB3 " + text.substr(0, 71) + " \xB3   ");
  EXPECT_EQ(console.RowText(11), "  \xB3 " + text.substr(72) + std::string(44, ' ') + "\xB3   ");
}

TEST_F(MessageBoxTest, ABoxThatCannotBePlacedShowsNothingAndPushesNothing) {
  struct Case {
    const char* label;
    int rows, columns;
    std::string text;
  };
  const Case cases[] = {
      {"too many lines for 5 rows", 5, 80, Words(300)},
      {"too narrow a screen", 25, 40, Words(60)},
  };
  for (const Case& t : cases) {
    platform::MemoryConsole small(t.rows, t.columns);
    env.console = &small;
    small.SetColours(2, 0);
    const std::string before = small.Dump();
    ScreenState s;
    EXPECT_FALSE(MessageBox(env, session, s, 12, t.text)) << t.label;
    EXPECT_EQ(small.Dump(), before) << t.label;
    EXPECT_EQ(s.window_depth, 0) << t.label;
    EXPECT_FALSE(StackExists()) << t.label;
    EXPECT_TRUE(s.colour_stack.empty()) << t.label << ": the saved colours are restored";
    EXPECT_EQ(small.CurrentAttribute(), 15) << t.label;
  }
}

TEST_F(MessageBoxTest, PoppingTheBoxRestoresTheScreenUnderIt) {
  PaintPattern();
  console.MoveCursor(2, 2);
  const std::string before = console.Dump();
  ASSERT_TRUE(MessageBox(env, session, state, 12, "FITXER"));
  EXPECT_NE(console.Dump(), before);
  PopWindow(env, session, state);
  EXPECT_EQ(console.Dump(), before);
  EXPECT_EQ(console.CursorRow(), 2);
  EXPECT_EQ(console.CursorColumn(), 2);
  EXPECT_FALSE(StackExists());
}

}  // namespace
}  // namespace zov::screen
