#include "platform/screen_buffer.h"

#include <algorithm>

namespace zov::platform {

ScreenBuffer::ScreenBuffer(int rows, int columns)
    : rows_(std::max(rows, 1)),
      columns_(std::max(columns, 1)),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)) {}

void ScreenBuffer::MoveCursor(int row, int column) {
  if (row >= 1 && row <= rows_) row_ = row;
  if (column >= 1 && column <= columns_) column_ = column;
  past_end_ = false;
}

void ScreenBuffer::SetColours(int foreground, int background) {
  if (foreground >= 0 && foreground < 16) foreground_ = foreground;
  if (background >= 0 && background < 16) background_ = background;
}

bool ScreenBuffer::Put(uint8_t c, int* row, int* column) {
  if (past_end_) return false;
  cells_[static_cast<std::size_t>(row_ - 1) * static_cast<std::size_t>(columns_) +
         static_cast<std::size_t>(column_ - 1)] = Cell{c, attribute()};
  *row = row_;
  *column = column_;
  if (column_ < columns_) {
    ++column_;
  } else if (row_ < rows_) {
    column_ = 1;
    ++row_;
  } else {
    past_end_ = true;
  }
  return true;
}

Cell ScreenBuffer::At(int row, int column) const {
  if (row < 1 || row > rows_ || column < 1 || column > columns_) return Cell{};
  return cells_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
                static_cast<std::size_t>(column - 1)];
}

}  // namespace zov::platform
