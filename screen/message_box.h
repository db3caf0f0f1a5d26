// Framed message boxes over the console, and the report of a fatal failure.
//
//   if (MessageBox(env, session, state, 12, text)) {
//     ... wait for a key ...
//     PopWindow(env, session, state);
//   }
#ifndef ZOV_SCREEN_MESSAGE_BOX_H_
#define ZOV_SCREEN_MESSAGE_BOX_H_

#include <cstdint>
#include <string_view>

#include "platform/env.h"
#include "screen/screen_state.h"
#include "session/session.h"

namespace zov::screen {

// Shows the text (code page 850) in a single-line frame, in the colours of
// attribute "R", laid out in lines of 76 and centred on column 41 (an 80-
// column screen), the box's rows placed around `row`. The box is pushed on
// the window stack and stays until the caller pops it. Returns false when it
// could not be shown (too many lines for the screen's rows, too wide for its
// columns, or the stack file could not be written): then nothing was pushed.
// Either way the colours in use before are in use after.
bool MessageBox(platform::Env& env, const session::Session& session, ScreenState& state, int16_t row,
                std::string_view text);

// Reports a failure that ends the run: shows the text in a box at row 12,
// beeps, discards the keys already typed and waits for a key (not when no key
// can come: see Console::CanWaitForKey), removes the box, restores the
// terminal, and writes the text as one line in UTF-8 to standard error
// (through env.error_output) for logs and for runs without a screen, followed
// by ": " and `detail` when that is not empty (what the box cannot hold). It does not
// end the process: the caller releases what it holds and reports the failure
// up. Uses env.console, env.fs, env.clock (to pause between key polls) and
// env.processes.
void ShowFatalMessage(platform::Env& env, const session::Session& session, ScreenState& state,
                      std::string_view text, std::string_view detail = {});

// Shows `text` (code page 850) on the screen's last row, the message line,
// in the colours of attribute "R", cut to the screen's width and padded
// with blanks; an empty text blanks the row in the normal colours. Nothing
// is saved or waited for; the colours in use before are in use after.
void ShowMessageLine(platform::Env& env, const session::Session& session, ScreenState& state,
                     std::string_view text);

}  // namespace zov::screen

#endif  // ZOV_SCREEN_MESSAGE_BOX_H_
