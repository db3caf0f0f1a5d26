// Byte layout of the saved-window stack file, WinPush.tmp in the temporary
// directory. Other programs of the suite read and write the same file, so the
// layout is fixed.
//
// Offset 0, 4 bytes: 32-bit little-endian signed, the 1-based position at
// which the next record starts (5 when the stack is empty). Then the records,
// oldest first. A record is decimal digits, zero-padded:
//   cursor row 2, cursor column 2,
//   enclosing window top, left, bottom, right (2 each),
//   saved window top, left, bottom, right (2 each),
//   the saved cells row by row, left to right: character byte, attribute byte,
//   the record's whole length (5 digits).
#ifndef ZOV_SCREEN_WINDOW_STACK_FORMAT_H_
#define ZOV_SCREEN_WINDOW_STACK_FORMAT_H_

#include <cstddef>

namespace zov::screen {

inline constexpr char kWindowStackFileName[] = "WinPush.tmp";

inline constexpr std::size_t kStackHeaderSize = 4;
// The position stored in the header of an empty stack (1-based).
inline constexpr int kEmptyStackPosition = 5;

inline constexpr std::size_t kCoordinateWidth = 2;
// Cursor row and column, then eight window coordinates.
inline constexpr std::size_t kRecordFixedSize = 10 * kCoordinateWidth;
inline constexpr std::size_t kRecordLengthWidth = 5;
inline constexpr std::size_t kBytesPerCell = 2;
// A record without cells.
inline constexpr std::size_t kRecordMinimumSize = kRecordFixedSize + kRecordLengthWidth;

}  // namespace zov::screen

#endif  // ZOV_SCREEN_WINDOW_STACK_FORMAT_H_
