#include "screen/colour.h"

#include "platform/ascii.h"

namespace zov::screen {

void SetColour(platform::Console& console, const session::Session& session, ScreenState& state,
               std::string_view attributes) {
  bool plus = false, minus = false, u = false, r = false, n = false, any = false;
  for (char c : attributes) {
    switch (platform::AsciiUpper(c)) {
      case '+': plus = true; break;
      case '-': minus = true; break;
      case 'U': u = true; break;
      case 'R': r = true; break;
      case 'N': n = true; break;
      default: break;
    }
    if (c != ' ') any = true;
  }
  if (!any) return;

  if (plus) state.colour_stack.push_back(static_cast<char>(state.attribute_index));
  uint8_t index = 0;
  if (minus) {
    if (!state.colour_stack.empty()) {
      index = static_cast<uint8_t>(state.colour_stack.back());
      state.colour_stack.pop_back();
    }
  } else if (u) {
    index = 4;
  } else {
    index = static_cast<uint8_t>((r ? 2 : 0) + (n ? 1 : 0));
  }
  if (index >= session.colours.size()) index = 0;
  const session::ColourPair& pair = session.colours[index];
  console.SetColours(pair.foreground, pair.background);
  state.attribute_index = index;
}

}  // namespace zov::screen
