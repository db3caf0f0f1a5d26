#include "format/text.h"

#include <string>

#include <gtest/gtest.h>

#include "format/text_stack.h"

namespace zov::format {
namespace {

TEST(NameOrderTest, Table) {
  const struct {
    const char* stored;
    const char* shown;
  } cases[] = {
      {"GARCIA LOPEZ*JOAN", "JOAN GARCIA LOPEZ"},
      {"GARCIA LOPEZ  *  JOAN   ", "JOAN GARCIA LOPEZ"},
      {"PUIG*JOAN D'", "JOAN D'PUIG"},  // particle joins the surname
      {"PUIG*JOAN D'   ", "JOAN D'PUIG"},
      {"FERR\x85NDIZ*JOS\x90", "JOS\x90 FERR\x85NDIZ"},
      {"*X", "*X"},
      {"  PUIG  ", "PUIG"},
      {"A*B*C", "B*C A"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameOrder(c.stored), c.shown) << '"' << c.stored << '"';
  }
}

TEST(CenterOffsetTest, Table) {
  const struct {
    std::string text;
    std::int16_t width;
    std::int16_t offset;
  } cases[] = {
      {"ABC", 10, 3},
      {"ABCDEFGHIJKLM", 10, -1},  // truncated toward zero
      {"", 0, 0},
      {"AB", 7, 2},
      {std::string(70000, 'x'), 0, -32768},  // clamped to 16 bits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CenterOffset(c.text, c.width), c.offset)
        << c.text.size() << " in " << c.width;
  }
}

TEST(IsAllCharTest, Table) {
  const struct {
    const char* text;
    std::int16_t code;
    bool expected;
  } cases[] = {
      {"", 'x', true},
      {"---", '-', true},
      {"--a", '-', false},
      {"\xC4\xC4", 196, true},  // bytes above 127 compare by their value
      {"\xC4", -60, false},
      {"a", 'a' + 256, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAllChar(c.text, c.code), c.expected)
        << '"' << c.text << "\" code " << c.code;
  }
}

TEST(CopyToBufferTest, CopiesOverTheStartOrNothing) {
  const struct {
    const char* text;
    bool fits;
    const char* after;
  } cases[] = {
      {"abc", true, "abcXXX"},
      {"", true, "XXXXXX"},
      {"abcdef", true, "abcdef"},
      {"abcdefg", false, "XXXXXX"},  // too long: the buffer is left alone
  };
  for (const auto& c : cases) {
    std::string buffer = "XXXXXX";
    EXPECT_EQ(CopyToBuffer(c.text, buffer), c.fits) << c.text;
    EXPECT_EQ(buffer, c.after) << c.text;
  }
}

TEST(TextStackTest, PopsInReverseOrderWithTheStoredLayout) {
  FormatState format_state;
  const std::string binary("\x00\xFF", 2);
  ASSERT_TRUE(PushText(format_state, "AB"));
  ASSERT_TRUE(PushText(format_state, ""));
  ASSERT_TRUE(PushText(format_state, binary));
  EXPECT_EQ(format_state.text_stack, std::string("AB\x02\x00" "\x00\x00" "\x00\xFF\x02\x00", 10));
  EXPECT_EQ(PopText(format_state), binary);
  EXPECT_EQ(PopText(format_state), "");
  EXPECT_EQ(PopText(format_state), "AB");
  EXPECT_EQ(format_state.text_stack, "");
  EXPECT_EQ(PopText(format_state), "");  // empty stack
}

TEST(TextStackTest, LengthIsLittleEndian) {
  FormatState format_state;
  ASSERT_TRUE(PushText(format_state, std::string(300, 'x')));
  EXPECT_EQ(format_state.text_stack.substr(300), std::string("\x2C\x01", 2));
  EXPECT_EQ(PopText(format_state), std::string(300, 'x'));
}

TEST(TextStackTest, RefusesTextsWhoseLengthDoesNotFitTwoBytes) {
  FormatState format_state;
  ASSERT_TRUE(PushText(format_state, "keep"));
  EXPECT_FALSE(PushText(format_state, std::string(kMaxStackedText + 1, 'x')));
  ASSERT_TRUE(PushText(format_state, std::string(kMaxStackedText, 'y')));
  EXPECT_EQ(PopText(format_state), std::string(kMaxStackedText, 'y'));
  EXPECT_EQ(PopText(format_state), "keep");
}

TEST(TextStackTest, DamagedStackGivesWhatItHolds) {
  FormatState format_state;
  format_state.text_stack = std::string("AB\x09\x00", 4);
  EXPECT_EQ(PopText(format_state), "AB");
  EXPECT_EQ(format_state.text_stack, "");
  format_state.text_stack = "Z";
  EXPECT_EQ(PopText(format_state), "");
  EXPECT_EQ(format_state.text_stack, "");
}

}  // namespace
}  // namespace zov::format
