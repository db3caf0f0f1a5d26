#include "screen/paragraph.h"

#include <algorithm>

#include "platform/ascii.h"

namespace zov::screen {
namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }
bool IsBreak(char c) { return static_cast<unsigned char>(c) <= 0x20; }  // blank or control

// Doubles single blanks after the indent, left to right, each time after the
// previous run of blanks and from the first again at the end, until the line
// is `full` long.
void Justify(std::string& line, std::size_t full, std::size_t indent) {
  if (line.find(' ', indent) == std::string::npos) return;
  std::size_t from = indent;
  while (line.size() < full) {
    std::size_t blank = line.find(' ', from);
    if (blank == std::string::npos) blank = line.find(' ', indent);
    line.insert(blank, 1, ' ');
    from = blank;
    while (from < line.size() && line[from] == ' ') ++from;
  }
}

void Align(std::string& line, std::size_t full, char alignment, std::size_t indent, bool last_line) {
  if (line.size() >= full) return;
  std::size_t missing = full - line.size();
  switch (alignment) {
    case 'E': case 'L': case 'I': line.append(missing, ' '); break;
    case 'N': line.append(missing, '-'); break;
    case 'D': case 'R': line.insert(0, missing, ' '); break;
    case 'C':
      line.insert(0, missing / 2, ' ');
      line.append((missing + 1) / 2, ' ');
      break;
    case 'A': case 'B':
      if (!last_line) Justify(line, full, indent);
      break;
    default: break;
  }
}

}  // namespace

std::vector<std::string> ParagraphLines(std::string_view text, int16_t indent, int16_t width,
                                        std::string_view alignment) {
  const char align = alignment.empty() ? '\0' : platform::AsciiUpper(alignment[0]);
  const std::size_t first_indent = indent > 0 ? static_cast<std::size_t>(indent) : 0;
  const std::size_t later_indent = indent < 0 ? static_cast<std::size_t>(-indent) : 0;
  std::vector<std::string> lines;
  std::size_t line_indent = first_indent;
  std::size_t pos = 0;
  const std::size_t len = text.size();
  while (pos < len) {
    // Room on this line; every control character taken widens it by one.
    std::size_t room = static_cast<std::size_t>(std::max(static_cast<int>(width) - static_cast<int>(line_indent), 1));
    std::size_t taken = 0;
    while (pos + taken < len && taken < room) {
      if (IsControl(text[pos + taken])) ++room;
      ++taken;
    }
    if (taken > 0 && !IsBreak(text[pos + taken - 1])) {
      while (pos + taken < len && IsControl(text[pos + taken])) {
        ++taken;
        ++room;
      }
    }
    std::size_t cut = room;
    if (pos + cut < len && !IsBreak(text[pos + cut])) {
      // Inside a word: back to just after a blank or control character.
      std::size_t back = cut;
      while (back > 0 && !IsBreak(text[pos + back - 1])) --back;
      if (back > 0) {
        // Control characters right after a blank go to the next line.
        std::size_t run = back;
        while (run > 0 && IsControl(text[pos + run - 1])) --run;
        if (run < back && run > 0 && text[pos + run - 1] == ' ') {
          room -= back - run;
          back = run;
        }
        cut = back;
      }  // else a word longer than the line: cut at the room
    }
    std::size_t end = std::min(pos + cut, len);
    std::string line(line_indent, ' ');
    line.append(text.substr(pos, end - pos));
    std::size_t next = end;
    while (next < len && text[next] == ' ') ++next;
    Align(line, room + line_indent, align, line_indent, next >= len);
    lines.push_back(std::move(line));
    pos = next;
    line_indent = later_indent;
  }
  return lines;
}

void FormatParagraph(std::string& text, int16_t indent, int16_t width, std::string_view alignment) {
  std::string result;
  for (const std::string& line : ParagraphLines(text, indent, width, alignment)) result += line;
  text = std::move(result);
}

}  // namespace zov::screen
