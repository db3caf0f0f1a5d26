#include "format/codes.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "format/packed.h"

namespace zov::format {
namespace {

TEST(CodeToKeyTest, Table) {
  const struct {
    const char* code;
    const char* digits;  // of the packed key
  } cases[] = {
      {"43", "0043"},
      {"43.12", "00430012"},
      {"123456", "123456"},           // six characters alone: six wide
      {"123456.7890", "1234567890"},  // eleven characters, one ".": six wide
      {"1234.567890", "0012347890"},  // ... whichever group is long
      {"1.2.3", "000100020003"},
      {"43.12.5", "004300120005"},
      {"43..12", "004300000012"},
      {"43.", "0043"},  // a blank or empty tail adds no group
      {"43. ", "0043"},
      {" 43", "0043"},
      {"12345678", "5678"},  // only the rightmost four digits of a group
      {"12345.6789", "23456789"},
      {"A", "0000"},
      {"", ""},
      {"   ", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnpackDigits(CodeToKey(c.code)), c.digits) << '"' << c.code << '"';
  }
}

TEST(KeyToCodeTest, Table) {
  const struct {
    const char* digits;  // of the packed key
    const char* code;
  } cases[] = {
      {"00430012", "43.12"},
      {"00430000", "43"},
      {"00000000", ""},
      {"000000050000", "0.5"},
      {"004300000012", "43.0.12"},  // an inner zero group stays
      {"000100010001", "1.1.1"},
      {"999999999999", "9999.9999.9999"},
      {"0043", "43"},
      {"123456", "123456"},  // a leftover pair joins the leftmost group
      {"1234567890", "123456.7890"},
      {"05", "05"},  // one byte keeps its two digits
      {"00", ""},
      {"000000000005", ""},  // reads as zero: leftmost and second group 0
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyToCode(PackDigits(c.digits)), c.code) << c.digits;
  }
}

TEST(KeyToCodeTest, PropertyKeysSurviveTheRoundTrip) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> group(1, 9999);
  std::uniform_int_distribution<int> inner(0, 9999);
  for (int i = 0; i < 2000; ++i) {
    const std::string digits = std::to_string(10000 + group(rng)).substr(1) +
                               std::to_string(10000 + inner(rng)).substr(1) +
                               std::to_string(10000 + group(rng)).substr(1);
    const std::string key = PackDigits(digits);
    ASSERT_EQ(CodeToKey(KeyToCode(key)), key)
        << digits << " shown as " << KeyToCode(key);
  }
}

}  // namespace
}  // namespace zov::format
