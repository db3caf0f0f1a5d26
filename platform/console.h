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
  virtual void WriteText(std::string_view text) = 0;
  virtual void WriteBlanks(int count) = 0;
  virtual Cell ReadCell(int row, int column) = 0;
  virtual void Beep() = 0;
  // The next waiting key (one byte, two for extended keys), or "" when none
  // is waiting. Never waits.
  virtual std::string PollKey() = 0;
  // Whether a key can ever arrive (false without an interactive terminal).
  virtual bool CanWaitForKey() = 0;
  // Puts the terminal back as it was found (cursor shown, modes reset).
  virtual void Restore() = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CONSOLE_H_
