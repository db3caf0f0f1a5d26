// Laying a text out into lines of one width, as the suite's message boxes
// and printed notes show it.
//
//   std::string text = "ab cd ef";
//   FormatParagraph(text, 0, 5, "R");  // "ab cd" + "   ef"
#ifndef ZOV_SCREEN_PARAGRAPH_H_
#define ZOV_SCREEN_PARAGRAPH_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zov::screen {

// The lines of the layout. Lines break at blanks (a word longer than a line
// is cut); the blanks at a break are dropped. Control characters (below the
// blank) take no room. A positive indent indents the first line by that many
// blanks, a negative one every later line (a hanging indent). Each line is
// aligned to the width by the first letter of `alignment`, in either case:
//   "E", "L", "I"  padded on the right with blanks
//   "N"            padded on the right with "-"
//   "D", "R"       padded on the left with blanks
//   "C"            centred, the odd blank on the right
//   "A", "B"       justified by doubling blanks left to right (not the last
//                  line, nor a line without blanks)
//   anything else  not padded
// A width that leaves no room beside the indent still carries one character
// per line.
std::vector<std::string> ParagraphLines(std::string_view text, int16_t indent, int16_t width,
                                        std::string_view alignment);

// Replaces the text by its lines joined without separators.
void FormatParagraph(std::string& text, int16_t indent, int16_t width, std::string_view alignment);

}  // namespace zov::screen

#endif  // ZOV_SCREEN_PARAGRAPH_H_
