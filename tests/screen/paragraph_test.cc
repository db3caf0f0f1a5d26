#include "screen/paragraph.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace zov::screen {
namespace {

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += c < 0x20 ? "\\" + std::to_string(c) : std::string(1, static_cast<char>(c));
  return out;
}

TEST(FormatParagraph, LaysTextOutInAlignedLines) {
  struct Case {
    std::string text;
    int16_t indent, width;
    const char* alignment;
    std::string want;
  };
  const Case cases[] = {
      // The cut falls just before a blank: the first five characters stay.
      {"ab cd ef", 0, 5, "R", "ab cd" "   ef"},
      {"ab cd ef", 0, 5, "r", "ab cd" "   ef"},
      {"ab cd ef", 0, 5, "D", "ab cd" "   ef"},
      {"ab cd ef", 0, 5, "L", "ab cd" "ef   "},
      {"ab cd ef", 0, 5, "i", "ab cd" "ef   "},
      {"ab cd ef", 0, 5, "E", "ab cd" "ef   "},
      {"ab cd ef", 0, 5, "N", "ab cd" "ef---"},
      {"ab cd ef", 0, 5, "", "ab cd" "ef"},
      {"ab cd ef", 0, 5, "?", "ab cd" "ef"},
      {"ab", 0, 5, "C", " ab  "},
      {"abcd", 0, 6, "c", " abcd "},
      // A cut inside a word moves back after the blank; the blank stays.
      {"abc defgh", 0, 6, "L", "abc   " "defgh "},
      // Hanging indent: later lines start with two blanks.
      {"aaa bbb ccc ddd", -2, 9, "L", "aaa bbb  " "  ccc ddd"},
      {"aaa bbb ccc ddd eee", -2, 9, "L", "aaa bbb  " "  ccc ddd" "  eee    "},
      // First-line indent.
      {"aaa bbb ccc", 2, 6, "L", "  aaa " "bbb   " "ccc   "},
      // A word longer than the line is cut at the room.
      {"abcdefgh", 0, 3, "L", "abc" "def" "gh "},
      // Blanks after a break are skipped, leading blanks are kept.
      {"ab    cd", 0, 3, "L", "ab " "cd "},
      {"  ab", 0, 5, "L", "  ab "},
      // Justified: blanks doubled left to right; the last line stays.
      {"aa bb ccc", 0, 8, "A", "aa  bb  " "ccc"},
      {"aa bb ccc", 0, 8, "b", "aa  bb  " "ccc"},
      {"a b cc dd", 0, 8, "A", "a  b cc " "dd"},
      {"a b ccccc", 0, 8, "A", "a   b   " "ccccc"},  // doubling starts over
      {"abcdefghij", 0, 4, "A", "abcd" "efgh" "ij"},
      // Control characters take no room.
      {"ab\x01" "cd ef", 0, 5, "L", "ab\x01" "cd " "ef   "},
      {"abcde\x02\x03 fg", 0, 5, "L", "abcde\x02\x03" "fg   "},
      // Control characters right after a blank go with the next word.
      {"ab \x01" "cd", 0, 4, "L", "ab  " "\x01" "cd  "},
      {"", 0, 5, "L", ""},
  };
  for (const Case& t : cases) {
    std::string text = t.text;
    FormatParagraph(text, t.indent, t.width, t.alignment);
    EXPECT_EQ(Printable(text), Printable(t.want))
        << "\"" << Printable(t.text) << "\" indent " << t.indent << " width " << t.width << " \"" << t.alignment
        << "\"";
  }
}

TEST(FormatParagraph, EveryLineHasTheWidthWhenPadded) {
  const std::string text =
      "NO ES POT ACCEDIR AL FITXER C:\\ORVA\\DADES\\VCobros (94) i aquest text continua una mica "
      "mes per omplir unes quantes linies de prova amb paraules de mides diverses";
  for (int16_t width : {int16_t{7}, int16_t{10}, int16_t{23}, int16_t{40}, int16_t{76}}) {
    std::vector<std::string> lines = ParagraphLines(text, 0, width, "L");
    std::string joined;
    for (const std::string& line : lines) {
      EXPECT_EQ(line.size(), static_cast<std::size_t>(width)) << "width " << width << ": \"" << line << "\"";
      joined += line;
    }
    // Nothing but blanks is lost or added.
    std::string words, kept;
    for (char c : text) if (c != ' ') words += c;
    for (char c : joined) if (c != ' ') kept += c;
    EXPECT_EQ(kept, words) << "width " << width;
  }
}

TEST(FormatParagraph, AWidthWithoutRoomStillEnds) {
  struct Case {
    int16_t indent, width;
  };
  for (const Case& t : {Case{5, 3}, Case{0, 0}, Case{0, -4}, Case{-9, 2}, Case{3, 3}}) {
    std::vector<std::string> lines = ParagraphLines("abc de", t.indent, t.width, "L");
    std::string kept;
    for (const std::string& line : lines) {
      for (char c : line) if (c != ' ') kept += c;
    }
    EXPECT_EQ(kept, "abcde") << "indent " << t.indent << " width " << t.width;
    EXPECT_LE(lines.size(), 6u) << "indent " << t.indent << " width " << t.width;
  }
}

}  // namespace
}  // namespace zov::screen
