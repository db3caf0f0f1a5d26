// Selecting console colours by attribute letters over the session's colour
// table, with a stack to put back the colours in use.
//
//   SetColour(console, session, state, "+R");  // save, then reverse video
//   ...
//   SetColour(console, session, state, "-");   // back to the saved colours
#ifndef ZOV_SCREEN_COLOUR_H_
#define ZOV_SCREEN_COLOUR_H_

#include <string_view>

#include "platform/console.h"
#include "screen/screen_state.h"
#include "session/session.h"

namespace zov::screen {

// Letters, in either case: "+" saves the index in use before anything else;
// "-" selects the last saved index and forgets it (normal when none is
// saved); otherwise "U" selects index 4, else "R" adds 2 and "N" adds 1 to
// index 0. Other characters are ignored; an empty or blank text does nothing.
// The console's colours are set from the selected index's table entry.
void SetColour(platform::Console& console, const session::Session& session, ScreenState& state,
               std::string_view attributes);

}  // namespace zov::screen

#endif  // ZOV_SCREEN_COLOUR_H_
