#include "format/text_stack.h"

#include "platform/coding.h"

namespace zov::format {

bool PushText(FormatState& st, std::string_view text) {
  if (text.size() > kMaxStackedText) return false;
  st.text_stack.append(text);
  char length[2];
  platform::EncodeFixed16(length, static_cast<uint16_t>(text.size()));
  st.text_stack.append(length, sizeof length);
  return true;
}

std::string PopText(FormatState& st) {
  std::string& stack = st.text_stack;
  if (stack.size() < 2) {
    stack.clear();
    return std::string();
  }
  const std::size_t n = platform::DecodeFixed16(stack.data() + stack.size() - 2);
  const std::size_t body = stack.size() - 2;
  const std::size_t start = n > body ? 0 : body - n;
  std::string text = stack.substr(start, body - start);
  stack.resize(start);
  return text;
}

}  // namespace zov::format
