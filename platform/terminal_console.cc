#include "platform/terminal_console.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "platform/screen_buffer.h"

namespace zov::platform {
namespace {

constexpr int kMaxSide = 99;
constexpr int kDefaultRows = 25;
constexpr int kDefaultColumns = 80;
// How long the rest of an escape sequence may take to arrive after its ESC.
constexpr int kSequenceWaitMillis = 30;
constexpr uint8_t kDefaultAttribute = 0x07;

constexpr const char kEnterScreen[] = "\x1b[?1049h";
constexpr const char kLeaveScreen[] = "\x1b[0m\x1b[?1049l";
constexpr const char kHideCursor[] = "\x1b[?25l";
constexpr const char kShowCursor[] = "\x1b[?25h";

// ANSI colour numbers of the console colours 0-7: black, blue, green, cyan,
// red, magenta, brown, light grey. 8-15 are their bright forms.
constexpr int kAnsiColour[8] = {0, 4, 2, 6, 1, 5, 3, 7};

// Two-character key texts: a zero byte, then the keyboard scan code.
constexpr char kHome = 71, kUp = 72, kPageUp = 73, kLeft = 75, kRight = 77, kEnd = 79, kDown = 80,
               kPageDown = 81, kInsert = 82, kDelete = 83, kF1 = 59, kF11 = static_cast<char>(133),
               kF12 = static_cast<char>(134);

// What must be undone when the process ends without Restore(). Terminal
// modes belong to the process, and a signal handler or an exit hook can only
// find them here.
struct EmergencyRestore {
  volatile sig_atomic_t armed = 0;
  const void* owner = nullptr;
  int output_fd = -1;
  int input_fd = -1;
  bool has_termios = false;
  struct termios termios_saved {};
  char sequence[64] = {};
  std::size_t sequence_length = 0;
};
EmergencyRestore g_emergency;
bool g_hooks_installed = false;

constexpr int kFatalSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Async-signal-safe: write() and tcsetattr() only.
void RunEmergencyRestore() {
  if (!g_emergency.armed) return;
  g_emergency.armed = 0;
  if (g_emergency.sequence_length > 0) {
    ssize_t ignored = ::write(g_emergency.output_fd, g_emergency.sequence, g_emergency.sequence_length);
    (void)ignored;
  }
  if (g_emergency.has_termios) ::tcsetattr(g_emergency.input_fd, TCSANOW, &g_emergency.termios_saved);
}

void OnFatalSignal(int sig) {
  RunEmergencyRestore();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(sig, &fallback, nullptr);
  ::raise(sig);
}

void OnExit() { RunEmergencyRestore(); }

// Hooks only the signals nobody else handles or ignores.
void InstallHooks() {
  if (g_hooks_installed) return;
  g_hooks_installed = true;
  std::atexit(OnExit);
  for (int sig : kFatalSignals) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0) continue;
    if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction hook {};
    hook.sa_handler = OnFatalSignal;
    sigemptyset(&hook.sa_mask);
    ::sigaction(sig, &hook, nullptr);
  }
}

struct ScreenSize {
  int rows = kDefaultRows;
  int columns = kDefaultColumns;
};

ScreenSize MeasureScreen(int input_fd, int output_fd) {
  for (int fd : {output_fd, input_fd}) {
    struct winsize ws {};
    if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
      return ScreenSize{std::min<int>(ws.ws_row, kMaxSide), std::min<int>(ws.ws_col, kMaxSide)};
    }
  }
  return ScreenSize{};
}

std::string ExtendedKey(char scan) { return std::string{'\0', scan}; }

// The key of a complete sequence after ESC: "[A", "[1;5A", "[3~", "OP", ...
// Unknown sequences still count as a key press (a zero scan code).
std::string DecodeSequence(std::string_view seq) {
  char final_byte = seq.back();
  if (final_byte == '~') {
    int number = 0;
    for (std::size_t i = 1; i < seq.size() && seq[i] >= '0' && seq[i] <= '9'; ++i) {
      number = std::min(number * 10 + (seq[i] - '0'), 1000);
    }
    switch (number) {
      case 1: case 7: return ExtendedKey(kHome);
      case 2: return ExtendedKey(kInsert);
      case 3: return ExtendedKey(kDelete);
      case 4: case 8: return ExtendedKey(kEnd);
      case 5: return ExtendedKey(kPageUp);
      case 6: return ExtendedKey(kPageDown);
      case 11: case 12: case 13: case 14: case 15: return ExtendedKey(static_cast<char>(kF1 + number - 11));
      case 17: case 18: case 19: case 20: case 21: return ExtendedKey(static_cast<char>(kF1 + 5 + number - 17));
      case 23: return ExtendedKey(kF11);
      case 24: return ExtendedKey(kF12);
      default: return ExtendedKey(0);
    }
  }
  switch (final_byte) {
    case 'A': return ExtendedKey(kUp);
    case 'B': return ExtendedKey(kDown);
    case 'C': return ExtendedKey(kRight);
    case 'D': return ExtendedKey(kLeft);
    case 'H': return ExtendedKey(kHome);
    case 'F': return ExtendedKey(kEnd);
    case 'P': case 'Q': case 'R': case 'S': return ExtendedKey(static_cast<char>(kF1 + final_byte - 'P'));
    default: return ExtendedKey(0);
  }
}

class TerminalConsole : public Console {
 public:
  TerminalConsole(int input_fd, int output_fd, ScreenSize size)
      : input_fd_(input_fd),
        output_fd_(output_fd),
        input_tty_(::isatty(input_fd) == 1),
        output_tty_(::isatty(output_fd) == 1),
        buffer_(size.rows, size.columns),
        glyphs_(Cp850Glyphs()) {}

  ~TerminalConsole() override { Restore(); }

  void HideCursor() override {
    if (cursor_hidden_) return;
    cursor_hidden_ = true;
    Emit(kHideCursor);
    Flush();
    Arm();
  }

  void ShowCursor() override {
    if (!cursor_hidden_) return;
    cursor_hidden_ = false;
    Emit(kShowCursor);
    Flush();
    Arm();
  }

  void MoveCursor(int row, int column) override {
    buffer_.MoveCursor(row, column);
    Flush();
  }
  int CursorRow() override { return buffer_.row(); }
  int CursorColumn() override { return buffer_.column(); }
  int ScreenRows() override { return buffer_.rows(); }
  int ScreenColumns() override { return buffer_.columns(); }
  void SetColours(int foreground, int background) override { buffer_.SetColours(foreground, background); }

  void WriteText(std::string_view text) override {
    TakeScreen();
    for (char c : text) Put(static_cast<uint8_t>(c));
    Flush();
  }

  void WriteBlanks(int count) override {
    TakeScreen();
    for (int i = 0; i < count; ++i) Put(' ');
    Flush();
  }

  Cell ReadCell(int row, int column) override { return buffer_.At(row, column); }

  void Beep() override {
    Emit("\a");
    Flush();
  }

  std::string PollKey() override {
    if (!input_tty_ || hung_up_) return std::string();
    EnterRawInput();
    Flush();
    ReadAvailable(0);
    return DecodeKey();
  }

  bool CanWaitForKey() override {
    if (!input_tty_ || !output_tty_ || hung_up_) return false;
    struct pollfd p {input_fd_, 0, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) hung_up_ = true;
    return !hung_up_;
  }

  void Restore() override {
    if (screen_active_) {
      Emit(kLeaveScreen);
      screen_active_ = false;
    }
    if (cursor_hidden_) {
      Emit(kShowCursor);
      cursor_hidden_ = false;
    }
    Flush();
    if (raw_) {
      ::tcsetattr(input_fd_, TCSANOW, &saved_termios_);
      raw_ = false;
    }
    terminal_row_ = terminal_column_ = 0;
    terminal_attribute_ = -1;
    Arm();
  }

 private:
  void Emit(std::string_view bytes) {
    if (output_tty_) pending_output_.append(bytes);
  }

  void EmitPosition(int row, int column) {
    Emit("\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H");
    terminal_row_ = row;
    terminal_column_ = column;
  }

  void EmitAttribute(uint8_t attribute) {
    int fg = attribute & 0x0F, bg = attribute >> 4;
    int fg_code = (fg < 8 ? 30 : 90) + kAnsiColour[fg & 7];
    int bg_code = (bg < 8 ? 40 : 100) + kAnsiColour[bg & 7];
    Emit("\x1b[" + std::to_string(fg_code) + ";" + std::to_string(bg_code) + "m");
    terminal_attribute_ = attribute;
  }

  void EmitCell(int row, int column, Cell cell) {
    if (!output_tty_) return;
    if (row != terminal_row_ || column != terminal_column_) EmitPosition(row, column);
    if (cell.attribute != terminal_attribute_) EmitAttribute(cell.attribute);
    Emit(glyphs_[cell.character]);
    // Past the last column the terminal's cursor is not known: the next cell
    // is always positioned explicitly, so the terminal never wraps or scrolls.
    terminal_column_ = column + 1;
  }

  void Put(uint8_t c) {
    int row = 0, column = 0;
    if (buffer_.Put(c, &row, &column)) EmitCell(row, column, buffer_.At(row, column));
  }

  // The first drawing takes the alternate screen, clears it to the blank
  // cells the console starts with and paints whatever was drawn before.
  void TakeScreen() {
    if (screen_active_ || !output_tty_) return;
    screen_active_ = true;
    Emit(kEnterScreen);
    EmitAttribute(kDefaultAttribute);
    Emit("\x1b[H\x1b[2J");
    terminal_row_ = terminal_column_ = 1;
    for (int r = 1; r <= buffer_.rows(); ++r) {
      for (int c = 1; c <= buffer_.columns(); ++c) {
        Cell cell = buffer_.At(r, c);
        if (cell.character != ' ' || cell.attribute != kDefaultAttribute) EmitCell(r, c, cell);
      }
    }
    EnterRawInput();  // keys typed now must not echo onto the screen
    Arm();
  }

  void EnterRawInput() {
    if (raw_ || !input_tty_) return;
    if (::tcgetattr(input_fd_, &saved_termios_) != 0) return;
    struct termios raw = saved_termios_;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(input_fd_, TCSANOW, &raw) != 0) return;
    raw_ = true;
    Arm();
  }

  // Writes what is pending; while the screen is ours and the cursor shown,
  // the terminal's cursor is first put where the console's is.
  void Flush() {
    if (!output_tty_) return;
    if (screen_active_ && !cursor_hidden_ &&
        (terminal_row_ != buffer_.row() || terminal_column_ != buffer_.column())) {
      EmitPosition(buffer_.row(), buffer_.column());
    }
    std::size_t done = 0;
    while (done < pending_output_.size()) {
      ssize_t n = ::write(output_fd_, pending_output_.data() + done, pending_output_.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && errno == EAGAIN) {
        struct pollfd p {output_fd_, POLLOUT, 0};
        if (::poll(&p, 1, 1000) <= 0) break;
      } else {
        break;  // the terminal is gone; the cells are still kept
      }
    }
    pending_output_.clear();
  }

  // Appends the bytes waiting on the input, waiting up to timeout_millis for
  // the first; notes a terminal that has gone.
  bool ReadAvailable(int timeout_millis) {
    struct pollfd p {input_fd_, POLLIN, 0};
    int ready = ::poll(&p, 1, timeout_millis);
    if (ready <= 0) return false;
    if ((p.revents & POLLIN) != 0) {
      char bytes[256];
      ssize_t n = ::read(input_fd_, bytes, sizeof bytes);
      if (n > 0) {
        pending_input_.append(bytes, static_cast<std::size_t>(n));
        return true;
      }
      if (n == 0 || (errno != EINTR && errno != EAGAIN)) hung_up_ = true;
      return false;
    }
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) hung_up_ = true;
    return false;
  }

  std::string Take(std::size_t n) {
    std::string key = pending_input_.substr(0, n);
    pending_input_.erase(0, n);
    return key;
  }

  // The index of the last byte of the escape sequence at the front, or npos
  // while it is incomplete.
  std::size_t SequenceEnd() const {
    if (pending_input_.size() < 3) return std::string::npos;
    if (pending_input_[1] == 'O') return 2;
    for (std::size_t i = 2; i < pending_input_.size(); ++i) {
      unsigned char b = static_cast<unsigned char>(pending_input_[i]);
      if (b >= 0x40 && b <= 0x7E) return i;
    }
    return std::string::npos;
  }

  std::string DecodeKey() {
    if (pending_input_.empty()) return std::string();
    unsigned char lead = static_cast<unsigned char>(pending_input_[0]);
    if (lead == 0x1B) {
      if (pending_input_.size() == 1) ReadAvailable(kSequenceWaitMillis);
      if (pending_input_.size() == 1 || (pending_input_[1] != '[' && pending_input_[1] != 'O')) return Take(1);
      std::size_t end = SequenceEnd();
      if (end == std::string::npos) {
        ReadAvailable(kSequenceWaitMillis);
        end = SequenceEnd();
      }
      if (end == std::string::npos) {
        pending_input_.clear();  // a broken sequence: the escape key alone
        return "\x1b";
      }
      std::string seq = Take(end + 1);
      return DecodeSequence(std::string_view(seq).substr(1));
    }
    if (lead >= 0x80) {
      std::size_t n = static_cast<std::size_t>(Utf8SequenceLength(lead));
      if (pending_input_.size() < n) ReadAvailable(kSequenceWaitMillis);
      std::string key = Utf8ToCp850(Take(std::min(n, pending_input_.size())));
      return key.substr(0, 1);
    }
    if (lead == 0x7F) {
      Take(1);
      return "\x08";  // the backspace key
    }
    return Take(1);
  }

  // Keeps the exit and signal hooks in step with what this console changed.
  void Arm() {
    bool needed = raw_ || (output_tty_ && (screen_active_ || cursor_hidden_));
    if (!needed) {
      if (g_emergency.owner == this) {
        g_emergency.armed = 0;
        g_emergency.owner = nullptr;
      }
      return;
    }
    g_emergency.armed = 0;
    g_emergency.owner = this;
    g_emergency.output_fd = output_fd_;
    g_emergency.input_fd = input_fd_;
    g_emergency.has_termios = raw_;
    g_emergency.termios_saved = saved_termios_;
    std::string sequence;
    if (output_tty_ && screen_active_) sequence += kLeaveScreen;
    if (output_tty_ && cursor_hidden_) sequence += kShowCursor;
    std::memcpy(g_emergency.sequence, sequence.data(), sequence.size());
    g_emergency.sequence_length = sequence.size();
    InstallHooks();
    g_emergency.armed = 1;
  }

  const int input_fd_;
  const int output_fd_;
  const bool input_tty_;
  const bool output_tty_;
  ScreenBuffer buffer_;
  const std::array<std::string, 256>& glyphs_;
  bool screen_active_ = false;
  bool cursor_hidden_ = false;
  bool raw_ = false;
  bool hung_up_ = false;
  struct termios saved_termios_ {};
  // Where the terminal's cursor is and which colours it writes in (0 and -1
  // when not known).
  int terminal_row_ = 0;
  int terminal_column_ = 0;
  int terminal_attribute_ = -1;
  std::string pending_output_;
  std::string pending_input_;
};

}  // namespace

std::unique_ptr<Console> NewTerminalConsole() { return NewTerminalConsoleOn(STDIN_FILENO, STDOUT_FILENO); }

std::unique_ptr<Console> NewTerminalConsoleOn(int input_fd, int output_fd) {
  return std::make_unique<TerminalConsole>(input_fd, output_fd, MeasureScreen(input_fd, output_fd));
}

}  // namespace zov::platform
