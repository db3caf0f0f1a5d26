#include "platform/code_page.h"

#include <string>
#include <utility>

#include "gtest/gtest.h"

namespace zov::platform {
namespace {

TEST(CodePage, Cp850ToUtf8) {
  struct Case {
    std::string cp850;
    std::string utf8;
  };
  const Case cases[] = {
      {"ABC az 09", "ABC az 09"},
      {"\xDA\xC4\xBF\xB3\xC0\xD9", "\u250C\u2500\u2510\u2502\u2514\u2518"},
      {"\xC9\xCD\xBB\xBA\xC8\xBC", "\u2554\u2550\u2557\u2551\u255A\u255D"},
      {"P\xB7GINA", "P\u00C0GINA"},
      {"P\xE3T FICH\xD4R", "P\u00D2T FICH\u00C8R"},
      {"\x87\xA4\xA5\xF8", "\u00E7\u00F1\u00D1\u00B0"},
      {std::string("\x00\x1B\x07\x0A\x7F", 5), " \u2190\u2022\u25D9\u2302"},
  };
  for (const Case& t : cases) EXPECT_EQ(Cp850ToUtf8(t.cp850), t.utf8) << t.utf8;
}

TEST(CodePage, Utf8ToCp850ReplacesWhatTheCodePageLacks) {
  struct Case {
    std::string utf8;
    std::string cp850;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"\u00E7a", "\x87" "a"},
      {"\u20AC", "?"},            // euro: not in the code page
      {"\xC3", "?"},              // cut short
      {"\xC3(", "?("},            // not a continuation byte
      {"\xFF\xFE", "??"},         // never valid
      {"\xF0\x9F\x98\x80!", "?!"},  // outside the code page, four bytes
  };
  for (const Case& t : cases) EXPECT_EQ(Utf8ToCp850(t.utf8), t.cp850) << t.utf8;
}

TEST(CodePage, EveryByteAbove127RoundTrips) {
  for (int b = 128; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(byte)), byte) << "byte " << b;
  }
}

// Names and values: every byte is its own character, both ways, and what
// the code page cannot hold is refused rather than changed.
TEST(CodePage, ExactConversionsRefuseWhatTheCodePageLacks) {
  struct Case {
    std::string utf8;
    bool holds;
    std::string cp850;
  };
  const Case cases[] = {
      {"Administraci\u00F3 Garc\u00EDa/", true, "Administraci\xA2 Garc\xA1" "a/"},
      {"GARC\u00CDA L\u00D3PEZ.xlsx", true, "GARC\xD6" "A L\xE0PEZ.xlsx"},
      {"tab\there\x1B", true, "tab\there\x1B"},  // control bytes are themselves
      {"\u20AC", false, ""},                        // euro: not in the code page
      {"\u65E5\u672C", false, ""},                 // outside it, three bytes each
      {"\xF0\x9F\x98\x80", false, ""},           // outside it, four bytes
      {"\xC3", false, ""},                          // cut short
      {"\xC3(", false, ""},                         // not a continuation byte
      {"\xC0\xAF", false, ""},                     // overlong "/"
      {"\xED\xA0\x80", false, ""},                // a surrogate
      {"\xFF", false, ""},                          // never valid
  };
  for (const Case& t : cases) {
    std::string cp850;
    EXPECT_EQ(Utf8ToCp850Exact(t.utf8, &cp850), t.holds) << t.utf8;
    if (!t.holds) continue;
    EXPECT_EQ(cp850, t.cp850) << t.utf8;
    EXPECT_EQ(Cp850ToUtf8Exact(cp850), t.utf8) << t.utf8;
  }
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string back;
  ASSERT_TRUE(Utf8ToCp850Exact(Cp850ToUtf8Exact(all), &back));
  EXPECT_EQ(back, all);
}

// The table against the published mapping of a few bytes of every kind.
TEST(CodePage, CodePointsOfTheUpperHalf) {
  const std::pair<unsigned char, char16_t> cases[] = {
      {0x80, 0x00C7}, {0x9F, 0x0192}, {0xA2, 0x00F3}, {0xB0, 0x2591}, {0xC9, 0x2554},
      {0xD5, 0x0131}, {0xE1, 0x00DF}, {0xF2, 0x2017}, {0xFE, 0x25A0}, {0xFF, 0x00A0},
  };
  for (const auto& [byte, code_point] : cases) {
    EXPECT_EQ(Cp850CodePoint(byte), code_point) << int{byte};
    char back = 0;
    EXPECT_TRUE(CodePointToCp850(code_point, &back));
    EXPECT_EQ(static_cast<unsigned char>(back), byte);
  }
}

// Lines for a terminal keep their tabs and line ends; no other byte may act
// on the terminal.
TEST(CodePage, TerminalLinesKeepLineEndsOnly) {
  EXPECT_EQ(Cp850ToUtf8Lines("a\tb\r\nP\xB7GINA \x1B[2J\x07\n"),
            "a\tb\r\nP\u00C0GINA \u2190[2J\u2022\n");
}

}  // namespace
}  // namespace zov::platform
