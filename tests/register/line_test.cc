#include "register/line.h"

#include <climits>

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

struct Amounts {
  int32_t total, excluded, stored_base, vat, withholding, paid;
};

ReceiptRecord With(const Amounts& a) {
  ReceiptRecord r;
  r.SetTotalAmount(a.total);
  r.SetExcludedAmount(a.excluded);
  r.SetStoredTaxBase(a.stored_base);
  r.SetVatAmount(a.vat);
  r.SetWithholdingAmount(a.withholding);
  r.SetPaidAmount(a.paid);
  return r;
}

TEST(LineTest, ExemptAndBaseByContractKind) {
  struct Case {
    Amounts in;
    std::string_view kind;
    int64_t exempt, base, invoice_total;
  } cases[] = {
      {{100000, 0, 50000, 0, 0, 0}, "V", 0, 100000, 100000},
      {{100000, 0, 50000, 0, 0, 0}, "P", 0, 100000, 100000},
      {{100000, 0, 50000, 0, 0, 0}, "L", 50000, 50000, 50000},
      {{102000, 0, 100000, 21000, -19000, 0}, "L", 0, 100000, 102000},
      {{102000, 0, 100000, 21000, -19000, 0}, "V", 0, 100000, 102000},
      {{102000, 2000, 100000, 21000, -19000, 0}, "P", 0, 98000, 100000},
      // Blank (no contract record), lower case and other kinds use the stored base.
      {{102000, 2000, 90000, 21000, -19000, 0}, " ", 8000, 90000, 92000},
      {{100000, 0, 50000, 0, 0, 0}, "v", 50000, 50000, 50000},
      {{100000, 0, 50000, 0, 0, 0}, "C", 50000, 50000, 50000},
      // 32-bit extremes do not wrap.
      {{INT32_MAX, INT32_MIN, 0, 0, INT32_MIN, 0}, "V", 0, 3LL * INT32_MAX + 2, 3LL * INT32_MAX + 2 + INT32_MIN},
      {{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, 0}, "L",
       int64_t{INT32_MAX} - 4LL * INT32_MIN, INT32_MIN, 3LL * INT32_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind '" << c.kind << "' total " << c.in.total << " excluded "
                                    << c.in.excluded << " stored " << c.in.stored_base);
    const ReceiptRecord r = With(c.in);
    const LineAmounts a = ComputeLine(r, c.kind);
    EXPECT_EQ(a.exempt, c.exempt);
    EXPECT_EQ(a.tax_base, c.base);
    EXPECT_EQ(InvoiceTotal(r, a), c.invoice_total);
  }
}

TEST(LineTest, ExcludedAmountAbsorbsThePaymentFirst) {
  struct Case {
    int32_t total, excluded, paid;
    int64_t paid_part, unpaid_part;
  } cases[] = {
      {100000, 50000, 30000, 0, 50000},
      {100000, 50000, 80000, 30000, 20000},
      {100000, 100000, 100000, 0, 0},
      {100000, 0, 0, 0, 100000},
      {100000, -5000, 10000, 15000, 90000},
      {INT32_MAX, INT32_MIN, INT32_MAX, 2LL * INT32_MAX + 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "total " << c.total << " excluded " << c.excluded << " paid " << c.paid);
    const ReceiptRecord r = With({c.total, c.excluded, 0, 0, 0, c.paid});
    EXPECT_EQ(PaidPart(r), c.paid_part);
    EXPECT_EQ(UnpaidPart(r), c.unpaid_part);
  }
}

TEST(LineTest, ReceiptSelection) {
  RunParameters base;
  base.class_from = P("0002");
  base.class_to = P("0005");
  struct Case {
    const char* what;
    std::string class_from, class_to, class_code, status, trailing;
    int32_t total, excluded, paid;
    bool selected;
  } cases[] = {
      {"inside", P("0002"), P("0005"), P("0003"), "C", P("0101"), 1000, 0, 0, true},
      {"at the lower class", P("0002"), P("0005"), P("0002"), "C", P("0101"), 1000, 0, 0, true},
      {"at the upper class", P("0002"), P("0005"), P("0005"), "C", P("0101"), 1000, 0, 0, true},
      {"below the classes", P("0002"), P("0005"), P("0001"), "C", P("0101"), 1000, 0, 0, false},
      {"above the classes", P("0002"), P("0005"), P("0006"), "C", P("0101"), 1000, 0, 0, false},
      {"empty lower class accepts all", "", P("0005"), P("0000"), "C", P("0101"), 1000, 0, 0, true},
      {"empty upper class refuses all", "", "", P("0000"), "C", P("0101"), 1000, 0, 0, false},
      {"short upper bound is a prefix", "", P("00"), P("0000"), "C", P("0101"), 1000, 0, 0, false},
      {"pending", "", P("99"), P("0001"), "P", P("0101"), 1000, 0, 0, true},
      {"other state, unpaid", "", P("99"), P("0001"), "X", P("0101"), 1000, 0, 0, false},
      {"lower-case c", "", P("99"), P("0001"), "c", P("0101"), 1000, 0, 0, false},
      {"other state, paid 1", "", P("99"), P("0001"), "X", P("0101"), 1000, 0, 1, true},
      {"trailing blanks refused", "", P("99"), P("0001"), "C", "  ", 1000, 0, 0, false},
      {"trailing zero bytes refused", "", P("99"), P("0001"), "C", std::string(2, '\0'), 1000, 0, 0, false},
      {"lowest trailing code", "", P("99"), P("0001"), "C", "\x20\x80", 1000, 0, 0, true},
      {"highest trailing code", "", P("99"), P("0001"), "C", "\xE3\xE3", 1000, 0, 0, true},
      {"past the highest", "", P("99"), P("0001"), "C", "\xE3\xE4", 1000, 0, 0, false},
      {"both parts zero", "", P("99"), P("0001"), "C", P("0101"), 5000, 5000, 3000, false},
      {"unpaid part only", "", P("99"), P("0001"), "C", P("0101"), 5000, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunParameters p;
    p.class_from = c.class_from;
    p.class_to = c.class_to;
    ReceiptRecord r = With({c.total, c.excluded, 0, 0, 0, c.paid});
    r.SetClassCode(c.class_code);
    r.SetStatusCode(c.status);
    r.SetTrailingCode(c.trailing);
    EXPECT_EQ(ReceiptSelected(p, r), c.selected);
  }
}

TEST(VatSummaryTest, TwelfthRateIsLeftOutAndRatesKeepFirstAppearanceOrder) {
  VatSummary s;
  s.Clear();
  for (int i = 0; i < 12; ++i) {
    const auto rate = static_cast<int16_t>(2100 - i * 100);
    EXPECT_EQ(s.Add(rate, 1, 10, 100, -1000), i < 11) << "rate " << rate;
  }
  EXPECT_TRUE(s.Add(2100, 1, 10, 100, -1000));
  EXPECT_EQ(s.slots[0].rate, 2100);
  EXPECT_EQ(s.slots[0].tax_base, 20);
  EXPECT_EQ(s.slots[0].withholding, -2000);
  EXPECT_EQ(s.slots[10].rate, 1100);
  EXPECT_EQ(s.slots[10].vat, 100);
  s.Clear();
  EXPECT_FALSE(s.slots[0].used);
  EXPECT_EQ(s.slots[0].rate, -1);
  EXPECT_EQ(s.slots[0].tax_base, 0);
}

TEST(VatSummaryTest, SumsAreSixtyFourBit) {
  VatSummary s;
  for (int i = 0; i < 3; ++i) s.Add(2100, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN);
  EXPECT_EQ(s.slots[0].tax_base, 3LL * INT32_MAX);
  EXPECT_EQ(s.slots[0].withholding, 3LL * INT32_MIN);
}

// A line whose stored rate is -1 must not leave its sums in a slot that the
// next rate then takes over.
TEST(VatSummaryTest, RateMinusOneKeepsItsOwnSlot) {
  VatSummary s;
  s.Add(-1, 5, 50, 0, 0);
  s.Add(2100, 1, 10, 2, 0);
  EXPECT_EQ(s.slots[0].rate, -1);
  EXPECT_EQ(s.slots[0].tax_base, 50);
  EXPECT_EQ(s.slots[1].rate, 2100);
  EXPECT_EQ(s.slots[1].tax_base, 10);
}

}  // namespace
}  // namespace zov::reg
