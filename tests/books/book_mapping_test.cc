#include "books/book_mapping.h"

#include <algorithm>

#include "gtest/gtest.h"
#include "tests/books/cells.h"
#include "tests/register/builders.h"

namespace zov::books {
namespace {

using reg::Cadastre;
using reg::Contract;
using reg::Property;
using reg::Receipt;

const std::string kCode = "000100010001";

struct Line {
  reg::RecordVariables r;
  Line(std::string_view kind, std::string_view flag) {
    r.property = Property(kCode, "  GARCIA LOPEZ, MARIA  ", "ES12345678Z");
    r.contract = Contract(kCode, kind, flag);
    r.cadastre = Cadastre(kCode, "9872023VH5797S0001WX", "08001");
    r.receipt = Receipt(kCode, "20260315", "00001234");
  }
  LineRows Map(BookType type = BookType::kUnified) {
    LineRows rows;
    MapLine(r, reg::ComputeLine(r.receipt, r.contract.ContractKind()), {type, "8612"}, &rows);
    return rows;
  }
};

std::vector<std::string> Rules(const LineRows& rows) {
  std::vector<std::string> rules;
  for (const Finding& f : rows.warnings) {
    EXPECT_EQ(f.severity, Severity::kWarning) << f.message;
    rules.push_back(std::string(f.rule) + "@" + std::to_string(f.row));
  }
  return rules;
}

TEST(BookMappingTest, CellsEveryRowShares) {
  Line line("V", "N");
  const LineRows rows = line.Map();
  ASSERT_EQ(rows.count, 1);
  ExpectCells(rows.rows[0], {{kExercise, "W:2026"},
                             {kPeriod, "T:1T"},
                             {kActivityCode, "T:A"},
                             {kActivityType, "T:01"},
                             {kEpigraph, "T:8612"},
                             {kInvoiceType, "T:F1"},
                             {kIssueDate, "D:20260315"},
                             {kOperationDate, ""},
                             {kSeries, ""},
                             {kNumber, "T:00001234"},
                             {kNumberTo, ""},
                             {kRecipientIdType, ""},
                             {kRecipientCountry, ""},
                             {kRecipientId, "T:12345678Z"},
                             {kRecipientName, "T:GARCIA LOPEZ, MARIA"},
                             {kSurchargeRate, ""},
                             {kSurchargeAmount, ""},
                             {kCollectionDate, ""},
                             {kCollectionAmount, ""},
                             {kCollectionMeans, ""},
                             {kCollectionMeansId, ""},
                             {kBillingAgreement, ""},
                             {kSituation, "T:1"},
                             {kCadastralReference, "T:9872023VH5797S0001WX"},
                             {kExternalReference, ""}});
}

// One case per row of the mapping: contract kind, the receipt's VAT and
// withholding, the book type; the codes, amounts and warnings of each row.
TEST(BookMappingTest, KindsAmountsAndBookTypes) {
  struct Case {
    std::string what, kind, flag;
    int32_t vat, withholding, exempt;  // receipt's VAT and withholding (negative); extra exempt part
    BookType type;
    std::vector<std::map<int, std::string>> rows;
    std::vector<std::string> warnings;
  } cases[] = {
      {"L with withholding", "L", "S", 21000, -19000, 0, BookType::kUnified,
       {{{kOperationKey, "T:11"}, {kQualification, "T:S1"}, {kExemption, ""}, {kTaxBase, "A:1000,00"},
         {kVatRate, "A:21,00"}, {kVatAmount, "A:210,00"}, {kTotal, "A:1210,00"}, {kIncomeConcept, "T:I01"},
         {kComputableIncome, "A:1000,00"}, {kWithholdingRate, "A:19,00"}, {kWithholdingAmount, "A:190,00"}}},
       {}},
      {"L without withholding", "L", "N", 21000, 0, 0, BookType::kUnified,
       {{{kOperationKey, "T:12"}, {kQualification, "T:S1"}, {kTotal, "A:1210,00"}, {kWithholdingRate, ""},
         {kWithholdingAmount, ""}}},
       {}},
      {"L: the amount decides the key, not the flag", "L", "N", 21000, -19000, 0, BookType::kUnified,
       {{{kOperationKey, "T:11"}, {kWithholdingAmount, "A:190,00"}}}, {"V6@0"}},
      {"L flagged but nothing withheld", "L", "S", 21000, 0, 0, BookType::kUnified, {{{kOperationKey, "T:12"}}},
       {"V6@0"}},
      {"L with an exempt part", "L", "S", 21000, -19000, 5000, BookType::kUnified,
       {{{kOperationKey, "T:11"}, {kTaxBase, "A:1000,00"}, {kTotal, "A:1210,00"}, {kWithholdingAmount, "A:190,00"}},
        {{kOperationKey, "T:01"}, {kQualification, ""}, {kExemption, "T:E1"}, {kTaxBase, "A:50,00"},
         {kTotal, "A:50,00"}, {kVatRate, ""}, {kVatAmount, ""}, {kComputableIncome, "A:50,00"},
         {kWithholdingRate, ""}, {kWithholdingAmount, ""}, {kNumber, "T:00001234"}, {kIssueDate, "D:20260315"}}},
       {"V7@1"}},
      {"C: the receipt's tax is not Spanish VAT", "C", "N", 21000, 0, 0, BookType::kUnified,
       {{{kOperationKey, "T:08"}, {kQualification, "T:N2"}, {kExemption, ""}, {kTaxBase, "A:1000,00"},
         {kTotal, "A:1000,00"}, {kVatRate, ""}, {kVatAmount, ""}}},
       {"V37@0"}},
      {"C without tax, with an exempt part", "C", "N", 0, 0, 3000, BookType::kUnified,
       {{{kOperationKey, "T:08"}, {kQualification, "T:N2"}, {kTotal, "A:1000,00"}},
        {{kOperationKey, "T:08"}, {kQualification, "T:N2"}, {kExemption, ""}, {kTaxBase, "A:30,00"},
         {kTotal, "A:30,00"}}},
       {"V7@1"}},
      {"V without VAT: housing lease, exempt", "V", "N", 0, 0, 0, BookType::kUnified,
       {{{kOperationKey, "T:01"}, {kQualification, ""}, {kExemption, "T:E1"}, {kTaxBase, "A:1000,00"},
         {kTotal, "A:1000,00"}, {kVatRate, ""}, {kVatAmount, ""}}},
       {}},
      {"V with VAT (let to tourists)", "V", "N", 10000, 0, 0, BookType::kUnified,
       {{{kOperationKey, "T:01"}, {kQualification, "T:S1"}, {kExemption, ""}, {kTotal, "A:1100,00"},
         {kVatAmount, "A:100,00"}}},
       {}},
      {"P without VAT: exempt, doubtful", "P", "N", 0, 0, 0, BookType::kUnified,
       {{{kOperationKey, "T:01"}, {kExemption, "T:E1"}}}, {"V20@0"}},
      {"P with VAT and withholding", "P", "S", 21000, -19000, 0, BookType::kUnified,
       {{{kOperationKey, "T:01"}, {kQualification, "T:S1"}, {kWithholdingAmount, "A:190,00"}}}, {}},
      {"book C: no IRPF columns, withholding dropped", "L", "S", 21000, -19000, 0, BookType::kVat,
       {{{kOperationKey, "T:11"}, {kIncomeConcept, ""}, {kComputableIncome, ""}, {kWithholdingRate, ""},
         {kWithholdingAmount, ""}, {kTotal, "A:1210,00"}}},
       {"V12@0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Line line(c.kind, c.flag);
    reg::ReceiptRecord& receipt = line.r.receipt;
    receipt.SetVatAmount(c.vat);
    receipt.SetWithholdingAmount(c.withholding);
    receipt.SetWithholdingRate(c.withholding == 0 ? int16_t{0} : int16_t{1900});
    // Kinds V and P compute the base from the total; the others take the
    // stored base and leave the rest as their exempt part.
    receipt.SetTotalAmount(100000 + c.vat + c.withholding + c.exempt);
    const LineRows rows = line.Map(c.type);
    ASSERT_EQ(rows.count, static_cast<int>(c.rows.size()));
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      SCOPED_TRACE(i);
      ExpectCells(rows.rows[i], c.rows[i]);
    }
    EXPECT_EQ(Rules(rows), c.warnings);
  }
}

TEST(BookMappingTest, PropertySituationAndReference) {
  struct Case {
    std::string reference, postal, situation, cell;
  } cases[] = {
      {"9872023VH5797S0001WX", "08001", "T:1", "T:9872023VH5797S0001WX"},
      {"9872023VH5797S0001WX", "48001", "T:2", "T:9872023VH5797S0001WX"},
      {"9872023VH5797S0001WX", "31001", "T:3", "T:9872023VH5797S0001WX"},
      {"", "48001", "T:4", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.postal + " " + c.reference);
    Line line("V", "N");
    line.r.cadastre = Cadastre(kCode, c.reference, c.postal);
    const LineRows rows = line.Map();
    ExpectCells(rows.rows[0], {{kSituation, c.situation}, {kCadastralReference, c.cell}});
  }
}

// A stored date the calendar does not have stays visible, as text, for the
// validation to name it.
TEST(BookMappingTest, ImpossibleIssueDateIsKeptAsText) {
  Line line("V", "N");
  line.r.receipt.SetIssueDate(reg::P("20260231"));
  const LineRows rows = line.Map();
  ExpectCells(rows.rows[0], {{kIssueDate, "T:31/02/2026"}, {kExercise, "W:2026"}, {kPeriod, "T:1T"}});
}

}  // namespace
}  // namespace zov::books
