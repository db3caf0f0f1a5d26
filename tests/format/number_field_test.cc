#include "format/number_field.h"

#include <climits>
#include <limits>

#include <gtest/gtest.h>

namespace zov::format {
namespace {

TEST(NumberFieldTest, Table) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* picture;
    const char* expected;
  } cases[] = {
      {-12.5, "8.2", "-0000012.50"},
      {12.5, "8.2V", "0000001250"},
      {12.5, "8.2v", "0000001250"},
      {12.5, "8.2SV", "+000001250"},
      {-12.5, "8.2SV", "-000001250"},
      {-3, "5M", "N0003"},
      {3, "5M", " 0003"},
      {-3, "5N", "N0003"},
      {3, "5N", "00003"},
      {2.5, "3.0", "002"},  // half to even
      {3.5, "3.0", "004"},
      {0.25, ".1", ".2"},
      {7, "3.", "007"},
      {1234, "2", "34"},  // only the rightmost W digits
      {0.5, "Z", "0.5"},
      {-2.5, "N", "N2.5"},
      {2, "S", "+2"},
      {-2, "S", "-2"},
      {1.1, "", "1.1"},  // the shortest exact decimals, no binary noise
      {1e-5, "", ".00001"},
      {100, "", "100"},
      {nan, "8.2", "!!!!!!!!!!!"},
      {inf, "5.2V", "!!!!!!!"},
      {-inf, "", "!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberField(c.value, c.picture), c.expected)
        << c.value << " \"" << c.picture << '"';
  }
}

TEST(HundredthsTextTest, Table) {
  const struct {
    std::int64_t hundredths;
    std::size_t width;
    const char* expected;
  } cases[] = {
      {123456, 0, "1234,56"},         {5, 0, "0,05"},       {0, 0, "0,00"},  {-5, 0, "-0,05"},
      {-1205, 0, "-12,05"},           {2100, 4, "  21,00"}, {-50, 4, "  -0,50"},
      {123456, 12, "        1234,56"},
      {123456789012345, 12, "1234567890123,45"},  // wider than the field: not cut
      {INT64_MIN, 0, "-92233720368547758,08"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HundredthsText(c.hundredths, c.width), c.expected) << c.hundredths << " in " << c.width;
  }
}

TEST(NumberTextTest, Table) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {2.5, "2.5"}, {0.1, ".1"}, {4, "4"}, {-2, "-2"}, {0, ""}, {-0.0, ""},
      {3, "3"},  // the register's quarter number
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberText(c.value), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace zov::format
