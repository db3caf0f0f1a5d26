#include "tools/demo/demo_ids.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace zov::tools::demo {
namespace {

TEST(DemoIdsTest, DniCheckLettersOfKnownNumbers) {
  struct Case {
    uint32_t number;
    std::string nif;
  };
  const Case cases[] = {
      {12345678, "12345678Z"}, {0, "00000000T"},  {1, "00000001R"},
      {22, "00000022E"},       {23, "00000023T"}, {99999999, "99999999R"},
  };
  for (const Case& c : cases) EXPECT_EQ(Dni(c.number), c.nif) << "number " << c.number;
}

TEST(DemoIdsTest, NieCountsItsPrefixAsALeadingDigit) {
  struct Case {
    int prefix;
    uint32_t number;
    std::string nie;
  };
  const Case cases[] = {
      {0, 1234567, "X1234567L"},
      {1, 1234567, "Y1234567X"},
      {2, 1234567, "Z1234567R"},
      {0, 0, "X0000000T"},
  };
  for (const Case& c : cases) EXPECT_EQ(Nie(c.prefix, c.number), c.nie) << "prefix " << c.prefix << " number " << c.number;
}

TEST(DemoIdsTest, CifControlIsADigitOrALetterByEntity) {
  struct Case {
    char kind;
    uint32_t number;
    std::string cif;
  };
  const Case cases[] = {
      {'A', 5881850, "A58818501"},  // a limited company
      {'B', 1234567, "B12345674"},
      {'Q', 2826000, "Q2826000H"},  // a public body: always a letter
      {'P', 801900, "P0801900B"},   // a town council: leading zero kept
      {'R', 1234567, "R1234567D"},
      {'J', 1234567, "J12345674"},
      {'B', 0, "B00000000"},        // a sum of 0 gives control 0, not 10
  };
  for (const Case& c : cases) EXPECT_EQ(Cif(c.kind, c.number), c.cif) << c.kind << " " << c.number;
}

TEST(DemoIdsTest, CadastralControlLettersOfPublishedReferences) {
  const std::string references[] = {
      "9872023VH5797S0001WX",  // urban: parcel, map sheet, unit
      "4A08169P03PRAT0001LR",  // letters in the parcel part count too
  };
  for (const std::string& ref : references) {
    EXPECT_EQ(CadastralControl(ref.substr(0, 18)), ref.substr(18)) << ref;
  }
  EXPECT_EQ(CadastralControl("TOO SHORT"), "  ");
}

TEST(DemoIdsTest, SameSeedSameStreamAndForksDoNotShiftEachOther) {
  DemoRandom a(99), b(99), c(100);
  std::vector<uint64_t> from_a, from_b, from_c;
  for (int i = 0; i < 16; ++i) {
    from_a.push_back(a.Next());
    from_b.push_back(b.Next());
    from_c.push_back(c.Next());
  }
  EXPECT_EQ(from_a, from_b);
  EXPECT_NE(from_a, from_c);

  // What one fork draws does not change what a sibling fork draws.
  DemoRandom root(5);
  DemoRandom first = root.Fork(1);
  for (int i = 0; i < 100; ++i) first.Next();
  DemoRandom second = root.Fork(2);
  DemoRandom second_again = DemoRandom(5).Fork(2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(second.Next(), second_again.Next());
  EXPECT_NE(DemoRandom(5).Fork(1).Next(), DemoRandom(5).Fork(2).Next());
}

TEST(DemoIdsTest, RangesStayInsideTheirBoundsAndReachThem) {
  struct Case {
    int32_t low, high;
  };
  const Case cases[] = {{0, 0}, {1, 2}, {-5, 5}, {1000000, 79999999}, {7, 3}};
  DemoRandom rnd(1);
  for (const Case& c : cases) {
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
      const int32_t v = rnd.Between(c.low, c.high);
      const int32_t top = c.high < c.low ? c.low : c.high;
      ASSERT_GE(v, c.low) << c.low << ".." << c.high;
      ASSERT_LE(v, top) << c.low << ".." << c.high;
      seen.insert(v);
    }
    if (c.high - c.low <= 10 && c.high >= c.low) {
      EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.high - c.low + 1)) << c.low << ".." << c.high;
    }
  }
  EXPECT_EQ(rnd.Below(0), 0u);
  int hits = 0;
  for (int i = 0; i < 1000; ++i) hits += rnd.Percent(0) ? 1 : 0;
  for (int i = 0; i < 1000; ++i) hits += rnd.Percent(100) ? 0 : 1;
  EXPECT_EQ(hits, 0);
}

}  // namespace
}  // namespace zov::tools::demo
