// The file of a prepared return, cut at the positions the agency publishes
// for DR303e26v101 (written out here, not read from the table), and the
// values that cannot be written.
#include "books/vat_return/return_file.h"

#include "books/vat_return/prepare_return.h"
#include "gtest/gtest.h"

namespace zov::books::vat {
namespace {

struct At {
  int offset;  // 0-based, in the whole file
  std::string text;
};

TEST(ReturnFileTest, FourthQuarterCutAtThePublishedPositions) {
  const Design* design = FindDesign(2026);
  ASSERT_NE(design, nullptr);
  OwnerFigures f;
  f.Start("0001", "MU\xA5OZ GARC\xD6" "A*JOS\x90");  // MUÑOZ GARCÍA*JOSÉ
  RateTotals& t = f.AtRate(2100);
  t.base = 300000;
  t.quota = 63000;
  t.lines = 3;
  t.negative_base = -50000;
  t.negative_quota = -10500;
  t.negative_lines = 1;
  f.quarter_lines = f.quarter_subject_lines = 4;
  f.year_subject_lines = 9;
  f.year_subject_base = 700000;
  f.year_exempt = 80000;
  const PreparedReturn r = PrepareReturn(*design, {{2026, 4}, "8612"}, f, "12345678Z");
  ASSERT_TRUE(r.liable);
  std::string bytes;
  ASSERT_TRUE(ReturnBytes(*design, r.values, r.annual, &bytes).ok());
  ASSERT_EQ(bytes.size(), 4765u);
  const int p1 = 328, p3 = p1 + 1581, p4 = p3 + 1017, did = p4 + 998, end = did + 823;
  const At expected[] = {
      {0, "<T303020264T0000><AUX>"},
      {92, "0100    "},
      {322, "</AUX><T30301000> I12345678ZMU\xD1OZ GARCIA JOSE "},
      {p1 + 102, "20264T223222222         2110"},
      {p1 + 130, "00000000000000000" "00000" "00000000000000000"},  // 150, 151, 152
      {p1 + 325, "00000000000300000" "02100" "00000000000063000"},  // 07, 08, 09
      {p1 + 432, "N0000000000050000" "N0000000000010500"},          // 14, 15
      {p1 + 483, "00175"},                                          // 157
      {p1 + 695, "00000000000052500"},                              // 27
      {p1 + 1001, "0000000000000000000000000000052500"},            // 45, 46
      {p1 + 1569, "</T30301000><T30303000>"},
      {p3 + 198, "00000000000052500" "10000" "00000000000052500"},  // 64, 65, 66
      {p3 + 339, "00000000000052500"},                              // 69
      {p3 + 407, "00000000000052500  "},                            // 71, without activity, rectifying
      {p3 + 1005, "</T30303000><T30304000> A018612"},
      {p4 + 54, " 0000000000000000000000000"},                      // 347 mark, 89-92, 107
      {p4 + 80, "00000000000700000"},                               // 80
      {p4 + 148, "00000000000080000"},                              // 83
      {p4 + 369, "00000000000780000"},                              // 88
      {p4 + 986, "</T30304000><T303DID00>"},
      {did + 193, "0"},
      {did + 811, "</T303DID00></T303020264T0000>"},
  };
  for (const At& a : expected)
    EXPECT_EQ(bytes.substr(static_cast<std::size_t>(a.offset), a.text.size()), a.text) << "offset " << a.offset;
  EXPECT_EQ(end + 18, 4765);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    EXPECT_TRUE((b >= 0x20 && b < 0x7F) || b == 0xD1 || b == 0xC7) << int{b};
  }

  // The first quarters: no annual page, both marks 0.
  const PreparedReturn q1 = PrepareReturn(*design, {{2026, 1}, "8612"}, f, "12345678Z");
  ASSERT_TRUE(ReturnBytes(*design, q1.values, q1.annual, &bytes).ok());
  ASSERT_EQ(bytes.size(), 3767u);
  EXPECT_EQ(bytes.substr(p1 + 102, 28), "20261T223222222         2000");
  EXPECT_EQ(bytes.substr(p3 + 1005, 23), "</T30303000><T303DID00>");
  EXPECT_EQ(bytes.substr(3767 - 18), "</T303020261T0000>");
}

// A value the design cannot hold stops the file, naming where; nothing is
// cut to fit.
TEST(ReturnFileTest, ValuesThatCannotBeWrittenAreRefused) {
  const Design* design = FindDesign(2026);
  struct Case {
    std::string what;
    void (*spoil)(ReturnValues&);
    std::string message;
  } cases[] = {
      {"a base of 18 digits", [](ReturnValues& v) { v.SetAmount("07", 100000000000000000); }, "page 1, position 326 (07)"},
      {"a negative base", [](ReturnValues& v) { v.SetAmount("01", -1); }, "page 1, position 209 (01)"},
      {"a result beyond 16 digits", [](ReturnValues& v) { v.SetAmount("71", -10000000000000000); },
       "page 3, position 408 (71)"},
      {"a NIF of ten characters", [](ReturnValues& v) { v.SetText("NIF", "123456789Z"); }, "page 1, position 14 (NIF)"},
      {"a number for a text", [](ReturnValues& v) { v.SetAmount("NOMBRE", 1); }, "a number given for a text field"},
      {"a text for a number", [](ReturnValues& v) { v.SetText("07", "1"); }, "a text given for a number field"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReturnValues v;
    v.SetText("NIF", "12345678Z");
    c.spoil(v);
    std::string bytes = "old";
    const platform::Status s = ReturnBytes(*design, v, false, &bytes);
    EXPECT_TRUE(s.IsInvalidArgument());
    EXPECT_NE(s.message().find(c.message), std::string::npos) << s.message();
  }
}

TEST(ReturnFileTest, NamesTellOwnerModelAndPeriodApart) {
  EXPECT_EQ(ReturnFileName("B08222341", 2026, "4T"), "B08222341_303_2026_4T.txt");
  EXPECT_EQ(ReturnFileName("X1234567L", 2026, "1T"), "X1234567L_303_2026_1T.txt");
}

}  // namespace
}  // namespace zov::books::vat
