#include "screen/message_box.h"

#include <algorithm>
#include <string>
#include <vector>

#include "format/chars.h"
#include "screen/colour.h"
#include "screen/paragraph.h"
#include "screen/window_stack.h"

namespace zov::screen {
namespace {

constexpr int16_t kLineWidth = 76;
constexpr int kCentreColumn = 41;
constexpr int16_t kFatalRow = 12;
// Pause between key polls while waiting, so the wait does not spin.
constexpr int32_t kKeyPollMillis = 20;
// Keys typed ahead are discarded before the wait; a console that never runs
// dry must not keep the discarding going for ever.
constexpr int kMaxDiscardedKeys = 10000;

}  // namespace

bool MessageBox(platform::Env& env, const session::Session& session, ScreenState& state, int16_t row,
                std::string_view text) {
  platform::Console& console = *env.console;
  SetColour(console, session, state, "+rh");
  std::vector<std::string> lines = ParagraphLines(text, 0, kLineWidth, "i");
  const int n = static_cast<int>(lines.size());

  int top = std::max(row - (n + 1) / 2 - 2, 1);
  int bottom = top + n + 1;
  if (bottom > console.ScreenRows()) {
    bottom = console.ScreenRows();
    top = bottom - n - 1;
  }
  int longest = 0;
  for (const std::string& line : lines) {
    longest = std::max(longest, static_cast<int>(format::TrimTrailingBlanks(line).size()));
  }
  int left = kCentreColumn - (longest + 1) / 2 - 2;
  int right = kCentreColumn + longest / 2 + 1;
  // PushWindow refuses a box that does not lie on the screen (top below 1
  // included); then nothing is drawn, since the frame and the lines could
  // not be taken off again.
  bool fits = top >= 1 && left >= 1 && right <= console.ScreenColumns();
  if (!fits || !PushWindow(env, session, state, static_cast<int16_t>(top), static_cast<int16_t>(left),
                           static_cast<int16_t>(bottom), static_cast<int16_t>(right))) {
    SetColour(console, session, state, "-");
    return false;
  }
  DrawFrame(console, state, 1);
  for (int i = 1; i <= n; ++i) {
    WindowLocate(console, state, static_cast<int16_t>(i), 2);
    console.WriteText(format::TrimTrailingBlanks(lines[static_cast<std::size_t>(i - 1)]));
  }
  SetColour(console, session, state, "-");
  return true;
}

void ShowFatalMessage(platform::Env& env, const session::Session& session, ScreenState& state,
                      std::string_view text, std::string_view detail) {
  platform::Console& console = *env.console;
  bool shown = MessageBox(env, session, state, kFatalRow, text);
  console.Beep();
  for (int i = 0; i < kMaxDiscardedKeys && !console.PollKey().empty(); ++i) {
  }
  // Without the box on the screen there is nothing to acknowledge.
  if (shown) {
    while (console.CanWaitForKey() && console.PollKey().empty()) {
      env.clock->SleepMillis(kKeyPollMillis);
    }
    PopWindow(env, session, state);
  }
  console.Restore();
  // After the restore, so the line lands on the terminal's own screen.
  std::string line(text);
  if (!detail.empty()) line += ": " + std::string(detail);
  env.error_output->WriteLine(line);
}

void ShowMessageLine(platform::Env& env, const session::Session& session, ScreenState& state,
                     std::string_view text) {
  platform::Console& console = *env.console;
  const int columns = console.ScreenColumns();
  const std::string_view shown = text.substr(0, static_cast<std::size_t>(std::max(columns, 0)));
  SetColour(console, session, state, text.empty() ? "+" : "+R");
  console.MoveCursor(console.ScreenRows(), 1);
  console.WriteText(shown);
  console.WriteBlanks(columns - static_cast<int>(shown.size()));
  SetColour(console, session, state, "-");
}

}  // namespace zov::screen
