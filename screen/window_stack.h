// Pop-up windows over the console. A push saves a screen rectangle, the
// cursor and the window around it on the stack file in the temporary
// directory (layout: window_stack_format.h) and makes the rectangle the
// current window; a pop paints the cells back with their colours. While a
// window is open, WindowLocate and DrawFrame work relative to it.
//
//   if (PushWindow(env, session, state, 9, 19, 11, 62)) {
//     DrawFrame(*env.console, state, 1);
//     WindowLocate(*env.console, state, 1, 2);
//     env.console->WriteText(line);
//     ...
//     PopWindow(env, session, state);
//   }
//
// The stack file is shared with the suite's other programs that run in the
// same temporary directory: a push appends after whatever they left there and
// a pop takes off only the last record.
#ifndef ZOV_SCREEN_WINDOW_STACK_H_
#define ZOV_SCREEN_WINDOW_STACK_H_

#include <cstdint>

#include "platform/console.h"
#include "platform/env.h"
#include "screen/screen_state.h"
#include "session/session.h"

namespace zov::screen {

// Saves the rectangle (1-based, inclusive) and makes it the current window.
// Returns false and changes nothing when the rectangle does not lie on the
// screen (a side outside 1..ScreenRows() or 1..ScreenColumns(), or top below
// bottom, or left right of right) or when the stack file cannot be written.
// Uses env.fs and env.console.
bool PushWindow(platform::Env& env, const session::Session& session, ScreenState& state, int16_t top,
                int16_t left, int16_t bottom, int16_t right);

// Paints back the rectangle pushed last, puts the cursor where it was at that
// push and makes the window before it current again; the colours in effect
// afterwards are those of the last cell painted. The last pop deletes the
// stack file. An empty, missing or damaged stack file changes nothing on the
// screen and is deleted.
void PopWindow(platform::Env& env, const session::Session& session, ScreenState& state);

// Moves the cursor to (row, column) counted from the current window's
// top-left corner (its frame is row 0 and column 0), or on the whole screen
// when no window is open.
void WindowLocate(platform::Console& console, const ScreenState& state, int16_t row, int16_t column);

// Draws a frame on the border of the current window in the current colours
// and blanks its inside: style 1 single lines, 2 double lines, 0 (and any
// other) blanks, which erases a frame. Does nothing when no window is open.
void DrawFrame(platform::Console& console, const ScreenState& state, int16_t style);

}  // namespace zov::screen

#endif  // ZOV_SCREEN_WINDOW_STACK_H_
