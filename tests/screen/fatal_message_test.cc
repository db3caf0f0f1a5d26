#include <string>

#include "gtest/gtest.h"
#include "screen/message_box.h"
#include "screen/window_stack.h"
#include "tests/screen/screen_fixture.h"

namespace zov::screen {
namespace {

using FatalMessageTest = ScreenTest;

const char kMessage[] = "NO ES POT ACCEDIR AL FITXER DADES\\VCobros (94)";

TEST_F(FatalMessageTest, ShowsTheBoxUntilAFreshKeyThenPutsTheScreenBack) {
  PaintPattern();
  console.MoveCursor(4, 4);
  const std::string before = Cells();
  // Two keys typed ahead, then nothing for two polls, then the answer.
  console.ScriptKeys({"a", "b", "", "", "", "x", "y"});

  ShowFatalMessage(env, session, state, kMessage);

  const std::string& seen = console.screen_at_last_key();
  EXPECT_NE(seen.find(kMessage), std::string::npos) << "the box is on the screen while the key is awaited";
  EXPECT_EQ(console.keys_left(), 1u) << "typed-ahead keys are discarded, then one key is awaited";
  EXPECT_EQ(clock.sleeps, (std::vector<int32_t>{20, 20})) << "the wait pauses between polls";
  EXPECT_EQ(console.beeps(), 1);
  EXPECT_EQ(Cells(), before);
  EXPECT_EQ(console.CursorRow(), 4);
  EXPECT_EQ(console.CursorColumn(), 4);
  EXPECT_EQ(state.window_depth, 0);
  EXPECT_FALSE(StackExists());
  EXPECT_EQ(console.restores(), 1) << "the terminal is restored";
  EXPECT_EQ(errors.lines, (std::vector<std::string>{kMessage}));
}

TEST_F(FatalMessageTest, WithoutATerminalTheMessageIsShownAndTheWaitSkipped) {
  PaintPattern();
  const std::string before = Cells();
  console.SetInteractive(false);

  ShowFatalMessage(env, session, state, kMessage);

  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(Cells(), before);
  EXPECT_FALSE(StackExists());
  EXPECT_EQ(console.restores(), 1);
  EXPECT_EQ(errors.lines, (std::vector<std::string>{kMessage}));
}

// The line is code page 850, as every text inside: the error output
// converts it at its own edge, so nothing here may convert it first.
TEST_F(FatalMessageTest, StandardErrorGetsTheTextUnconverted) {
  const std::string text = "NON SE P\xE3T ACCEDIR ATH FICH\xD4R DADES\\VCobros (94)";
  console.SetInteractive(false);
  ShowFatalMessage(env, session, state, text, "DADES\\VCobros: bloquejat");
  EXPECT_EQ(errors.lines, (std::vector<std::string>{text + ": DADES\\VCobros: bloquejat"}));
}

TEST_F(FatalMessageTest, ABoxThatCannotBeShownDoesNotTakeAnotherWindowOff) {
  platform::MemoryConsole small(5, 80);
  env.console = &small;
  ASSERT_TRUE(PushWindow(env, session, state, 1, 1, 2, 10));
  small.MoveCursor(1, 1);
  small.WriteText("THEIR BOX");
  const std::string before = small.Dump();
  const std::string stack = StackBytes();
  small.ScriptKeys({"", "x"});

  ShowFatalMessage(env, session, state, std::string(400, 'w') + " " + kMessage);

  EXPECT_EQ(small.Dump(), before);
  EXPECT_EQ(state.window_depth, 1);
  EXPECT_TRUE(SameRect(state.window, WindowRect{1, 1, 2, 10}));
  EXPECT_EQ(StackBytes(), stack);
  EXPECT_TRUE(clock.sleeps.empty()) << "no key is awaited for a box nobody sees";
  ASSERT_EQ(errors.lines.size(), 1u) << "the message still reaches standard error";
}

TEST_F(FatalMessageTest, AConsoleThatNeverRunsDryStillGetsAnAnswer) {
  console.ScriptKeys(std::vector<std::string>(10005, "k"));
  ShowFatalMessage(env, session, state, kMessage);
  EXPECT_EQ(console.keys_left(), 4u);
  EXPECT_FALSE(StackExists());
}

}  // namespace
}  // namespace zov::screen
