// The screen layer's process-wide state: the open windows and the colour
// selection. One per run, owned by the run and passed by reference; a fresh
// one means no window open and the normal colours.
#ifndef ZOV_SCREEN_SCREEN_STATE_H_
#define ZOV_SCREEN_SCREEN_STATE_H_

#include <cstdint>
#include <string>

namespace zov::screen {

// A screen rectangle, 1-based and inclusive; all 0 before any window.
struct WindowRect {
  int16_t top = 0;
  int16_t left = 0;
  int16_t bottom = 0;
  int16_t right = 0;
};

struct ScreenState {
  // Windows pushed and not yet popped; 0 = the whole screen is the window.
  int16_t window_depth = 0;
  // The innermost open window.
  WindowRect window;
  // The colour table index in use (0 normal, 1 "N", 2 "R", 3 "RN", 4 "U").
  uint8_t attribute_index = 0;
  // Saved attribute indexes, one byte each, the last saved at the end.
  std::string colour_stack;
};

}  // namespace zov::screen

#endif  // ZOV_SCREEN_SCREEN_STATE_H_
