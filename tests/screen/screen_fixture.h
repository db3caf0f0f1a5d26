// A run's screen over the in-memory console, with the stack file in a fresh
// temporary directory.
#ifndef ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_
#define ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/env.h"
#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/memory_console.h"
#include "platform/testing/temp_dir.h"
#include "screen/screen_state.h"
#include "session/session.h"

namespace zov::screen {

class ScreenTest : public testing::Test {
 protected:
  explicit ScreenTest(int rows = 25, int columns = 80) : console(rows, columns) {
    env.fs = fs.get();
    env.console = &console;
    env.clock = &clock;
    env.processes = &processes;
    session.temp_dir = dir.path();
    // Distinct colours per index, so a wrong index shows.
    session.colours = {session::ColourPair{15, 0}, session::ColourPair{7, 1}, session::ColourPair{0, 7},
                       session::ColourPair{14, 4}, session::ColourPair{12, 2}};
  }

  std::string StackPath() const { return dir.path() + "WinPush.tmp"; }
  bool StackExists() {
    std::string bytes;
    return fs->ReadFile(StackPath(), &bytes).ok();
  }
  std::string StackBytes() {
    std::string bytes;
    fs->ReadFile(StackPath(), &bytes).IgnoreError();
    return bytes;
  }
  void WriteStack(const std::string& bytes) { ASSERT_TRUE(fs->WriteFile(StackPath(), bytes).ok()); }

  // The character and attribute the pattern puts at a cell.
  static char PatternChar(int row, int column) { return static_cast<char>('A' + (row * 3 + column) % 26); }
  static uint8_t PatternAttribute(int row, int column) {
    return static_cast<uint8_t>((column % 16) + 16 * (row % 16));
  }
  // Fills the whole screen with the pattern, each cell in its own colours.
  void PaintPattern() {
    for (int r = 1; r <= console.ScreenRows(); ++r) {
      for (int c = 1; c <= console.ScreenColumns(); ++c) {
        uint8_t a = PatternAttribute(r, c);
        console.MoveCursor(r, c);
        console.SetColours(a % 16, a / 16);
        console.WriteText(std::string(1, PatternChar(r, c)));
      }
    }
  }
  // Every cell, character then attribute.
  std::string Cells() {
    std::string cells;
    for (int r = 1; r <= console.ScreenRows(); ++r) {
      for (int c = 1; c <= console.ScreenColumns(); ++c) {
        platform::Cell cell = console.ReadCell(r, c);
        cells += static_cast<char>(cell.character);
        cells += static_cast<char>(cell.attribute);
      }
    }
    return cells;
  }

  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::NewNativeFileSystem();
  platform::MemoryConsole console;
  platform::FakeClock clock;
  platform::FakeProcessRunner processes;
  platform::Env env;
  session::Session session;
  ScreenState state;
};

inline bool SameRect(const WindowRect& a, const WindowRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace zov::screen

#endif  // ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_
