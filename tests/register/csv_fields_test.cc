#include "register/csv_fields.h"

#include <climits>

#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

TEST(CsvFieldsTest, AmountAndRateForms) {
  struct Case {
    int64_t value;
    std::string amount, rate;
  } cases[] = {
      {123456, "        1234,56", "1234,56"},
      {5, "           0,05", "   0,05"},
      {0, "           0,00", "   0,00"},
      {-1205, "         -12,05", " -12,05"},
      {-50, "          -0,50", "  -0,50"},
      {2100, "          21,00", "  21,00"},
      {1900, "          19,00", "  19,00"},
      {-100, "          -1,00", "  -1,00"},
      // Wider than the field: nothing is cut.
      {123456789012345, "1234567890123,45", "1234567890123,45"},
      {INT64_MIN, "-92233720368547758,08", "-92233720368547758,08"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(CsvAmount(c.value), c.amount);
    EXPECT_EQ(CsvRate(c.value), c.rate);
  }
}

TEST(CsvFieldsTest, Names) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"GARCIA;LOPEZ", "GARCIA,LOPEZ" + std::string(28, ' ')},
      {"EL \"PI\" SL", "EL PI SL" + std::string(32, ' ')},
      {std::string(45, 'X'), std::string(40, 'X')},
      {"", std::string(40, ' ')},
      {"\x80" "ARMEN", "\x80" "ARMEN" + std::string(34, ' ')},
      // Quotes are dropped before the cut, so the name keeps 40 characters.
      {"\"" + std::string(40, 'Y') + "\"", std::string(40, 'Y')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(CsvName(c.in), c.out);
  }
}

TEST(CsvFieldsTest, YearAndQuarter) {
  struct Case {
    std::string date8, year, quarter;
  } cases[] = {
      {"20260115", "2026", "1T"}, {"20260331", "2026", "1T"}, {"20260401", "2026", "2T"},
      {"20260630", "2026", "2T"}, {"20260701", "2026", "3T"}, {"20261130", "2026", "4T"},
      {"20261231", "2026", "4T"}, {"00000000", "0000", "1T"}, {"20261301", "2026", "5T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date8);
    EXPECT_EQ(CsvYear(P(c.date8)), c.year);
    EXPECT_EQ(CsvQuarter(P(c.date8)), c.quarter);
  }
}

TEST(CsvFieldsTest, Situation) {
  struct Case {
    std::string reference, postal, situation;
  } cases[] = {
      {std::string(20, ' '), "48001", "4"}, {"1234567AB1234C0001XY", "48001", "2"},
      {"R", "01002", "2"},                   {"R", "20005", "2"},
      {"R", "31001", "3"},                   {"R", "08001", "1"},
      {"R", "     ", "1"},                   {std::string(20, ' '), "31001", "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.reference + "' " + c.postal);
    EXPECT_EQ(PropertySituation(c.reference, c.postal), c.situation);
  }
}

TEST(CsvFieldsTest, RowOfAnLContractLine) {
  ReceiptRecord receipt = Receipt("000100010001", "20261105", "00001234");
  const PropertyRecord property = Property("000100010001", "PUIG;SOLER \"JOAN\"", "ES12345678Z");
  const ContractRecord contract = Contract("000100010001", "L", "S");
  const CadastreRecord cadastre = Cadastre("000100010001", "1234567AB1234C0001XY", "48001");
  const LineAmounts amounts = ComputeLine(receipt, contract.ContractKind());
  const auto row = CsvRowValues(receipt, amounts, property, contract, cadastre);
  const std::array<std::string, kIssuedColumnCount> expected = {
      "2026", "4T", "A", "01", "8612", "F1", "I01", "        1000,00", "05/11/2026", std::string(10, ' '),
      std::string(20, ' '), "00001234" + std::string(12, ' '), std::string(20, ' '), "02", "ES",
      "12345678Z      " + std::string(5, ' '), "PUIG,SOLER JOAN" + std::string(25, ' '), "11", "S1", "  ",
      "        1020,00", "        1000,00", "  21,00", "         210,00", "   0,00", "           0,00",
      std::string(10, ' '), "           0,00", "  ", std::string(34, ' '), "  19,00", "         190,00",
      std::string(15, ' '), "2", "1234567AB1234C0001XY", std::string(40, ' ')};
  for (int i = 0; i < kIssuedColumnCount; ++i)
    EXPECT_EQ(row[i], expected[i]) << "column " << i + 1 << " " << kIssuedInvoiceDesign[i].csv_header;
}

// A property without contract or cadastral record is read as blanks.
TEST(CsvFieldsTest, RowOfABlankContractAndCadastre) {
  ReceiptRecord receipt = Receipt("000100010001", "20260315", "00000007");
  ContractRecord contract;
  contract.Fill(' ');
  CadastreRecord cadastre;
  cadastre.Fill(' ');
  const PropertyRecord property = Property("000100010001", "X", "ES1");
  const LineAmounts amounts = ComputeLine(receipt, contract.ContractKind());
  const auto row = CsvRowValues(receipt, amounts, property, contract, cadastre);
  EXPECT_EQ(row[1], "1T");
  EXPECT_EQ(row[17], "01");
  EXPECT_EQ(row[18], "N1");
  EXPECT_EQ(row[19], "E1");
  EXPECT_EQ(row[33], "4");
  EXPECT_EQ(row[34], std::string(20, ' '));
}

}  // namespace
}  // namespace zov::reg
