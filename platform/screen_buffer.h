// The cells, cursor and colours of a console screen as the program drew
// them. Every Console keeps one, so ReadCell answers what was written
// whether or not a real terminal shows it.
//
// Writing wraps at the right edge to the next row; a character that would
// fall beyond the last cell is dropped and the cursor stays on that cell.
#ifndef ZOV_PLATFORM_SCREEN_BUFFER_H_
#define ZOV_PLATFORM_SCREEN_BUFFER_H_

#include <cstdint>
#include <vector>

#include "platform/console.h"

namespace zov::platform {

class ScreenBuffer {
 public:
  // Sizes below 1 are taken as 1. Every cell starts as a blank in light grey
  // on black, the cursor at row 1, column 1.
  ScreenBuffer(int rows, int columns);

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  int row() const { return row_; }
  int column() const { return column_; }
  uint8_t attribute() const { return static_cast<uint8_t>(foreground_ + 16 * background_); }

  // A coordinate outside the screen leaves that coordinate unchanged.
  void MoveCursor(int row, int column);
  // A colour outside 0-15 leaves that colour unchanged.
  void SetColours(int foreground, int background);
  // Stores c at the cursor in the current colours and moves the cursor on.
  // Returns false when the character fell beyond the last cell; otherwise
  // *row and *column receive where it was stored.
  bool Put(uint8_t c, int* row, int* column);
  // The cell at a position; a blank light-grey cell outside the screen.
  Cell At(int row, int column) const;

 private:
  int rows_;
  int columns_;
  std::vector<Cell> cells_;
  int row_ = 1;
  int column_ = 1;
  int foreground_ = 7;
  int background_ = 0;
  bool past_end_ = false;  // the last cell has been written; later ones drop
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_SCREEN_BUFFER_H_
