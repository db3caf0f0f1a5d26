#include "platform/testing/memory_console.h"

namespace zov::platform {

void MemoryConsole::WriteText(std::string_view text) {
  int row = 0, column = 0;
  for (char c : text) buffer_.Put(static_cast<uint8_t>(c), &row, &column);
}

void MemoryConsole::WriteBlanks(int count) {
  int row = 0, column = 0;
  for (int i = 0; i < count; ++i) buffer_.Put(' ', &row, &column);
}

std::string MemoryConsole::PollKey() {
  ++polls_;
  if (keys_.empty()) return std::string();
  std::string key = keys_.front();
  keys_.pop_front();
  if (!key.empty()) screen_at_last_key_ = Dump();
  return key;
}

std::string MemoryConsole::RowText(int row) const {
  std::string text;
  for (int c = 1; c <= buffer_.columns(); ++c) text += static_cast<char>(buffer_.At(row, c).character);
  return text;
}

std::string MemoryConsole::Dump() const {
  std::string text;
  for (int r = 1; r <= buffer_.rows(); ++r) text += RowText(r) + "\n";
  return text;
}

std::string MemoryConsole::RowAttributes(int row) const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (int c = 1; c <= buffer_.columns(); ++c) {
    uint8_t a = buffer_.At(row, c).attribute;
    if (c > 1) text += ' ';
    text += kHex[a >> 4];
    text += kHex[a & 0x0F];
  }
  return text;
}

}  // namespace zov::platform
