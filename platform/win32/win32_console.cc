#include "platform/win32/win32_console.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/screen_buffer.h"

namespace zov::platform {
namespace {

constexpr int kMaxSide = 99;
constexpr int kDefaultRows = 25;
constexpr int kDefaultColumns = 80;
constexpr WORD kDefaultAttribute = 0x07;

// The console glyph of every code page 850 byte, control bytes included
// (smileys, arrows, ...), as the console shows them.
std::wstring BuildGlyphs() {
  char bytes[256];
  for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
  std::wstring glyphs(256, L'?');
  ::MultiByteToWideChar(850, MB_USEGLYPHCHARS, bytes, 256, glyphs.data(), 256);
  glyphs[0] = L' ';
  return glyphs;
}

bool IsModifierKey(WORD virtual_key) {
  switch (virtual_key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
    case VK_LWIN: case VK_RWIN: case VK_APPS:
      return true;
    default:
      return false;
  }
}

class Win32Console : public Console {
 public:
  Win32Console(HANDLE input, HANDLE output) : input_(input), output_(output), buffer_(1, 1), glyphs_(BuildGlyphs()) {
    DWORD mode = 0;
    has_input_ = ::GetConsoleMode(input_, &mode) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    has_output_ = ::GetConsoleScreenBufferInfo(output_, &info) != 0;
    int rows = kDefaultRows, columns = kDefaultColumns;
    if (has_output_) {
      rows = std::min(info.srWindow.Bottom - info.srWindow.Top + 1, kMaxSide);
      columns = std::min(info.srWindow.Right - info.srWindow.Left + 1, kMaxSide);
      ::GetConsoleCursorInfo(output_, &cursor_found_);
    }
    buffer_ = ScreenBuffer(rows, columns);
  }
  ~Win32Console() override { Restore(); }

  void HideCursor() override { SetCursorVisible(false); }
  void ShowCursor() override { SetCursorVisible(true); }
  void MoveCursor(int row, int column) override {
    buffer_.MoveCursor(row, column);
    PlaceCursor();
  }
  int CursorRow() override { return buffer_.row(); }
  int CursorColumn() override { return buffer_.column(); }
  int ScreenRows() override { return buffer_.rows(); }
  int ScreenColumns() override { return buffer_.columns(); }
  void SetColours(int foreground, int background) override { buffer_.SetColours(foreground, background); }

  void WriteText(std::string_view text) override {
    TakeScreen();
    // Consecutive cells of one row go to the console in one call.
    std::wstring chars;
    std::vector<WORD> attributes;
    int run_row = 0, run_column = 0;
    auto flush = [&] {
      if (chars.empty()) return;
      DrawRun(run_row, run_column, chars, attributes);
      chars.clear();
      attributes.clear();
    };
    for (char c : text) {
      int row = 0, column = 0;
      const auto byte = static_cast<uint8_t>(c);
      if (!buffer_.Put(byte, &row, &column)) break;
      if (row != run_row || column != run_column + static_cast<int>(chars.size())) {
        flush();
        run_row = row;
        run_column = column;
      }
      chars += glyphs_[byte];
      attributes.push_back(buffer_.attribute());
    }
    flush();
    PlaceCursor();
  }

  void WriteBlanks(int count) override {
    if (count > 0) WriteText(std::string(static_cast<std::size_t>(count), ' '));
  }

  Cell ReadCell(int row, int column) override { return buffer_.At(row, column); }

  void Beep() override {
    if (has_output_) ::MessageBeep(MB_OK);
  }

  std::string PollKey() override {
    if (!has_input_) return std::string();
    for (;;) {
      DWORD waiting = 0;
      if (!::GetNumberOfConsoleInputEvents(input_, &waiting) || waiting == 0) return std::string();
      INPUT_RECORD event;
      DWORD read = 0;
      if (!::ReadConsoleInputW(input_, &event, 1, &read) || read == 0) return std::string();
      if (event.EventType != KEY_EVENT || !event.Event.KeyEvent.bKeyDown) continue;
      const KEY_EVENT_RECORD& key = event.Event.KeyEvent;
      if (IsModifierKey(key.wVirtualKeyCode)) continue;
      if (key.uChar.UnicodeChar != 0) {
        char byte = '?';
        ::WideCharToMultiByte(850, 0, &key.uChar.UnicodeChar, 1, &byte, 1, "?", nullptr);
        return std::string(1, byte);
      }
      // Extended keys: a zero byte, then the keyboard's scan code.
      return std::string{'\0', static_cast<char>(key.wVirtualScanCode & 0xFF)};
    }
  }

  bool CanWaitForKey() override { return has_input_ && has_output_; }

  void Restore() override {
    if (screen_ != INVALID_HANDLE_VALUE) {
      ::SetConsoleActiveScreenBuffer(output_);
      ::CloseHandle(screen_);
      screen_ = INVALID_HANDLE_VALUE;
    }
    if (cursor_changed_) {
      ::SetConsoleCursorInfo(output_, &cursor_found_);
      cursor_changed_ = false;
    }
  }

 private:
  // The buffer drawn on: the console's own until the first drawing.
  HANDLE Target() const { return screen_ != INVALID_HANDLE_VALUE ? screen_ : output_; }

  void TakeScreen() {
    if (!has_output_ || screen_ != INVALID_HANDLE_VALUE) return;
    HANDLE screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen == INVALID_HANDLE_VALUE) return;
    const COORD size{static_cast<SHORT>(buffer_.columns()), static_cast<SHORT>(buffer_.rows())};
    ::SetConsoleScreenBufferSize(screen, size);
    DWORD written = 0;
    ::FillConsoleOutputCharacterW(screen, L' ', static_cast<DWORD>(size.X * size.Y), COORD{0, 0}, &written);
    ::FillConsoleOutputAttribute(screen, kDefaultAttribute, static_cast<DWORD>(size.X * size.Y), COORD{0, 0},
                                 &written);
    ::SetConsoleActiveScreenBuffer(screen);
    screen_ = screen;
    ApplyCursorVisibility();
  }

  void DrawRun(int row, int column, const std::wstring& chars, const std::vector<WORD>& attributes) {
    if (!has_output_) return;
    const COORD at{static_cast<SHORT>(column - 1), static_cast<SHORT>(row - 1)};
    DWORD written = 0;
    ::WriteConsoleOutputCharacterW(Target(), chars.data(), static_cast<DWORD>(chars.size()), at, &written);
    ::WriteConsoleOutputAttribute(Target(), attributes.data(), static_cast<DWORD>(attributes.size()), at, &written);
  }

  void PlaceCursor() {
    if (!has_output_ || screen_ == INVALID_HANDLE_VALUE) return;
    ::SetConsoleCursorPosition(Target(), COORD{static_cast<SHORT>(buffer_.column() - 1),
                                               static_cast<SHORT>(buffer_.row() - 1)});
  }

  void SetCursorVisible(bool visible) {
    cursor_visible_ = visible;
    ApplyCursorVisibility();
  }

  void ApplyCursorVisibility() {
    if (!has_output_) return;
    CONSOLE_CURSOR_INFO info = cursor_found_;
    info.bVisible = cursor_visible_ ? TRUE : FALSE;
    ::SetConsoleCursorInfo(Target(), &info);
    if (Target() == output_) cursor_changed_ = true;
  }

  HANDLE input_;
  HANDLE output_;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  bool has_input_ = false;
  bool has_output_ = false;
  bool cursor_visible_ = true;
  bool cursor_changed_ = false;
  CONSOLE_CURSOR_INFO cursor_found_{25, TRUE};
  ScreenBuffer buffer_;
  const std::wstring glyphs_;
};

}  // namespace

std::unique_ptr<Console> NewWin32Console() {
  return std::make_unique<Win32Console>(::GetStdHandle(STD_INPUT_HANDLE), ::GetStdHandle(STD_OUTPUT_HANDLE));
}

}  // namespace zov::platform
