#include "register/operation_codes.h"

#include <string>

#include "gtest/gtest.h"
#include "register/issued_invoice_design.h"

namespace zov::reg {
namespace {

std::string Codes(const OperationCodes& c) {
  return std::string(c.key) + "/" + std::string(c.qualification) + "/" + std::string(c.exemption);
}

// The suite's CSV: by contract kind and withholding flag alone, N1 and E1
// together on every kind but L and C.
TEST(OperationCodesTest, SuiteCsvRules) {
  struct Case {
    std::string kind, flag, codes;
  } cases[] = {
      {"C", "S", "08/S1/"}, {"C", "N", "08/S1/"}, {"L", "S", "11/S1/"}, {"L", "N", "12/S1/"},
      {"L", " ", "12/S1/"}, {"L", "s", "12/S1/"}, {"V", "S", "01/N1/E1"}, {"P", "S", "01/N1/E1"},
      {" ", " ", "01/N1/E1"}, {"l", "S", "01/N1/E1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind '" + c.kind + "' flag '" + c.flag + "'");
    // The amounts and the exempt part do not count for the CSV.
    for (const LineFacts& facts : {LineFacts{c.kind, c.flag}, LineFacts{c.kind, c.flag, 2100, -1900, true}})
      EXPECT_EQ(Codes(LineCodes(facts, CodeRules::kSuiteCsv)), c.codes);
  }
}

// The agency's: a qualification or an exemption, never both; premises keyed
// by what is withheld.
TEST(OperationCodesTest, AgencyRules) {
  struct Case {
    std::string what;
    LineFacts facts;
    std::string codes;
  } cases[] = {
      {"premises, withheld", {"L", "S", 21000, -19000}, "11/S1/"},
      {"premises, flag without withholding", {"L", "S", 21000, 0}, "12/S1/"},
      {"premises, withholding without flag", {"L", "N", 21000, 19000}, "11/S1/"},
      {"premises, exempt part", {"L", "S", 0, 0, true}, "01//E1"},
      {"IGIC/IPSI", {"C", "N", 7000, 0}, "08/N2/"},
      {"IGIC/IPSI, exempt part", {"C", "N", 0, 0, true}, "08/N2/"},
      {"dwelling", {"V", "N", 0, 0}, "01//E1"},
      {"garage with VAT", {"P", "N", 2100, 0}, "01/S1/"},
      {"dwelling with VAT", {"V", "N", 2100, -1900}, "01/S1/"},
      {"blank kind", {" ", " ", 0, 0}, "01//E1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Codes(LineCodes(c.facts, CodeRules::kAgency)), c.codes);
  }
}

TEST(IssuedInvoiceDesignTest, SheetColumnLetters) {
  struct Case {
    int column;
    std::string letters;
  } cases[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {kIssuedColumnCount - 1, "AJ"}, {41, "AP"}, {52, "BA"}, {701, "ZZ"}};
  for (const Case& c : cases) EXPECT_EQ(SheetColumnLetters(c.column), c.letters) << "column " << c.column;
}

}  // namespace
}  // namespace zov::reg
