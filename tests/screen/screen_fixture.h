// A run's screen over the fake platform: the in-memory console, and the
// stack file in a directory of the in-memory file system.
#ifndef ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_
#define ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/testing/fake_env.h"
#include "screen/screen_state.h"
#include "session/session.h"

namespace zov::screen {

class ScreenTest : public testing::Test {
 protected:
  explicit ScreenTest(int rows = 25, int columns = 80) : console(rows, columns) {
    env.console = &console;
    session.temp_dir = fake.root();
    // Distinct colours per index, so a wrong index shows.
    session.colours = {session::ColourPair{15, 0}, session::ColourPair{7, 1}, session::ColourPair{0, 7},
                       session::ColourPair{14, 4}, session::ColourPair{12, 2}};
  }

  std::string StackPath() const { return fake.root() + "WinPush.tmp"; }
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

  platform::FakeEnv fake;
  platform::FileSystem* fs = &fake.base_fs();
  platform::MemoryConsole console;  // of the size the test asks for
  platform::FakeClock& clock = fake.clock;
  platform::FakeErrorOutput& errors = fake.errors;
  platform::Env& env = fake.env;
  session::Session session;
  ScreenState state;
};

inline bool SameRect(const WindowRect& a, const WindowRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace zov::screen

#endif  // ZOV_TESTS_SCREEN_SCREEN_FIXTURE_H_
