#include "format/packed.h"

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zov::format {
namespace {

std::string Bytes(std::vector<int> values) {
  std::string out;
  for (const int v : values) out += static_cast<char>(v);
  return out;
}

TEST(PackDigitsTest, Table) {
  const struct {
    const char* digits;
    std::vector<int> packed;
  } cases[] = {
      {"20060405", {148, 134, 132, 133}},
      {"9999", {0xE3, 0xE3}},
      {"123", {140, 158}},   // odd length: a "0" follows the last digit
      {" 12", {129, 148}},   // blanks trimmed, right-aligned: "012"
      {"12 ", {129, 148}},
      {"1 2", {138, 148}},   // an inner blank counts as 0: "102"
      {"  ", {128}},
      {"ab", {128}},         // non-digits count as 0
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PackDigits(c.digits), Bytes(c.packed)) << '"' << c.digits << '"';
  }
}

TEST(UnpackDigitsTest, Table) {
  const struct {
    std::vector<int> packed;
    const char* digits;
  } cases[] = {
      {{148, 134, 132, 133}, "20060405"},
      {{0x80}, "00"},
      {{0xE4}, "00"},  // 100 + 128: only two digits are kept
      {{0xFF}, "27"},
      {{0x7F}, "27"},  // the high bit is not required
      {{0x00}, "00"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnpackDigits(Bytes(c.packed)), c.digits) << c.digits;
  }
}

TEST(PackedDigitsTest, DigitTextsSurviveTheRoundTripAndKeepTheirOrder) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> digit(0, 9);
  std::string previous_digits, previous_packed;
  for (int i = 0; i < 2000; ++i) {
    std::string digits;
    for (int j = 0; j < 12; ++j) digits += static_cast<char>('0' + digit(rng));
    const std::string packed = PackDigits(digits);
    ASSERT_EQ(UnpackDigits(packed), digits);
    if (i > 0) {
      ASSERT_EQ(digits < previous_digits, packed < previous_packed) << digits;
    }
    previous_digits = digits;
    previous_packed = packed;
  }
}

TEST(ZeroPadTest, Table) {
  const struct {
    std::int64_t value;
    std::int16_t width;
    const char* expected;
  } cases[] = {
      {5, 2, "05"},
      {2006, 4, "2006"},
      {12345, 4, "2345"},  // only the rightmost digits remain
      {-5, 3, "005"},      // no sign
      {0, 3, "000"},
      {7, 0, ""},
      {7, -1, ""},
      {std::numeric_limits<std::int64_t>::min(), 20, "09223372036854775808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ZeroPad(c.value, c.width), c.expected)
        << c.value << " width " << c.width;
  }
}

}  // namespace
}  // namespace zov::format
