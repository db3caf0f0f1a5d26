#include "format/text_stack.h"

namespace zov::format {

bool PushText(FormatState& state, std::string_view text) {
  if (text.size() > kMaxStackedText) return false;
  state.text_stack.append(text);
  state.text_stack += static_cast<char>(text.size() & 0xFF);
  state.text_stack += static_cast<char>((text.size() >> 8) & 0xFF);
  return true;
}

std::string PopText(FormatState& state) {
  std::string& stack = state.text_stack;
  if (stack.size() < 2) {
    stack.clear();
    return std::string();
  }
  const std::size_t n =
      static_cast<unsigned char>(stack[stack.size() - 2]) |
      (static_cast<std::size_t>(static_cast<unsigned char>(stack.back())) << 8);
  const std::size_t body = stack.size() - 2;
  const std::size_t start = n > body ? 0 : body - n;
  std::string text = stack.substr(start, body - start);
  stack.resize(start);
  return text;
}

}  // namespace zov::format
