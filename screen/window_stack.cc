#include "screen/window_stack.h"

#include <algorithm>
#include <memory>
#include <string>

#include "platform/coding.h"
#include "screen/window_stack_format.h"

namespace zov::screen {
namespace {

std::string StackPath(const session::Session& session) { return session.temp_dir + kWindowStackFileName; }

// The last `width` decimal digits of a non-negative value, zero-padded (a
// coordinate above 99 keeps its last two digits, as the layout allows).
std::string Digits(int value, std::size_t width) {
  std::string text(width, '0');
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  for (std::size_t i = width; i-- > 0;) {
    text[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return text;
}

bool ParseDigits(std::string_view text, int* value) {
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return !text.empty();
}

std::string EncodePosition(int32_t position) {
  static_assert(kStackHeaderSize == 4, "the position is a 32-bit integer");
  std::string bytes(kStackHeaderSize, '\0');
  platform::EncodeFixed32(bytes.data(), static_cast<uint32_t>(position));
  return bytes;
}

int64_t DecodePosition(std::string_view bytes) {
  return static_cast<int32_t>(platform::DecodeFixed32(bytes.data()));
}

// The stored next-record position, when it can be one for a file of `size`
// bytes (a record may start anywhere from just after the header up to the
// end of the file); false for a short or damaged header.
bool ReadPosition(platform::ByteFile& file, uint64_t size, int64_t* position) {
  std::string header;
  if (size < kStackHeaderSize || !file.Read(0, kStackHeaderSize, &header).ok() || header.size() != kStackHeaderSize) {
    return false;
  }
  int64_t p = DecodePosition(header);
  if (p < kEmptyStackPosition || p > static_cast<int64_t>(size) + 1) return false;
  *position = p;
  return true;
}

bool OnScreen(platform::Console& console, const WindowRect& w) {
  int rows = console.ScreenRows(), columns = console.ScreenColumns();
  return w.top >= 1 && w.bottom <= rows && w.top <= w.bottom && w.left >= 1 && w.right <= columns &&
         w.left <= w.right;
}

// One record as read back from the file.
struct SavedWindow {
  int cursor_row = 0;
  int cursor_column = 0;
  WindowRect enclosing;
  WindowRect saved;
  std::string_view cells;  // character, attribute, row by row
};

bool ParseRecord(std::string_view record, SavedWindow* out) {
  int fields[10];
  for (std::size_t i = 0; i < 10; ++i) {
    if (!ParseDigits(record.substr(i * kCoordinateWidth, kCoordinateWidth), &fields[i])) return false;
  }
  auto rect = [&](int first) {
    return WindowRect{static_cast<int16_t>(fields[first]), static_cast<int16_t>(fields[first + 1]),
                      static_cast<int16_t>(fields[first + 2]), static_cast<int16_t>(fields[first + 3])};
  };
  out->cursor_row = fields[0];
  out->cursor_column = fields[1];
  out->enclosing = rect(2);
  out->saved = rect(6);
  const WindowRect& s = out->saved;
  if (s.top < 1 || s.left < 1 || s.top > s.bottom || s.left > s.right) return false;
  std::size_t cells = static_cast<std::size_t>(s.bottom - s.top + 1) * static_cast<std::size_t>(s.right - s.left + 1);
  if (record.size() != kRecordMinimumSize + kBytesPerCell * cells) return false;
  out->cells = record.substr(kRecordFixedSize, kBytesPerCell * cells);
  return true;
}

// Paints the saved cells back, each row in runs of one attribute; cells that
// fall outside this screen are skipped.
void PaintCells(platform::Console& console, const SavedWindow& w) {
  int rows = console.ScreenRows(), columns = console.ScreenColumns();
  std::size_t i = 0;
  int last_attribute = -1;
  for (int r = w.saved.top; r <= w.saved.bottom; ++r) {
    int c = w.saved.left;
    while (c <= w.saved.right) {
      uint8_t attribute = static_cast<uint8_t>(w.cells[i + 1]);
      int run_column = c;
      std::string run;
      while (c <= w.saved.right && static_cast<uint8_t>(w.cells[i + 1]) == attribute) {
        if (r <= rows && c <= columns) run += w.cells[i];
        i += kBytesPerCell;
        ++c;
      }
      last_attribute = attribute;
      if (run.empty()) continue;
      console.MoveCursor(r, run_column);
      console.SetColours(attribute % 16, attribute / 16);
      console.WriteText(run);
    }
  }
  if (last_attribute >= 0) console.SetColours(last_attribute % 16, last_attribute / 16);
}

}  // namespace

bool PushWindow(platform::Env& env, const session::Session& session, ScreenState& state, int16_t top,
                int16_t left, int16_t bottom, int16_t right) {
  platform::Console& console = *env.console;
  WindowRect rect{top, left, bottom, right};
  if (!OnScreen(console, rect)) return false;

  std::string path = StackPath(session);
  std::unique_ptr<platform::ByteFile> file;
  if (!env.fs->OpenByteFile(path, platform::OpenMode::kReadWriteCreate, &file).ok()) return false;
  uint64_t size = 0;
  if (!file->Size(&size).ok()) {
    file->Close().IgnoreError();
    return false;
  }
  // A damaged header cannot say where the stack ends: start it again.
  int64_t position = kEmptyStackPosition;
  if (size > kStackHeaderSize - 1 && !ReadPosition(*file, size, &position)) position = kEmptyStackPosition;

  std::string record;
  record += Digits(console.CursorRow(), kCoordinateWidth);
  record += Digits(console.CursorColumn(), kCoordinateWidth);
  for (const WindowRect& w : {state.window, rect}) {
    record += Digits(w.top, kCoordinateWidth);
    record += Digits(w.left, kCoordinateWidth);
    record += Digits(w.bottom, kCoordinateWidth);
    record += Digits(w.right, kCoordinateWidth);
  }
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      platform::Cell cell = console.ReadCell(r, c);
      record += static_cast<char>(cell.character);
      record += static_cast<char>(cell.attribute);
    }
  }
  record += Digits(static_cast<int>(record.size() + kRecordLengthWidth), kRecordLengthWidth);

  // The record first, then the header that makes it part of the stack: a
  // failure between the two leaves the stack as it was.
  int64_t end = position + static_cast<int64_t>(record.size());
  bool written = file->Write(static_cast<uint64_t>(position - 1), record).ok() &&
                 file->Write(0, EncodePosition(static_cast<int32_t>(end))).ok();
  bool closed = file->Close().ok();
  if (!written || !closed) {
    if (size == 0) env.fs->DeleteFile(path).IgnoreError();
    return false;
  }
  state.window = rect;
  ++state.window_depth;
  return true;
}

void PopWindow(platform::Env& env, const session::Session& session, ScreenState& state) {
  platform::Console& console = *env.console;
  std::string path = StackPath(session);
  std::unique_ptr<platform::ByteFile> file;
  if (!env.fs->OpenByteFile(path, platform::OpenMode::kReadWriteCreate, &file).ok()) return;

  auto discard = [&] {
    file->Close().IgnoreError();
    env.fs->DeleteFile(path).IgnoreError();
  };
  uint64_t size = 0;
  int64_t end = 0;
  if (!file->Size(&size).ok() || size < kStackHeaderSize || !ReadPosition(*file, size, &end) ||
      end < kEmptyStackPosition + static_cast<int64_t>(kRecordMinimumSize)) {
    discard();
    return;
  }
  std::string length_digits;
  int length = 0;
  if (!file->Read(static_cast<uint64_t>(end - 1) - kRecordLengthWidth, kRecordLengthWidth, &length_digits).ok() ||
      !ParseDigits(length_digits, &length) || length < static_cast<int>(kRecordMinimumSize) ||
      end - length < kEmptyStackPosition) {
    discard();
    return;
  }
  int64_t start = end - length;
  std::string record;
  SavedWindow saved;
  if (!file->Read(static_cast<uint64_t>(start - 1), static_cast<std::size_t>(length), &record).ok() ||
      record.size() != static_cast<std::size_t>(length) || !ParseRecord(record, &saved)) {
    discard();
    return;
  }

  state.window = saved.enclosing;
  if (state.window_depth > 0) --state.window_depth;
  PaintCells(console, saved);
  console.MoveCursor(saved.cursor_row, saved.cursor_column);

  bool written = file->Write(0, EncodePosition(static_cast<int32_t>(start))).ok();
  file->Close().IgnoreError();
  if (written && start == kEmptyStackPosition) env.fs->DeleteFile(path).IgnoreError();
}

void WindowLocate(platform::Console& console, const ScreenState& state, int16_t row, int16_t column) {
  if (state.window_depth > 0) {
    console.MoveCursor(row + state.window.top, column + state.window.left);
  } else {
    console.MoveCursor(row, column);
  }
}

void DrawFrame(platform::Console& console, const ScreenState& state, int16_t style) {
  if (state.window_depth <= 0 || !OnScreen(console, state.window)) return;
  // Code page 850 line-drawing characters: corners top-left, top-right,
  // bottom-left, bottom-right, then horizontal and vertical.
  struct Pieces {
    char top_left, top_right, bottom_left, bottom_right, horizontal, vertical;
  };
  static constexpr Pieces kBlank{' ', ' ', ' ', ' ', ' ', ' '};
  static constexpr Pieces kSingle{'\xDA', '\xBF', '\xC0', '\xD9', '\xC4', '\xB3'};  // ┌ ┐ └ ┘ ─ │
  static constexpr Pieces kDouble{'\xC9', '\xBB', '\xC8', '\xBC', '\xCD', '\xBA'};  // ╔ ╗ ╚ ╝ ═ ║
  const Pieces& p = style == 1 ? kSingle : style == 2 ? kDouble : kBlank;

  const WindowRect& w = state.window;
  int inside = std::max(w.right - w.left - 1, 0);
  // Each corner and side is placed at its own column, so a window one column
  // wide never spills past its right side.
  auto edge = [&](int row, char first, char last) {
    console.MoveCursor(row, w.left);
    console.WriteText(std::string(1, first) + std::string(static_cast<std::size_t>(inside), p.horizontal));
    console.MoveCursor(row, w.right);
    console.WriteText(std::string(1, last));
  };
  edge(w.top, p.top_left, p.top_right);
  for (int r = w.top + 1; r <= w.bottom - 1; ++r) {
    console.MoveCursor(r, w.left);
    console.WriteText(std::string(1, p.vertical));
    console.WriteBlanks(inside);
    console.MoveCursor(r, w.right);
    console.WriteText(std::string(1, p.vertical));
  }
  edge(w.bottom, p.bottom_left, p.bottom_right);
}

}  // namespace zov::screen
