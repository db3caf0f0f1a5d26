#include "format/text.h"

#include <algorithm>
#include <limits>

#include "format/chars.h"

namespace zov::format {

std::string NameOrder(std::string_view name) {
  const auto star = name.find('*');
  if (star == std::string_view::npos || star == 0) {
    return std::string(TrimBlanks(name));
  }
  const std::string_view given = TrimBlanks(name.substr(star + 1));
  const std::string_view surnames = TrimBlanks(name.substr(0, star));
  const std::string_view whole = TrimTrailingBlanks(name);
  std::string out(given);
  if (whole.empty() || whole.back() != '\'') out += ' ';
  out.append(surnames);
  return out;
}

std::int16_t CenterOffset(std::string_view text, std::int16_t width) {
  const auto length = static_cast<std::int64_t>(
      std::min<std::size_t>(text.size(), std::numeric_limits<std::int32_t>::max()));
  const std::int64_t offset = (width - length) / 2;
  return static_cast<std::int16_t>(
      std::clamp<std::int64_t>(offset, std::numeric_limits<std::int16_t>::min(),
                               std::numeric_limits<std::int16_t>::max()));
}

std::string Choose(std::int16_t flag, std::string_view a, std::string_view b) {
  return std::string(flag != 0 ? a : b);
}

bool IsAllChar(std::string_view text, std::int16_t code) {
  return std::all_of(text.begin(), text.end(), [code](char c) {
    return static_cast<unsigned char>(c) == code;
  });
}

bool CopyToBuffer(std::string_view text, std::span<char> buffer) {
  if (text.size() > buffer.size()) return false;
  std::copy(text.begin(), text.end(), buffer.begin());
  return true;
}

}  // namespace zov::format
