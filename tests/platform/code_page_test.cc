#include "platform/code_page.h"

#include <string>

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

}  // namespace
}  // namespace zov::platform
