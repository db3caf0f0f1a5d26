#include "format/codes.h"

#include <algorithm>
#include <vector>

#include "format/chars.h"
#include "format/packed.h"

namespace zov::format {

namespace {

// The digit run of a group: leading blanks skipped, digits up to the first
// other character.
std::string_view GroupDigits(std::string_view group) {
  std::size_t start = 0;
  while (start < group.size() && group[start] == ' ') ++start;
  std::size_t end = start;
  while (end < group.size() && IsDigit(group[end])) ++end;
  return group.substr(start, end - start);
}

bool IsZeroGroup(std::string_view digits) {
  return digits.find_first_not_of('0') == std::string_view::npos;
}

std::string WithoutLeadingZeros(std::string_view digits) {
  const auto first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string("0")
                                         : std::string(digits.substr(first));
}

}  // namespace

std::string CodeToKey(std::string_view code) {
  const auto dots = std::count(code.begin(), code.end(), '.');
  std::size_t width =
      ((code.size() == 6 && dots == 0) || (code.size() == 11 && dots < 2)) ? 6
                                                                           : 4;
  std::string joined;
  std::size_t pos = 0;
  for (;;) {
    const auto next = code.find('.', pos);
    if (next == std::string_view::npos && TrimBlanks(code.substr(pos)).empty()) {
      break;
    }
    const std::string_view group =
        next == std::string_view::npos ? code.substr(pos)
                                       : code.substr(pos, next - pos);
    const std::string_view digits = GroupDigits(group);
    if (digits.size() >= width) {
      joined.append(digits.substr(digits.size() - width));
    } else {
      joined.append(width - digits.size(), '0');
      joined.append(digits);
    }
    width = 4;
    if (next == std::string_view::npos) break;
    pos = next + 1;
  }
  return PackDigits(joined);
}

std::string KeyToCode(std::string_view key) {
  const std::string s = UnpackDigits(key);
  if (s.empty()) return std::string();
  if (s.size() == 2) return IsZeroGroup(s) ? std::string() : s;

  // Groups from the right, four digits each; the last two to six digits on
  // the left form the leftmost group.
  std::vector<std::string_view> groups;
  const std::string_view digits(s);
  std::size_t end = digits.size();
  while (end > 0) {
    const std::size_t take = end < 8 ? end : 4;
    groups.push_back(digits.substr(end - take, take));
    end -= take;
  }
  std::reverse(groups.begin(), groups.end());

  // Trailing zero groups are left out; the leftmost group always stays.
  std::size_t shown = groups.size();
  while (shown > 1 && IsZeroGroup(groups[shown - 1])) --shown;
  if (IsZeroGroup(groups[0]) && (shown == 1 || IsZeroGroup(groups[1]))) {
    return std::string();
  }
  std::string code = WithoutLeadingZeros(groups[0]);
  for (std::size_t i = 1; i < shown; ++i) {
    code += '.';
    code += WithoutLeadingZeros(groups[i]);
  }
  return code;
}

}  // namespace zov::format
