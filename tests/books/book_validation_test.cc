#include "books/book_validation.h"

#include <functional>

#include "gtest/gtest.h"
#include "tests/books/cells.h"

namespace zov::books {
namespace {

// A business-premises lease in the unified book of 2026: key 11, S1 at 21 %,
// 19 % withheld, a property in Barcelona with its cadastral reference.
BookRow LeaseRow() {
  BookRow row;
  row[kExercise] = Cell::Whole(2026);
  row[kPeriod] = Cell::Text("2T");
  row[kActivityCode] = Cell::Text("A");
  row[kActivityType] = Cell::Text("01");
  row[kEpigraph] = Cell::Text("8612");
  row[kInvoiceType] = Cell::Text("F1");
  row[kIncomeConcept] = Cell::Text("I01");
  row[kComputableIncome] = Cell::Amount(100000);
  row[kIssueDate] = Cell::Date(20260501);
  row[kNumber] = Cell::Text("26050001");
  row[kRecipientId] = Cell::Text("B08222341");
  row[kRecipientName] = Cell::Text("BAR EL RACO SL");
  row[kOperationKey] = Cell::Text("11");
  row[kQualification] = Cell::Text("S1");
  row[kTotal] = Cell::Amount(121000);
  row[kTaxBase] = Cell::Amount(100000);
  row[kVatRate] = Cell::Amount(2100);
  row[kVatAmount] = Cell::Amount(21000);
  row[kWithholdingRate] = Cell::Amount(1900);
  row[kWithholdingAmount] = Cell::Amount(19000);
  row[kSituation] = Cell::Text("1");
  row[kCadastralReference] = Cell::Text("9872023VH5797S0001WX");
  return row;
}

// A let dwelling: key 01, exempt E1, no VAT.
BookRow DwellingRow() {
  BookRow row = LeaseRow();
  row[kOperationKey] = Cell::Text("01");
  row[kQualification] = Cell{};
  row[kExemption] = Cell::Text("E1");
  row[kTotal] = Cell::Amount(100000);
  row[kVatRate] = Cell{};
  row[kVatAmount] = Cell{};
  row[kWithholdingRate] = Cell{};
  row[kWithholdingAmount] = Cell{};
  row[kRecipientId] = Cell::Text("12345678Z");
  return row;
}

std::vector<std::string> RulesOf(const BookRow& row, BookType type = BookType::kUnified, int quarter = 4) {
  std::vector<Finding> found;
  ValidateRow(row, {type, {2026, quarter}}, &found);
  std::vector<std::string> rules;
  for (const Finding& f : found) {
    EXPECT_EQ(f.severity, Severity::kError);
    EXPECT_EQ(f.message.rfind(std::string(f.rule) + ": ", 0), 0u) << f.message;
    rules.emplace_back(f.rule);
  }
  return rules;
}

TEST(BookValidationTest, WellFormedRowsPass) {
  EXPECT_EQ(RulesOf(LeaseRow()), std::vector<std::string>{});
  EXPECT_EQ(RulesOf(DwellingRow()), std::vector<std::string>{});
  BookRow vat_book = LeaseRow();
  for (int c : {kIncomeConcept, kComputableIncome, kWithholdingRate, kWithholdingAmount}) vat_book[c] = Cell{};
  EXPECT_EQ(RulesOf(vat_book, BookType::kVat), std::vector<std::string>{});
}

// Each validation: a change that still passes (where there is an exception
// to show) and one that breaks it; a broken row names exactly its rule.
TEST(BookValidationTest, EachRuleOnePassingAndOneBreakingRow) {
  struct Case {
    std::string what;
    std::function<BookRow()> row;
    std::vector<std::string> rules;  // empty: passes
    BookType type = BookType::kUnified;
  } cases[] = {
      {"V1 operation date differing from the issue date", [] { auto r = LeaseRow(); r[kOperationDate] = Cell::Date(20260430); return r; }, {}},
      {"V1 operation date equal to the issue date", [] { auto r = LeaseRow(); r[kOperationDate] = Cell::Date(20260501); return r; }, {"V1"}},
      {"V25 issued before the operation", [] { auto r = LeaseRow(); r[kOperationDate] = Cell::Date(20260502); r[kExercise] = Cell::Whole(2026); return r; }, {"V25"}},
      {"V2 Spanish NIF with a wrong letter", [] { auto r = DwellingRow(); r[kRecipientId] = Cell::Text("12345678A"); return r; }, {"V2"}},
      {"V2 Spanish NIF with a country", [] { auto r = DwellingRow(); r[kRecipientCountry] = Cell::Text("ES"); return r; }, {"V2"}},
      {"V2 foreign id type 06 with its country", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("06"); r[kRecipientCountry] = Cell::Text("MA"); r[kRecipientId] = Cell::Text("X123456"); return r; }, {}},
      {"V2 foreign id without country", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("06"); r[kRecipientId] = Cell::Text("X123456"); return r; }, {"V2"}},
      {"V2 foreign id with an unknown country", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("06"); r[kRecipientCountry] = Cell::Text("XX"); r[kRecipientId] = Cell::Text("X1"); return r; }, {"V2"}},
      {"V2 id type outside the list", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("07"); r[kRecipientCountry] = Cell::Text("MA"); return r; }, {"V2"}},
      {"V3 rate of 100 or more", [] { auto r = LeaseRow(); r[kWithholdingRate] = Cell::Amount(10000); return r; }, {"V3"}},
      {"V3 amount beyond ten whole digits", [] { auto r = DwellingRow(); r[kTotal] = Cell::Amount(1000000000000); r[kTaxBase] = r[kTotal]; r[kComputableIncome] = r[kTotal]; return r; }, {"V3", "V3", "V3"}},
      {"V3 text in an amount column", [] { auto r = DwellingRow(); r[kTotal] = Cell::Text("1000,00"); return r; }, {"V3", "V37"}},
      {"V4 name longer than 40", [] { auto r = LeaseRow(); r[kRecipientName] = Cell::Text(std::string(41, 'N')); return r; }, {"V4"}},
      {"V5 a date that is not one", [] { auto r = LeaseRow(); r[kIssueDate] = Cell::Text("31/02/2026"); return r; }, {"V5"}},
      {"V6 operation key outside the list", [] { auto r = DwellingRow(); r[kOperationKey] = Cell::Text("99"); return r; }, {"V6"}},
      {"V9 invoice type outside the list", [] { auto r = LeaseRow(); r[kInvoiceType] = Cell::Text("F9"); return r; }, {"V9"}},
      {"V10 income concept outside the list", [] { auto r = LeaseRow(); r[kIncomeConcept] = Cell::Text("I10"); return r; }, {"V10"}},
      {"V11 exercise of another year", [] { auto r = LeaseRow(); r[kExercise] = Cell::Whole(2025); return r; }, {"V11"}},
      {"V11 period of another quarter", [] { auto r = LeaseRow(); r[kPeriod] = Cell::Text("1T"); return r; }, {"V11"}},
      {"V12 IRPF columns in a VAT book", [] { return LeaseRow(); }, {"V12", "V12", "V12", "V12"}, BookType::kVat},
      {"V13 computable income differing from the base", [] { auto r = LeaseRow(); r[kComputableIncome] = Cell::Amount(99999); return r; }, {"V13"}},
      {"V13 except for concept I05", [] { auto r = LeaseRow(); r[kIncomeConcept] = Cell::Text("I05"); r[kComputableIncome] = Cell::Amount(1); return r; }, {}},
      {"V16 activity type outside the list", [] { auto r = LeaseRow(); r[kActivityType] = Cell::Text("07"); return r; }, {"V16"}},
      {"V16 epigraph missing", [] { auto r = LeaseRow(); r[kEpigraph] = Cell{}; return r; }, {"V16"}},
      {"V19 neither qualification nor exemption", [] { auto r = DwellingRow(); r[kExemption] = Cell{}; return r; }, {"V19"}},
      {"V20 qualification and exemption together", [] { auto r = DwellingRow(); r[kQualification] = Cell::Text("N1"); return r; }, {"V20"}},
      {"V21 quota half a cent off passes", [] { auto r = LeaseRow(); r[kTaxBase] = Cell::Amount(100002); r[kComputableIncome] = r[kTaxBase]; r[kTotal] = Cell::Amount(121002); return r; }, {}},
      {"V21 quota two cents off", [] { auto r = LeaseRow(); r[kVatAmount] = Cell::Amount(21002); r[kTotal] = Cell::Amount(121002); return r; }, {"V21"}},
      {"V24 key 08 not N2", [] { auto r = DwellingRow(); r[kOperationKey] = Cell::Text("08"); return r; }, {"V24"}},
      {"V27 key 01 with E2", [] { auto r = DwellingRow(); r[kExemption] = Cell::Text("E2"); return r; }, {"V27"}},
      {"V29 EU VAT number of another shape", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("02"); r[kRecipientCountry] = Cell::Text("DE"); r[kRecipientId] = Cell::Text("DE12345678"); return r; }, {"V29"}},
      {"V29 EU VAT number of its shape", [] { auto r = DwellingRow(); r[kRecipientIdType] = Cell::Text("02"); r[kRecipientCountry] = Cell::Text("DE"); r[kRecipientId] = Cell::Text("DE123456789"); return r; }, {}},
      {"V31 collection outside cash basis", [] { auto r = LeaseRow(); r[kCollectionAmount] = Cell::Amount(121000); return r; }, {"V31"}},
      {"V33 F1 without recipient", [] { auto r = LeaseRow(); r[kRecipientId] = Cell{}; return r; }, {"V33"}},
      {"V35 surcharge at a rate of no year", [] { auto r = LeaseRow(); r[kSurchargeRate] = Cell::Amount(400); r[kSurchargeAmount] = Cell::Amount(4000); r[kTotal] = Cell::Amount(125000); return r; }, {"V35"}},
      {"V36 key 11 at 10 %", [] { auto r = LeaseRow(); r[kVatRate] = Cell::Amount(1000); r[kVatAmount] = Cell::Amount(10000); r[kTotal] = Cell::Amount(110000); return r; }, {"V36"}},
      {"V37 total with the withholding deducted", [] { auto r = LeaseRow(); r[kTotal] = Cell::Amount(102000); return r; }, {"V37"}},
      {"V37 exempt row carrying VAT", [] { auto r = DwellingRow(); r[kVatAmount] = Cell::Amount(100); return r; }, {"V37"}},
      {"V39 5 % before October 2024", [] { auto r = DwellingRow(); r[kOperationKey] = Cell::Text("01"); r[kExemption] = Cell{}; r[kQualification] = Cell::Text("S1"); r[kVatRate] = Cell::Amount(500); r[kVatAmount] = Cell::Amount(5000); r[kTotal] = Cell::Amount(105000); r[kIssueDate] = Cell::Date(20240901); r[kExercise] = Cell::Whole(2024); r[kPeriod] = Cell::Text("3T"); return r; }, {"PERIODO"}},
      {"V39 5 % in 2026", [] { auto r = DwellingRow(); r[kExemption] = Cell{}; r[kQualification] = Cell::Text("S1"); r[kVatRate] = Cell::Amount(500); r[kVatAmount] = Cell::Amount(5000); r[kTotal] = Cell::Amount(105000); return r; }, {"V39"}},
      {"V39 0 % for a recipient starting with Q", [] { auto r = DwellingRow(); r[kExemption] = Cell{}; r[kQualification] = Cell::Text("S1"); r[kVatRate] = Cell::Amount(0); r[kVatAmount] = Cell::Amount(0); r[kRecipientId] = Cell::Text("Q0800000B"); return r; }, {}},
      {"V39 0 % for a person", [] { auto r = DwellingRow(); r[kExemption] = Cell{}; r[kQualification] = Cell::Text("S1"); r[kVatRate] = Cell::Amount(0); r[kVatAmount] = Cell::Amount(0); return r; }, {"V39"}},
      {"V40 situation 1 with a wrong control letter", [] { auto r = LeaseRow(); r[kCadastralReference] = Cell::Text("9872023VH5797S0001WY"); return r; }, {"V40"}},
      {"V40 situation 2 without reference", [] { auto r = LeaseRow(); r[kSituation] = Cell::Text("2"); r[kCadastralReference] = Cell{}; return r; }, {"V40"}},
      {"V40 situation 4 needs no reference", [] { auto r = LeaseRow(); r[kSituation] = Cell::Text("4"); r[kCadastralReference] = Cell{}; return r; }, {}},
      {"V40 situation missing", [] { auto r = LeaseRow(); r[kSituation] = Cell{}; return r; }, {"V40"}},
      {"PERIODO issued after the quarter", [] { auto r = LeaseRow(); r[kIssueDate] = Cell::Date(20261001); r[kPeriod] = Cell::Text("4T"); return r; }, {"PERIODO"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The quarter of the period check is 2, but for the cases written for
    // another quarter.
    EXPECT_EQ(RulesOf(c.row(), c.type, 2), c.rules);
  }
}

TEST(BookValidationTest, WithholdingOnOneRowOfTheInvoiceOnly) {
  BookRow exempt = DwellingRow();
  const BookRow rows[] = {LeaseRow(), exempt};
  std::vector<Finding> found;
  ValidateInvoiceRows(rows, &found);
  EXPECT_TRUE(found.empty());
  exempt[kWithholdingAmount] = Cell::Amount(1);
  const BookRow twice[] = {LeaseRow(), exempt};
  ValidateInvoiceRows(twice, &found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].rule, "V7");
}

TEST(BookValidationTest, QuarterEnds) {
  EXPECT_EQ((BookPeriod{2026, 1}).last_date(), 20260331);
  EXPECT_EQ((BookPeriod{2026, 2}).last_date(), 20260630);
  EXPECT_EQ((BookPeriod{2026, 3}).last_date(), 20260930);
  EXPECT_EQ((BookPeriod{2026, 4}).last_date(), 20261231);
  EXPECT_EQ((BookPeriod{2026, 4}).first_date(), 20260101);
}

}  // namespace
}  // namespace zov::books
