#include "format/mask.h"

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/format/fake_settings.h"

namespace zov::format {
namespace {

struct MaskCase {
  const char* mask;
  double value;
  const char* expected;  // with the default separators "'" and "."
};

const MaskCase kMaskCases[] = {
    {"Z9.99", 21, "21'00"},
    {"Z9.99", 4, " 4'00"},
    {"Z9.99", 0, " 0'00"},
    {"Z9.99", 123, "123'0"},  // does not fit: decimals cut from the right
    {"Z9.99", 100000, "!!!!!"},
    {"ZZZ9", 7, "   7"},
    {"ZZZ9", 0, "   0"},
    {"ZZZ9", 10000, "!!!!"},
    {"ZZZZ", 0, "    "},
    {"ZZZZ", 0.3, "   0"},  // not exactly zero: its rounded zero shows
    {"ZZZ9", 2.5, "   2"},  // half to even
    {"ZZZ9", 3.5, "   4"},
    {"Z9.99", 0.125, " 0'12"},
    {"Z9.99", 0.375, " 0'38"},
    {"Z9.ZZ", 1.5, " 1'5 "},  // trailing zero decimal suppressed
    {"Z9.ZZ", 1, " 1   "},    // and the point with it
    {"ZZZ9-", -0.001, "   0-"},
    {"***,**9.99", 1234.5, "**1.234'50"},
    {"+ZZ9", 5, "+  5"},
    {"+ZZ9", -5, "-  5"},
    {"99", -5, "-5"},  // floating minus in the first free position
    {"9", -5, "!"},    // no room for it
    {"", 5, ""},
    {"Z9.99", -0.05, " -'05"},
    {"zz9", 5, "  5"},
    {"Z9.99 %", 21, "21'00 %"},
    {"ZZ,ZZZ,ZZ9.99-", 1234.56, "     1.234'56 "},
    {"ZZ9.99-", -1234.5, "-1234'5"},
    {"ZZ9-", -1000, "!!!!"},  // four digits fit, the minus does not
    {"ZZ9.99-", 1e300, "!!!!!!!"},
};

TEST(FormatMaskTest, DefaultSeparators) {
  for (const MaskCase& c : kMaskCases) {
    FormatState format_state;
    EXPECT_EQ(FormatMask(format_state, c.mask, c.value), c.expected)
        << "mask \"" << c.mask << "\" value " << c.value;
  }
}

TEST(FormatMaskTest, DecimalSeparatorFromSettings) {
  for (const MaskCase& c : kMaskCases) {
    FakeSettings settings({{"DecCaracter", ","}});
    FormatState format_state;
    format_state.settings = &settings;
    std::string expected = c.expected;
    for (char& ch : expected) {
      if (ch == '\'') ch = ',';
    }
    EXPECT_EQ(FormatMask(format_state, c.mask, c.value), expected)
        << "mask \"" << c.mask << "\" value " << c.value;
  }
}

TEST(FormatMaskTest, NotANumberAndInfinityDoNotFit) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const double v : values) {
    FormatState format_state;
    EXPECT_EQ(FormatMask(format_state, "Z9.99", v), "!!!!!") << v;
    EXPECT_EQ(FormatMask(format_state, "", v), "") << v;
    EXPECT_EQ(FormatAmount(format_state, "Z,ZZZ,ZZZ,ZZ9-", v), "!!!!!!!!!!!!!!") << v;
  }
}

struct SeparatorCase {
  const char* dec;  // nullptr: key missing
  const char* mil;
  char decimal;
  char thousands;
};

TEST(FormatMaskTest, SeparatorSettings) {
  const SeparatorCase cases[] = {
      {nullptr, nullptr, '\'', '.'},
      {"", "", '\'', '.'},
      {" ", "   ", '\'', '.'},
      {",", " ", ',', '.'},
      {";x", "'", ';', '\''},
      {".", ",", '.', ','},
      // A digit or control byte would merge into the number: the defaults.
      {"9", "0", '\'', '.'},
      {"\t", "\x7F", '\'', '.'},
  };
  for (const SeparatorCase& c : cases) {
    FakeSettings settings;
    if (c.dec != nullptr) settings.values["DecCaracter"] = c.dec;
    if (c.mil != nullptr) settings.values["MilCaracter"] = c.mil;
    FormatState format_state;
    format_state.settings = &settings;
    const std::string expected = std::string("     1") + c.thousands + "234" +
                                 c.decimal + "56 ";
    EXPECT_EQ(FormatAmount(format_state, "Z,ZZZ,ZZZ,ZZ9-", 123456), expected)
        << "DecCaracter " << (c.dec ? c.dec : "(missing)") << " MilCaracter "
        << (c.mil ? c.mil : "(missing)");
    const bool unusable = c.dec != nullptr && (c.dec[0] == '9' || c.dec[0] == '\t');
    EXPECT_EQ(format_state.warnings.size(), unusable ? 2u : 0u) << (c.dec ? c.dec : "(missing)");
  }
}

TEST(FormatMaskTest, SeparatorsAreReadOncePerRun) {
  FakeSettings settings({{"DecCaracter", ","}, {"MilCaracter", " "}});
  FormatState format_state;
  format_state.settings = &settings;
  EXPECT_EQ(FormatMask(format_state, "Z9.99", 21), "21,00");
  settings.values["DecCaracter"] = ";";  // a change during the run is not seen
  EXPECT_EQ(FormatMask(format_state, "Z9.99", 21), "21,00");
  EXPECT_EQ(FormatMask(format_state, "ZZ,ZZ9", 1234), " 1.234");
  EXPECT_EQ(settings.reads, 2);
}

struct AmountCase {
  const char* pattern;
  double amount;
  const char* expected;
};

TEST(FormatAmountTest, Euros) {
  const AmountCase cases[] = {
      {"Z,ZZZ,ZZZ,ZZ9-", 123456, "     1.234'56 "},
      {"Z,ZZZ,ZZZ,ZZ9-", -123456, "     1.234'56-"},
      {"Z,ZZZ,ZZZ,ZZ9-", 0, "         0'00 "},
      {"Z,ZZZ,ZZZ,ZZ9-", 5, "         0'05 "},
      {"Z,ZZZ,ZZZ,ZZ9-", 1234567890, "12.345.678'90 "},
      {"Z,ZZZ,ZZZ,ZZ9-", 99999999999, "  999999999'99"},
      {"Z,ZZZ,ZZZ,ZZ9-", -100000000000, "-1000000000'00"},
      {"Z,ZZZ,ZZZ,ZZ9-", 1234567890123, "12345678901'23"},
      {"Z,ZZZ,ZZZ,ZZ9-", 123456789012345600, "!!!!!!!!!!!!!!"},
      {"ZZZZ", 0, "    "},  // no "9": a zero amount is blank
      {"*,***,**9", 123456, "*1.234'56"},
      {"-ZZZ9", -150, "-1'50"},
      {"-ZZZ9", 150, " 1'50"},
      {"ZZZ9+", 150, "1'50+"},
      {"", 150, ""},
  };
  for (const AmountCase& c : cases) {
    FormatState format_state;
    SetCurrency(format_state, "a,E");
    SetCurrency(format_state, "p");
    EXPECT_EQ(FormatAmount(format_state, c.pattern, c.amount), c.expected)
        << "pattern \"" << c.pattern << "\" amount " << c.amount;
  }
}

TEST(FormatAmountTest, Pesetas) {
  const AmountCase cases[] = {
      {"Z,ZZZ,ZZZ,ZZ9-", 123456, "      205.414 "},
      {"Z,ZZZ,ZZZ,ZZ9-", 601, "        1.000 "},
      {"Z,ZZZ,ZZZ,ZZ9-", -601, "        1.000-"},
      {"Z,ZZZ,ZZZ,ZZ9-", 0, "            0 "},
  };
  for (const AmountCase& c : cases) {
    FormatState format_state;
    SetCurrency(format_state, "a,E");
    SetCurrency(format_state, "x,P");
    SetCurrency(format_state, "p");
    EXPECT_EQ(FormatAmount(format_state, c.pattern, c.amount), c.expected)
        << "pattern \"" << c.pattern << "\" amount " << c.amount;
  }
}

// Every amount that fits the register's pattern must come out as its
// integer digits say: the double scaling may not lose or gain a cent.
TEST(FormatAmountTest, AgreesWithIntegerDigitsForEveryAmountThatFits) {
  auto by_integers = [](std::int64_t amount) {
    const std::int64_t magnitude = amount < 0 ? -amount : amount;
    std::string units = std::to_string(magnitude / 100);
    for (auto i = static_cast<std::ptrdiff_t>(units.size()) - 3; i > 0; i -= 3) {
      units.insert(static_cast<std::size_t>(i), 1, '.');
    }
    const std::int64_t cents = magnitude % 100;
    std::string text = units + "'" + (cents < 10 ? "0" : "") + std::to_string(cents);
    text.insert(0, 13 - text.size(), ' ');
    return text + (amount < 0 ? "-" : " ");
  };
  for (const unsigned seed : {1u, 2u, 3u}) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int64_t> any(-9999999999, 9999999999);
    std::uniform_int_distribution<std::int64_t> small(-100000, 100000);
    FormatState format_state;
    for (int i = 0; i < 20000; ++i) {
      const std::int64_t amount = (i % 2 == 0) ? any(rng) : small(rng);
      ASSERT_EQ(FormatAmount(format_state, "Z,ZZZ,ZZZ,ZZ9-", static_cast<double>(amount)),
                by_integers(amount))
          << "amount " << amount << " seed " << seed;
    }
  }
}

struct CurrencyCase {
  std::vector<const char*> calls;
  const char* accounting;
  const char* alternate;
  const char* display;
};

TEST(SetCurrencyTest, Sequences) {
  const CurrencyCase cases[] = {
      {{"a,E"}, "E", "", "E"},
      {{"a,E", "p"}, "E", "", "E"},  // no alternate: "p" shows euros
      {{"a,E", "P"}, "E", "", "E"},
      {{"a,E", "x,P", "p"}, "E", "P", "P"},
      {{"a,E", "x,P", "p", ""}, "E", "P", "E"},
      {{"A, e "}, "E", "", "E"},
      {{"a,"}, "", "", ""},
      {{"a,E", "b,  "}, "E", "", "E"},
      {{""}, "", "", ""},
  };
  for (const CurrencyCase& c : cases) {
    FormatState format_state;
    std::string trace;
    for (const char* choice : c.calls) {
      SetCurrency(format_state, choice);
      trace += std::string("\"") + choice + "\" ";
    }
    EXPECT_EQ(format_state.accounting_currency, c.accounting) << trace;
    EXPECT_EQ(format_state.alternate_currency, c.alternate) << trace;
    EXPECT_EQ(format_state.display_currency, c.display) << trace;
  }
}

}  // namespace
}  // namespace zov::format
