// Text split into lines, as every reader of the suite's text files splits
// it (parameter file, INI files, print file): "\n" and "\r\n" both end a
// line, and a last line without an end counts. The views point into the
// text, which must outlive them.
//
//   for (std::string_view line : SplitLines(contents)) ...
#ifndef ZOV_PLATFORM_TEXT_LINES_H_
#define ZOV_PLATFORM_TEXT_LINES_H_

#include <string_view>
#include <vector>

namespace zov::platform {

inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    if (end > start && text[end - 1] == '\r') --end;
    lines.push_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TEXT_LINES_H_
