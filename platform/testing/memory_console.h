// A Console held in memory, for tests: the same cells and cursor rules as the
// terminal console (both keep a ScreenBuffer), scripted key presses, and the
// screen dumped as text.
//
//   MemoryConsole console;
//   console.ScriptKeys({"x", "", "\r"});   // "" = no key at that poll
//   ... run the code under test ...
//   EXPECT_EQ(console.RowText(10), "...");
#ifndef ZOV_PLATFORM_TESTING_MEMORY_CONSOLE_H_
#define ZOV_PLATFORM_TESTING_MEMORY_CONSOLE_H_

#include <deque>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/screen_buffer.h"

namespace zov::platform {

class MemoryConsole : public Console {
 public:
  explicit MemoryConsole(int rows = 25, int columns = 80) : buffer_(rows, columns) {}

  void HideCursor() override { cursor_visible_ = false; }
  void ShowCursor() override { cursor_visible_ = true; }
  void MoveCursor(int row, int column) override { buffer_.MoveCursor(row, column); }
  int CursorRow() override { return buffer_.row(); }
  int CursorColumn() override { return buffer_.column(); }
  int ScreenRows() override { return buffer_.rows(); }
  int ScreenColumns() override { return buffer_.columns(); }
  void SetColours(int foreground, int background) override { buffer_.SetColours(foreground, background); }
  void WriteText(std::string_view text) override;
  void WriteBlanks(int count) override;
  Cell ReadCell(int row, int column) override { return buffer_.At(row, column); }
  void Beep() override { ++beeps_; }
  // The next scripted entry; an empty entry stands for a poll that finds no
  // key. When the script is used up, no key is waiting.
  std::string PollKey() override;
  // True while the console is interactive and the script holds entries; a
  // used-up script is a terminal at its end.
  bool CanWaitForKey() override { return interactive_ && !keys_.empty(); }
  void Restore() override {
    ++restores_;
    cursor_visible_ = true;
  }

  // Test controls.
  void ScriptKeys(const std::vector<std::string>& keys) { keys_.insert(keys_.end(), keys.begin(), keys.end()); }
  void SetInteractive(bool interactive) { interactive_ = interactive; }

  // Observations.
  // One row's characters, exactly ScreenColumns() bytes.
  std::string RowText(int row) const;
  // Every row's characters, each followed by "\n".
  std::string Dump() const;
  // One row's attributes as two hexadecimal digits each ("07" for light
  // grey on black), separated by blanks.
  std::string RowAttributes(int row) const;
  uint8_t CurrentAttribute() const { return buffer_.attribute(); }
  int beeps() const { return beeps_; }
  int restores() const { return restores_; }
  bool cursor_visible() const { return cursor_visible_; }
  int polls() const { return polls_; }
  std::size_t keys_left() const { return keys_.size(); }
  // The screen as it stood when the last key (non-empty entry) was taken.
  const std::string& screen_at_last_key() const { return screen_at_last_key_; }

 private:
  ScreenBuffer buffer_;
  std::deque<std::string> keys_;
  bool interactive_ = true;
  bool cursor_visible_ = true;
  int beeps_ = 0;
  int restores_ = 0;
  int polls_ = 0;
  std::string screen_at_last_key_;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_MEMORY_CONSOLE_H_
