// The text console: cursor, colours, cells, beep and key polling. Positions
// are 1-based; a cell is a code page 850 character byte and an attribute byte
// (foreground + 16 * background). Implementations: the terminal one
// (terminal_console.h) and an in-memory one for tests (testing/).
#ifndef ZOV_PLATFORM_CONSOLE_H_
#define ZOV_PLATFORM_CONSOLE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zov::platform {

struct Cell {
  uint8_t character = ' ';
  uint8_t attribute = 0x07;
};

class Console {
 public:
  virtual ~Console() = default;
  virtual void HideCursor() = 0;
  virtual void ShowCursor() = 0;
  // A row or column outside the screen leaves that coordinate unchanged.
  virtual void MoveCursor(int row, int column) = 0;
  virtual int CursorRow() = 0;
  virtual int CursorColumn() = 0;
  virtual int ScreenRows() = 0;
  virtual int ScreenColumns() = 0;
  // A value of 16 or more leaves that colour unchanged.
  virtual void SetColours(int foreground, int background) = 0;
  // Writes code page 850 bytes at the cursor and moves the cursor past them.
  // Every byte takes one cell (control bytes show as glyphs); the text wraps
  // at the right edge, and what falls beyond the last cell is dropped.
  virtual void WriteText(std::string_view text) = 0;
  // A count below 1 writes nothing.
  virtual void WriteBlanks(int count) = 0;
  // What the program last wrote there (a blank light-grey cell when nothing
  // was, or when the position lies outside the screen).
  virtual Cell ReadCell(int row, int column) = 0;
  virtual void Beep() = 0;
  // The next waiting key (one byte, two for extended keys), or "" when none
  // is waiting. Never waits.
  virtual std::string PollKey() = 0;
  // Whether waiting for a key can end: false without an interactive
  // terminal (standard input or output not a terminal, or input at its end),
  // where a wait would hang for ever.
  virtual bool CanWaitForKey() = 0;
  // Puts the terminal back as it was found (cursor shown, modes reset).
  // Safe to call more than once; drawing afterwards takes the screen again.
  virtual void Restore() = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CONSOLE_H_
