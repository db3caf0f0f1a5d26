// A run-wide stack of texts kept in FormatState::text_stack: each entry is
// its bytes followed by its length as two bytes, little-endian. Pops come in
// the reverse order of pushes.
//
//   if (!PushText(state, saved)) { /* longer than 65535 bytes: not pushed */ }
//   ...
//   std::string saved = PopText(state);
#ifndef ZOV_FORMAT_TEXT_STACK_H_
#define ZOV_FORMAT_TEXT_STACK_H_

#include <string>
#include <string_view>

#include "format/format_state.h"

namespace zov::format {

// Longest text an entry can hold (its length must fit two bytes).
inline constexpr std::size_t kMaxStackedText = 0xFFFF;

// Pushes a copy of the text. A text longer than kMaxStackedText is refused
// (false) and the stack is left as it was.
[[nodiscard]] bool PushText(FormatState& state, std::string_view text);

// Pops the last pushed text; an empty stack gives an empty text. A damaged
// stack (changed by hand) never reads outside itself: when its last length
// claims more bytes than it holds, the bytes it holds are returned; when it
// is too short to hold a length, the result is empty. Either way the stack
// is left empty.
std::string PopText(FormatState& state);

}  // namespace zov::format

#endif  // ZOV_FORMAT_TEXT_STACK_H_
