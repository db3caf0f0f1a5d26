// Placeholder until the terminal console lands: keeps the cells in memory
// and never has a key.
#include "platform/terminal_console.h"

#include <vector>

namespace zov::platform {
namespace {

class HeadlessConsole : public Console {
 public:
  HeadlessConsole() : cells_(25 * 80) {}
  void HideCursor() override {}
  void ShowCursor() override {}
  void MoveCursor(int row, int column) override {
    if (row >= 1 && row <= 25) row_ = row;
    if (column >= 1 && column <= 80) column_ = column;
  }
  int CursorRow() override { return row_; }
  int CursorColumn() override { return column_; }
  int ScreenRows() override { return 25; }
  int ScreenColumns() override { return 80; }
  void SetColours(int fg, int bg) override {
    if (fg < 16) fg_ = fg;
    if (bg < 16) bg_ = bg;
  }
  void WriteText(std::string_view text) override {
    for (char c : text) Put(static_cast<uint8_t>(c));
  }
  void WriteBlanks(int count) override {
    for (int i = 0; i < count; ++i) Put(' ');
  }
  Cell ReadCell(int row, int column) override {
    if (row < 1 || row > 25 || column < 1 || column > 80) return Cell{};
    return cells_[static_cast<std::size_t>((row - 1) * 80 + column - 1)];
  }
  void Beep() override {}
  std::string PollKey() override { return std::string(); }
  bool CanWaitForKey() override { return false; }
  void Restore() override {}

 private:
  void Put(uint8_t c) {
    if (row_ <= 25 && column_ <= 80) {
      cells_[static_cast<std::size_t>((row_ - 1) * 80 + column_ - 1)] =
          Cell{c, static_cast<uint8_t>(fg_ + 16 * bg_)};
    }
    ++column_;
  }
  std::vector<Cell> cells_;
  int row_ = 1, column_ = 1, fg_ = 7, bg_ = 0;
};

}  // namespace

std::unique_ptr<Console> NewTerminalConsole() { return std::make_unique<HeadlessConsole>(); }

}  // namespace zov::platform
