// What the terminal console sends to a real terminal and reads from it, on a
// pseudo-terminal; and that it sends nothing when its output is not one.
#include "platform/terminal_console.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gtest/gtest.h"
#include "tests/platform/pty_helpers.h"

namespace zov::platform {
namespace {

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\x1b') {
      out += "\\e";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\x" + std::to_string(static_cast<unsigned char>(c));
    } else {
      out += c;
    }
  }
  return out;
}

TEST(TerminalConsole, WritesNothingWhenOutputIsNotATerminal) {
  int out[2], in[2];
  ASSERT_EQ(::pipe(out), 0);
  ASSERT_EQ(::pipe(in), 0);
  {
    std::unique_ptr<Console> console = NewTerminalConsoleOn(in[0], out[1]);
    console->HideCursor();
    console->SetColours(14, 1);
    console->MoveCursor(5, 5);
    console->WriteText("P\xE3T \xDA\xC4\xBF");
    console->WriteBlanks(3);
    console->Beep();
    EXPECT_EQ(console->PollKey(), "");
    EXPECT_FALSE(console->CanWaitForKey());
    EXPECT_EQ(console->ReadCell(5, 6).character, 0xE3) << "the cells are kept without a terminal";
    EXPECT_EQ(console->ReadCell(5, 6).attribute, 0x1E);
    console->Restore();
  }
  ::close(out[1]);
  char byte;
  EXPECT_EQ(::read(out[0], &byte, 1), 0) << "standard output must stay clean";
  ::close(out[0]);
  ::close(in[0]);
  ::close(in[1]);
}

TEST(TerminalConsole, DrawsOnTheAlternateScreenInUtf8) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  console->HideCursor();
  EXPECT_EQ(pty.ReadOutput(), "\x1b[?25l");

  console->SetColours(14, 1);
  console->MoveCursor(3, 5);
  console->WriteText("\xDA\xC4\xBF P\xE3T FICH\xD4R");
  std::string out = pty.ReadOutput();
  EXPECT_TRUE(Contains(out, "\x1b[?1049h")) << Printable(out);
  EXPECT_TRUE(Contains(out, "\x1b[2J")) << Printable(out);
  EXPECT_TRUE(Contains(out, "\x1b[3;5H\x1b[93;44m\u250C\u2500\u2510 P\u00D2T FICH\u00C8R")) << Printable(out);
  EXPECT_TRUE(pty.SlaveIsRaw()) << "keys typed while the screen is drawn must not echo";

  console->Restore();
  out = pty.ReadOutput();
  EXPECT_TRUE(Contains(out, "\x1b[?1049l")) << Printable(out);
  EXPECT_TRUE(Contains(out, "\x1b[?25h")) << Printable(out);
  EXPECT_FALSE(pty.SlaveIsRaw());

  console->Restore();
  EXPECT_EQ(pty.ReadOutput(), "") << "a second restore has nothing to undo";
}

TEST(TerminalConsole, ConsoleColoursMapToAnsiColours) {
  // Console order: black, blue, green, cyan, red, magenta, brown, light grey,
  // then the bright forms; ANSI order: black, red, green, yellow, blue,
  // magenta, cyan, white.
  const int want_foreground[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  console->MoveCursor(1, 1);
  console->WriteText(" ");
  pty.ReadOutput();
  for (int colour = 0; colour < 16; ++colour) {
    int background = 15 - colour;
    console->SetColours(colour, background);
    console->MoveCursor(2, 1 + colour);
    console->WriteText("x");
    std::string out = pty.ReadOutput();
    std::string want = "\x1b[" + std::to_string(want_foreground[colour]) + ";" +
                       std::to_string(want_foreground[background] + 10) + "mx";
    EXPECT_TRUE(Contains(out, want)) << "colours " << colour << " on " << background << ": " << Printable(out);
  }
}

TEST(TerminalConsole, ControlBytesShowAsGlyphsNeverAsTerminalControls) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  console->MoveCursor(1, 1);
  console->WriteText(" ");
  pty.ReadOutput();
  console->MoveCursor(4, 1);
  console->WriteText(std::string("\x1b]0;t\x07\x00\x7F", 8));
  std::string out = pty.ReadOutput();
  EXPECT_TRUE(Contains(out, "\u2190]0;t\u2022 \u2302")) << Printable(out);
  EXPECT_FALSE(Contains(out, "\x1b]")) << Printable(out);
  EXPECT_FALSE(Contains(out, "\x07")) << Printable(out);
}

TEST(TerminalConsole, DrawingAfterRestoreTakesTheScreenAgainWithItsCells) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  console->MoveCursor(2, 2);
  console->WriteText("AB");
  console->Restore();
  pty.ReadOutput();
  console->MoveCursor(5, 5);
  console->WriteText("C");
  std::string out = pty.ReadOutput();
  EXPECT_TRUE(Contains(out, "\x1b[?1049h")) << Printable(out);
  EXPECT_TRUE(Contains(out, "\x1b[2;2HAB")) << Printable(out);
  EXPECT_TRUE(Contains(out, "\x1b[5;5HC")) << Printable(out);
}

TEST(TerminalConsole, VisibleCursorIsLeftWhereTheConsoleCursorIs) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  console->MoveCursor(3, 3);
  console->WriteText("ab");
  pty.ReadOutput();
  console->MoveCursor(7, 9);
  EXPECT_EQ(pty.ReadOutput(), "\x1b[7;9H");
}

TEST(TerminalConsole, SizeComesFromTheTerminalAtMost99) {
  struct Case {
    int rows, columns, want_rows, want_columns;
  };
  const Case cases[] = {{24, 80, 24, 80}, {30, 120, 30, 99}, {120, 40, 99, 40}, {99, 99, 99, 99}, {1, 1, 1, 1}};
  for (const Case& t : cases) {
    Pty pty(t.rows, t.columns);
    ASSERT_TRUE(pty.ok());
    std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
    EXPECT_EQ(console->ScreenRows(), t.want_rows) << t.rows << "x" << t.columns;
    EXPECT_EQ(console->ScreenColumns(), t.want_columns) << t.rows << "x" << t.columns;
  }
  int p[2];
  ASSERT_EQ(::pipe(p), 0);
  std::unique_ptr<Console> console = NewTerminalConsoleOn(p[0], p[1]);
  EXPECT_EQ(console->ScreenRows(), 25) << "unknown size";
  EXPECT_EQ(console->ScreenColumns(), 80) << "unknown size";
  console.reset();
  ::close(p[0]);
  ::close(p[1]);
}

TEST(TerminalConsole, KeysArriveOneAtATimeWithExtendedKeysAsZeroAndScanCode) {
  struct Case {
    std::string typed;
    std::string want;
  };
  const Case cases[] = {
      {"a", "a"},
      {"\r", "\r"},
      {"\x1b[A", std::string("\0H", 2)},
      {"\x1b[1;5D", std::string("\0K", 2)},
      {"\x1bOP", std::string("\0;", 2)},
      {"\x1b[5~", std::string("\0I", 2)},
      {"\x1b[24~", std::string("\0\x86", 2)},
      {"\x1b[99~", std::string("\0\0", 2)},
      {"\xC3\xA7", "\x87"},
      {"\xE2\x82\xAC", "?"},
      {"\x7F", "\x08"},
      {"\x1b", "\x1b"},
  };
  Pty pty;
  ASSERT_TRUE(pty.ok());
  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  EXPECT_EQ(console->PollKey(), "") << "nothing typed yet";
  for (const Case& t : cases) {
    pty.Type(t.typed);
    EXPECT_EQ(console->PollKey(), t.want) << Printable(t.typed);
    EXPECT_EQ(console->PollKey(), "") << "after " << Printable(t.typed);
  }
  pty.Type("xy");
  EXPECT_EQ(console->PollKey(), "x");
  EXPECT_EQ(console->PollKey(), "y");
  EXPECT_EQ(pty.ReadOutput(), "") << "typed keys are not echoed";
}

TEST(TerminalConsole, WaitingForAKeyNeedsATerminalOnBothSides) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  int p[2];
  ASSERT_EQ(::pipe(p), 0);
  EXPECT_TRUE(NewTerminalConsoleOn(pty.slave(), pty.slave())->CanWaitForKey());
  EXPECT_FALSE(NewTerminalConsoleOn(p[0], pty.slave())->CanWaitForKey()) << "input not a terminal";
  EXPECT_FALSE(NewTerminalConsoleOn(pty.slave(), p[1])->CanWaitForKey()) << "output not a terminal";
  ::close(p[0]);
  ::close(p[1]);

  std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
  pty.CloseMaster();
  EXPECT_EQ(console->PollKey(), "");
  EXPECT_FALSE(console->CanWaitForKey()) << "a terminal that has hung up sends no more keys";
}

// Runs `body` in a child process on the pseudo-terminal; returns its wait status.
template <typename Body>
int RunChild(Body body) {
  std::fflush(nullptr);  // the child must not repeat the parent's buffered output
  pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(99);  // not reached when body ends the process itself
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(TerminalConsole, AFatalSignalStillRestoresTheTerminal) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  int status = RunChild([&] {
    std::unique_ptr<Console> console = NewTerminalConsoleOn(pty.slave(), pty.slave());
    console->HideCursor();
    console->MoveCursor(2, 2);
    console->WriteText("X");
    ::raise(SIGTERM);
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM) << "the signal still ends the process";
  std::string out = pty.ReadOutput();
  std::size_t drawn = out.find("X");
  ASSERT_NE(drawn, std::string::npos) << Printable(out);
  EXPECT_NE(out.find("\x1b[?1049l", drawn), std::string::npos) << Printable(out);
  EXPECT_NE(out.find("\x1b[?25h", drawn), std::string::npos) << Printable(out);
  EXPECT_FALSE(pty.SlaveIsRaw());
}

TEST(TerminalConsole, ExitWithoutRestoreStillRestoresTheTerminal) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  RunChild([&] {
    // Kept reachable so that the leak checker does not object.
    static Console* console = nullptr;
    console = NewTerminalConsoleOn(pty.slave(), pty.slave()).release();
    console->HideCursor();
    console->WriteText("Y");
    std::exit(0);
  });
  std::string out = pty.ReadOutput();
  std::size_t drawn = out.find("Y");
  ASSERT_NE(drawn, std::string::npos) << Printable(out);
  EXPECT_NE(out.find("\x1b[?1049l", drawn), std::string::npos) << Printable(out);
  EXPECT_NE(out.find("\x1b[?25h", drawn), std::string::npos) << Printable(out);
  EXPECT_FALSE(pty.SlaveIsRaw());
}

}  // namespace
}  // namespace zov::platform
