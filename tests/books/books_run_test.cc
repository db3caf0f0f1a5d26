// Whole zovllibres runs on installations built in temporary directories:
// the books read back with openpyxl cell by cell, set against the register's
// own CSV rows, and every bad input refused with nothing half-written.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "books/nif_file.h"
#include "books/zip_writer.h"
#include "format/chars.h"
#include "format/packed.h"
#include "gtest/gtest.h"
#include "output/report_fields.h"
#include "tests/books/books_installation.h"
#include "tests/books/zip_reader.h"
#include "tools/demo/demo.h"

namespace zov::books {
namespace {

using reg::Cadastre;
using reg::Contract;
using reg::Group;
using reg::Owner;
using reg::P;
using reg::Property;
using reg::Receipt;

const std::string kIndividualBook = "202612345678ZTPUIG I FERRER, JOAN.xlsx";
const std::string kEntityBook = "2026A58818501CPATRIMONIAL MATARO SA.xlsx";

// Owner 0001, an individual: premises let with withholding (a receipt with an
// exempt part too), a dwelling, a garage let with VAT to a German company.
// Owner 0002, a company: premises in Navarre under IPSI/IGIC.
void SmallAgency(BooksInstallation& inst) {
  inst.Add(reg::kFileVPropiet, Owner("0001", "PUIG I FERRER*JOAN", "S"));
  inst.Add(reg::kFileVPropiet, Owner("0002", "PATRIMONIAL MATARO SA", "N"));
  inst.Add(reg::kFileVGrups, Group("00010001", "C. MAJOR, 1"));
  inst.Add(reg::kFileVGrups, Group("00020001", "PL. DEL CASTILLO, 3"));
  inst.Add(reg::kFileVDepBase, Property("000100010001", "BAR EL RACO SL", "ESB08222341"));
  inst.Add(reg::kFileVDepBase, Property("000100010002", "GARCIA LOPEZ, MARIA", "ES12345678Z"));
  inst.Add(reg::kFileVDepBase, Property("000100010003", "MUELLER GMBH", "DE123456789"));
  inst.Add(reg::kFileVDepBase, Property("000200010001", "FARMACIA SL", "ESB08222341"));
  inst.Add(reg::kFileVDepCont, Contract("000100010001", "L", "S"));
  inst.Add(reg::kFileVDepCont, Contract("000100010002", "V", "N"));
  inst.Add(reg::kFileVDepCont, Contract("000100010003", "P", "N"));
  inst.Add(reg::kFileVDepCont, Contract("000200010001", "C", "N"));
  inst.Add(reg::kFileVDepCada, Cadastre("000100010001", "9872023VH5797S0001WX", "08001"));
  inst.Add(reg::kFileVDepCada, Cadastre("000100010003", "9872023VH5797S0001WX", "08001"));
  inst.Add(reg::kFileVDepCada, Cadastre("000200010001", "9872023VH5797S0001WX", "31001"));
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260105", "26010001"));
  reg::ReceiptRecord with_exempt = Receipt("000100010001", "20260205", "26020001");
  with_exempt.SetTotalAmount(102000 + 5000);
  inst.Add(reg::kFileVCobros, with_exempt);
  reg::ReceiptRecord dwelling = Receipt("000100010002", "20260301", "26030002");
  dwelling.SetTotalAmount(80000);
  dwelling.SetVatRate(0);
  dwelling.SetVatAmount(0);
  dwelling.SetWithholdingRate(0);
  dwelling.SetWithholdingAmount(0);
  inst.Add(reg::kFileVCobros, dwelling);
  reg::ReceiptRecord garage = Receipt("000100010003", "20260301", "26030003");
  garage.SetTotalAmount(12100);
  garage.SetVatAmount(2100);
  garage.SetWithholdingRate(0);
  garage.SetWithholdingAmount(0);
  inst.Add(reg::kFileVCobros, garage);
  inst.Add(reg::kFileVCobros, Receipt("000200010001", "20260401", "26040001"));
  // Outside the period of a book up to 1T... and of the year.
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20270105", "27010001"));
  inst.Build();
  inst.WriteNifs("0001;12345678Z\r\n0002;A58818501\r\n");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(BooksRunTest, SmallAgencyReadBackCellByCell) {
  BooksInstallation inst;
  SmallAgency(inst);
  const RunOutput r = inst.RunFor(2026, 4);
  ASSERT_EQ(r.code, BooksOutcome::kAllValid) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("2 books"), std::string::npos) << r.out;
  EXPECT_EQ(inst.OutFiles(), (std::vector<std::string>{kIndividualBook, kEntityBook, "manifest.csv",
                                                       "validation.csv", "zovllibres.lck"}));

  const ReadBack back = inst.ReadBooks();
  ASSERT_EQ(back.sheets.size(), 4u);
  struct SheetCase {
    std::string book, title;
    int rows, columns;
  } sheets[] = {{kIndividualBook, "EXPEDIDAS_INGRESOS", 7, 36}, {kIndividualBook, "RECIBIDAS_GASTOS", 2, 42},
                {kEntityBook, "EXPEDIDAS", 3, 36},              {kEntityBook, "RECIBIDAS", 2, 42}};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(sheets[i].title);
    EXPECT_EQ(back.sheets[i].book, sheets[i].book);
    EXPECT_EQ(back.sheets[i].title, sheets[i].title);
    EXPECT_EQ(back.sheets[i].max_row, sheets[i].rows);
    EXPECT_EQ(back.sheets[i].max_column, sheets[i].columns);
  }
  EXPECT_EQ(back.sheets[0].merged, "A1:B1,AA1:AD1,AH1:AI1,C1:E1,K1:M1,N1:P1");
  EXPECT_EQ(back.sheets[1].merged, "A1:B1,AG1:AJ1,AN1:AO1,C1:E1,K1:L1,P1:R1,X1:Y1");

  const auto issued = back.Sheet(kIndividualBook, "EXPEDIDAS_INGRESOS");
  // The header rows: texts of the agency's template.
  struct Expect {
    std::string coordinate, type, format, value;
  };
  const Expect header[] = {
      {"A1", "s", "General", "Autoliquidación"}, {"A2", "s", "General", "Ejercicio"},
      {"I1", "s", "General", "Fecha\nExpedición"}, {"N1", "s", "General", "NIF Destinatario"},
      {"P2", "s", "General", "Identificación"},  {"AJ1", "s", "General", "Refrencia Externa"},
  };
  for (const Expect& e : header) {
    ASSERT_TRUE(issued.count(e.coordinate)) << e.coordinate;
    EXPECT_EQ(issued.at(e.coordinate).value, e.value) << e.coordinate;
  }
  // Row 3, the premises' first receipt, every cell: type, format, value.
  const Expect row3[] = {
      {"A3", "n", "General", "2026"},     {"B3", "s", "@", "1T"},
      {"C3", "s", "@", "A"},              {"D3", "s", "@", "01"},
      {"E3", "s", "@", "8612"},           {"F3", "s", "@", "F1"},
      {"G3", "s", "@", "I01"},            {"H3", "n", "#,##0.00", "1000"},
      {"I3", "d", "dd/mm/yyyy", "2026-01-05 00:00:00"},
      {"L3", "s", "@", "26010001"},       {"P3", "s", "@", "B08222341"},
      {"Q3", "s", "@", "BAR EL RACO SL"}, {"R3", "s", "@", "11"},
      {"S3", "s", "@", "S1"},             {"U3", "n", "#,##0.00", "1210"},
      {"V3", "n", "#,##0.00", "1000"},    {"W3", "n", "#,##0.00", "21"},
      {"X3", "n", "#,##0.00", "210"},     {"AE3", "n", "#,##0.00", "19"},
      {"AF3", "n", "#,##0.00", "190"},    {"AH3", "s", "@", "1"},
      {"AI3", "s", "@", "9872023VH5797S0001WX"},
  };
  std::size_t in_row3 = 0;
  for (const auto& [coordinate, cell] : issued)
    if (coordinate.size() >= 2 && coordinate.substr(coordinate.find_first_of("0123456789")) == "3") ++in_row3;
  EXPECT_EQ(in_row3, std::size(row3));
  for (const Expect& e : row3) {
    SCOPED_TRACE(e.coordinate);
    ASSERT_TRUE(issued.count(e.coordinate));
    const ReadCell& c = issued.at(e.coordinate);
    EXPECT_EQ(c.type, e.type);
    EXPECT_EQ(c.format, e.format);
    EXPECT_EQ(c.value, e.value);
  }
  // The exempt part of the second receipt, the dwelling, the garage.
  const Expect rest[] = {
      {"L5", "s", "@", "26020001"}, {"R5", "s", "@", "01"},  {"T5", "s", "@", "E1"},  {"V5", "n", "#,##0.00", "50"},
      {"U5", "n", "#,##0.00", "50"}, {"H5", "n", "#,##0.00", "50"}, {"R6", "s", "@", "01"}, {"T6", "s", "@", "E1"},
      {"U6", "n", "#,##0.00", "800"}, {"AH6", "s", "@", "4"}, {"N7", "s", "@", "02"}, {"O7", "s", "@", "DE"},
      {"P7", "s", "@", "DE123456789"}, {"S7", "s", "@", "S1"}, {"X7", "n", "#,##0.00", "21"},
  };
  for (const Expect& e : rest) {
    SCOPED_TRACE(e.coordinate);
    ASSERT_TRUE(issued.count(e.coordinate));
    EXPECT_EQ(issued.at(e.coordinate).value, e.value);
    EXPECT_EQ(issued.at(e.coordinate).type, e.type);
  }
  for (const std::string empty : {"S5", "W5", "X5", "AE5", "AF5", "S6", "W6", "AI6"})
    EXPECT_FALSE(issued.count(empty)) << empty;
  const auto entity = back.Sheet(kEntityBook, "EXPEDIDAS");
  for (const std::string empty : {"G3", "H3", "AE3", "AF3", "W3", "X3"}) EXPECT_FALSE(entity.count(empty)) << empty;
  EXPECT_EQ(entity.at("R3").value, "08");
  EXPECT_EQ(entity.at("S3").value, "N2");
  EXPECT_EQ(entity.at("AH3").value, "3");

  EXPECT_EQ(Lines(inst.Read(inst.out() + "manifest.csv")),
            (std::vector<std::string>{
                "owner code;name;NIF;book type;file;rows;total base;total VAT;total withholding;errors;warnings;status;"
                "period",
                "0001;PUIG I FERRER, JOAN;12345678Z;T;" + kIndividualBook +
                    ";5;2950,00;441,00;380,00;0;2;valid;01/01/2026 to 31/12/2026",
                "0002;PATRIMONIAL MATARO SA;A58818501;C;" + kEntityBook +
                    ";1;1000,00;0,00;0,00;0;2;valid;01/01/2026 to 31/12/2026"}));
  std::vector<std::string> findings;
  for (const std::string& line : Lines(inst.Read(inst.out() + "validation.csv"))) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t semi; (semi = line.find(';', start)) != std::string::npos; start = semi + 1)
      f.push_back(line.substr(start, semi - start));
    if (f.size() >= 6) findings.push_back(f[0] + " " + f[2] + " " + f[3] + " " + f[4] + " " + f[5]);
  }
  EXPECT_EQ(findings, (std::vector<std::string>{"owner row invoice rule severity",
                                                "0001 5 26020001 V7 warning",
                                                "0001 7 26030003 V29 warning",
                                                "0002 3 26040001 V37 warning",
                                                "0002 3 26040001 V12 warning"}));
}

// The book's invoices and amounts are the register's: every CSV row of a
// register over the same dates has its book row with the same invoice,
// date, base and, where the book shows them, VAT and withholding.
void ExpectBooksMatchRegister(BooksInstallation& inst, const std::string& from, const std::string& to) {
  const ReadBack back = inst.ReadBooks();
  struct BookLine {
    std::string key;  // invoice number and issue date
    double base = 0, vat = -1, withheld = -1, total = 0;
    std::string book_type;
  };
  std::vector<BookLine> book_lines;
  std::map<std::string, std::string> row_key;  // book + row -> key, for the main rows
  std::map<std::string, BookLine> by_row;
  for (const ReadCell& c : back.cells) {
    if (c.sheet.rfind("EXPEDIDAS", 0) != 0) continue;
    const std::size_t digits = c.coordinate.find_first_of("0123456789");
    const int row = std::stoi(c.coordinate.substr(digits));
    if (row < 3) continue;
    BookLine& l = by_row[c.book + "#" + format::ZeroPad(row, 7)];
    const std::string column = c.coordinate.substr(0, digits);
    l.book_type = c.book.substr(13, 1);
    if (column == "L") l.key = c.value + l.key;
    if (column == "I") l.key += " " + c.value.substr(0, 10);
    if (column == "V") l.base = std::stod(c.value);
    if (column == "U") l.total = std::stod(c.value);
    if (column == "X") l.vat = std::stod(c.value);
    if (column == "AF") l.withheld = std::stod(c.value);
  }
  // The first row of each invoice in each book carries the register line.
  std::map<std::string, BookLine> main_rows;
  std::string last;
  for (const auto& [where, l] : by_row) {
    const std::string id = where.substr(0, where.find('#')) + "|" + l.key;
    if (id == last) continue;
    last = id;
    main_rows.emplace(l.key + "|" + std::to_string(main_rows.size()), l);
  }
  const auto rows = inst.RegisterRows(from, to);
  ASSERT_EQ(rows.size(), main_rows.size());
  auto amount = [](const std::string& csv) {  // "        1234,56"
    std::string t(format::TrimBlanks(csv));
    std::replace(t.begin(), t.end(), ',', '.');
    return std::stod(t);
  };
  std::multimap<std::string, BookLine> by_key;
  for (const auto& [k, l] : main_rows) by_key.emplace(l.key, l);
  for (const auto& f : rows) {
    const std::string date = f[8].substr(6, 4) + "-" + f[8].substr(3, 2) + "-" + f[8].substr(0, 2);
    const std::string key = std::string(format::TrimBlanks(f[11])) + " " + date;
    SCOPED_TRACE(key);
    const auto range = by_key.equal_range(key);
    ASSERT_NE(range.first, range.second);
    bool matched = false;
    for (auto it = range.first; it != range.second && !matched; ++it) {
      const BookLine& l = it->second;
      const double base = amount(f[21]), vat = amount(f[23]), withheld = amount(f[31]);
      if (std::lround(l.base * 100) != std::lround(base * 100)) continue;
      if (l.vat >= 0 && std::lround(l.vat * 100) != std::lround(vat * 100)) continue;
      if (l.book_type == "T" && std::lround((l.withheld < 0 ? 0 : l.withheld) * 100) != std::lround(withheld * 100))
        continue;
      // The book's total never deducts the withholding.
      if (std::lround(l.total * 100) != std::lround((base + (l.vat < 0 ? 0 : l.vat)) * 100)) continue;
      matched = true;
      by_key.erase(it);
    }
    EXPECT_TRUE(matched);
  }
}

TEST(BooksRunTest, SmallAgencyAgreesWithTheRegister) {
  BooksInstallation inst;
  SmallAgency(inst);
  ASSERT_EQ(inst.RunFor(2026, 4).code, BooksOutcome::kAllValid);
  ExpectBooksMatchRegister(inst, "1/1/2026", "31/12/2026");
}

}  // namespace
}  // namespace zov::books

namespace zov::books {
namespace {

// Every input that keeps the run from starting: problems, a one-line
// reason, and nothing in the output folder but the lock file where the
// run got as far as taking it. (Misused options are the command line's:
// tools/zovllibres.)
TEST(BooksRunTest, BadInputIsRefusedWithNothingWritten) {
  struct Case {
    std::string what;
    int year;
    std::function<void(BooksInstallation&)> spoil;
    BooksOutcome code;
    std::string message;
  } cases[] = {
      {"missing NIF file", 2026,
       [](BooksInstallation& i) { ASSERT_TRUE(i.base_->DeleteFile(i.root() + "owners-nif.csv").ok()); },
       BooksOutcome::kProblems, "zovllibres: cannot read the owners' NIF file: "},
      {"NIF file with a garbage line", 2026,
       [](BooksInstallation& i) { i.WriteNifs("0001;12345678Z\r\n0002 A58818501\r\n"); }, BooksOutcome::kProblems,
       "owners-nif.csv, line 2: expected \"owner code;NIF\"\n"},
      {"no installation", 2026,
       [](BooksInstallation& i) { i.environment.Set("ZOVROOT", i.dir() + "nowhere/"); }, BooksOutcome::kProblems,
       "zovllibres: no installation in "},
      {"ZOVROOT unset", 2026, [](BooksInstallation& i) { i.environment.Unset("ZOVROOT"); }, BooksOutcome::kProblems,
       "zovllibres: ZOVROOT is not set: it names the installation to read\n"},
      {"no invoices in the period", 2020, nullptr, BooksOutcome::kProblems,
       "zovllibres: no owner from 0001 to 9999 has invoices from 01/01/2020 to 31/12/2020: no books written; "
       "nothing in "},
      {"output folder that cannot be made", 2026,
       [](BooksInstallation& i) { ASSERT_TRUE(i.base_->WriteFile(i.dir() + "out", "a file").ok()); },
       BooksOutcome::kProblems, "is not a folder\n"},
      {"output folder that cannot be written", 2026,
       [](BooksInstallation& i) { i.fs.FailAt(platform::FaultFileSystem::Op::kOpen, 1, true); }, BooksOutcome::kProblems,
       "zovllibres: cannot write in the output folder: "},
      {"a malformed SOURCE_DATE_EPOCH", 2026,
       [](BooksInstallation& i) { i.environment.Set("SOURCE_DATE_EPOCH", "2026-12-08"); }, BooksOutcome::kProblems,
       "zovllibres: SOURCE_DATE_EPOCH must be a whole number of seconds since 1970-01-01 00:00:00 UTC (up to the "
       "year 9999), not \"2026-12-08\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BooksInstallation inst;
    SmallAgency(inst);
    if (c.spoil) c.spoil(inst);
    const RunOutput r = inst.RunFor(c.year, 4);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    for (const std::string& name : inst.OutFiles())
      if (name != "zovllibres.lck") ADD_FAILURE() << "left in the output folder: " << name;
  }
}

// Owners without a usable NIF get no book and are listed, with the figures
// their own book would have had (a unified book's: the withholding counts);
// a row the agency would refuse is still written and makes its book invalid.
TEST(BooksRunTest, SkippedOwnersAndInvalidBooks) {
  BooksInstallation inst;
  inst.Add(reg::kFileVPropiet, Owner("0001", "A*B", "S"));
  inst.Add(reg::kFileVPropiet, Owner("0002", "C*D", "N"));
  inst.Add(reg::kFileVPropiet, Owner("0003", "E*F", " "));
  inst.Add(reg::kFileVPropiet, Owner("0004", "G*H", "S"));
  inst.Add(reg::kFileVPropiet, Owner("0005", "I*J", "S"));
  for (const std::string owner : {"0001", "0002", "0003", "0004", "0005"}) {
    inst.Add(reg::kFileVGrups, Group(owner + "0001", "G"));
    inst.Add(reg::kFileVDepBase, Property(owner + "00010001", "T", "ES12345678A"));  // wrong letter
    inst.Add(reg::kFileVDepCont, Contract(owner + "00010001", "V", "N"));
    reg::ReceiptRecord r = Receipt(owner + "00010001", "20260105", "00000001");
    r.SetVatAmount(0);
    r.SetWithholdingAmount(0);
    inst.Add(reg::kFileVCobros, r);
    inst.Add(reg::kFileVCobros, Receipt(owner + "00010001", "20260205", "00000001"));  // the same number
  }
  inst.Build();
  inst.WriteNifs("1;B08222341\n2;12345678A\n3;X1234567L\n5;X1234567L\n");
  const RunOutput r = inst.RunFor(2026, 1);
  EXPECT_EQ(r.code, BooksOutcome::kProblems);
  EXPECT_NE(r.out.find("1 books"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 valid, 1 invalid; 4 owners skipped"), std::string::npos) << r.out;
  const auto manifest = Lines(inst.Read(inst.out() + "manifest.csv"));
  ASSERT_EQ(manifest.size(), 6u);
  const std::string q1 = ";01/01/2026 to 31/03/2026";
  EXPECT_EQ(manifest[1], "0001;A, B;B08222341;C;2026B08222341CA, B.xlsx;2;2020,00;210,00;0,00;3;1;invalid" + q1);
  EXPECT_EQ(manifest[2], "0002;C, D;12345678A;;;2;2020,00;210,00;190,00;1;0;skipped" + q1);
  EXPECT_EQ(manifest[3], "0003;E, F;X1234567L;;;2;2020,00;210,00;190,00;1;0;skipped" + q1);
  EXPECT_EQ(manifest[4], "0004;G, H;;;;2;2020,00;210,00;190,00;1;0;skipped" + q1);
  EXPECT_EQ(manifest[5], "0005;I, J;X1234567L;;;2;2020,00;210,00;190,00;1;0;skipped" + q1);
  std::string rules;
  for (const std::string& line : Lines(inst.Read(inst.out() + "validation.csv"))) {
    const auto semi = [&](int n) {
      std::size_t at = 0;
      for (int i = 0; i < n; ++i) at = line.find(';', at) + 1;
      return at;
    };
    rules += line.substr(0, 4) + ":" + line.substr(semi(2), semi(3) - semi(2) - 1) + ":" +
             line.substr(semi(4), semi(5) - semi(4) - 1) + " ";
  }
  EXPECT_EQ(rules,
            "owne:row:rule 0001:3:V2 0001:4:V2 0001:4:V12 0001:4:NUMERO 0002::TITULAR 0003::TITULAR 0004::TITULAR "
            "0005::TITULAR ");
  EXPECT_EQ(inst.OutFiles(), (std::vector<std::string>{"2026B08222341CA, B.xlsx", "manifest.csv", "validation.csv",
                                                       "zovllibres.lck"}));
}

// A book that cannot be written is reported, leaves nothing behind, and
// does not stop the other owners' books.
TEST(BooksRunTest, ABookThatCannotBeWrittenIsReportedAndLeavesNothing) {
  BooksInstallation inst;
  SmallAgency(inst);
  inst.fs.OnlyNamesEndingIn(".xlsx");
  inst.fs.FailAt(platform::FaultFileSystem::Op::kWrite, 1);
  const RunOutput r = inst.RunFor(2026, 4);
  EXPECT_EQ(r.code, BooksOutcome::kProblems);
  EXPECT_NE(r.out.find("1 books"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 books not written"), std::string::npos) << r.out;
  EXPECT_EQ(inst.OutFiles(),
            (std::vector<std::string>{kEntityBook, "manifest.csv", "validation.csv", "zovllibres.lck"}));
  const auto manifest = Lines(inst.Read(inst.out() + "manifest.csv"));
  ASSERT_EQ(manifest.size(), 3u);
  EXPECT_NE(manifest[1].find(";failed;"), std::string::npos) << manifest[1];
  EXPECT_NE(inst.Read(inst.out() + "validation.csv").find("FICHERO;error;FICHERO: No se ha podido escribir"),
            std::string::npos);
}

}  // namespace
}  // namespace zov::books

namespace zov::books {
namespace {

// The demo installation, with the NIF file zovdata writes for it: every
// owner gets a valid book, and every register line of the year is in one.
TEST(BooksRunTest, DemoInstallationBooksAreValidAndAgreeWithTheRegister) {
  BooksInstallation inst;
  tools::DemoRequest request;
  request.dir = inst.root();
  tools::demo::DemoCounts counts;
  const platform::Status built = tools::BuildDemoInstallation(inst.env, request, &counts);
  ASSERT_TRUE(built.ok()) << built.message();
  const RunOutput r = inst.RunFor(2026, 4);
  EXPECT_EQ(r.code, BooksOutcome::kAllValid) << r.out << r.err;
  EXPECT_NE(r.out.find(std::to_string(counts.owners) + " books"), std::string::npos) << r.out;
  ExpectBooksMatchRegister(inst, "1/1/2026", "31/12/2026");
  // Books are packed beside the walk; the reports still follow the owners.
  for (const char* report : {"manifest.csv", "validation.csv"}) {
    const auto lines = Lines(inst.Read(inst.out() + report));
    ASSERT_GT(lines.size(), 2u) << report;
    for (std::size_t i = 2; i < lines.size(); ++i)
      EXPECT_LE(lines[i - 1].substr(0, 4), lines[i].substr(0, 4)) << report << " line " << i;
  }
}

}  // namespace
}  // namespace zov::books

namespace zov::books {
namespace {

// Every file of the output folder, by name, but the lock file (which
// names the run that last held it).
std::map<std::string, std::string> OutBytes(BooksInstallation& inst) {
  std::map<std::string, std::string> bytes;
  for (const std::string& name : inst.OutFiles())
    if (name != "zovllibres.lck") bytes[name] = inst.Read(inst.out() + name);
  return bytes;
}

// Same installation, same request, same time: the same bytes, books and
// reports alike. The time is SOURCE_DATE_EPOCH's when it is set, else the
// clock's, read once: both stamp the books the same way.
TEST(BooksRunTest, SameInputsAndTimeGiveTheSameBytes) {
  BooksInstallation inst;
  SmallAgency(inst);
  inst.environment.Set("SOURCE_DATE_EPOCH", "1700000000");  // 2023-11-14 22:13:20 UTC
  ASSERT_EQ(inst.RunFor(2026, 4).code, BooksOutcome::kAllValid);
  const auto first = OutBytes(inst);
  ASSERT_EQ(first.size(), 4u);
  ASSERT_EQ(inst.RunFor(2026, 4).code, BooksOutcome::kAllValid);  // over the first run's books
  EXPECT_TRUE(OutBytes(inst) == first) << "a second run changed the bytes";

  std::vector<ZipEntryRead> entries;
  ASSERT_EQ(ReadZip(first.at(kIndividualBook), &entries), "");
  const ZipTimestamp stamp = ZipTimestamp::Of(RunTime::FromSeconds(1700000000));
  for (const ZipEntryRead& e : entries) {
    EXPECT_EQ(e.date, stamp.date) << e.name;
    EXPECT_EQ(e.time, stamp.time) << e.name;
    if (e.name == "docProps/core.xml") {
      EXPECT_NE(e.data.find("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2023-11-14T22:13:20Z<"),
                std::string::npos) << e.data;
    }
  }

  // Without the variable, the clock's time: the fake clock's 8 December
  // 2026 at noon, read as UTC, which the variable can also give.
  inst.environment.Unset("SOURCE_DATE_EPOCH");
  ASSERT_EQ(inst.RunFor(2026, 4).code, BooksOutcome::kAllValid);
  const auto by_clock = OutBytes(inst);
  EXPECT_FALSE(by_clock == first);
  inst.environment.Set("SOURCE_DATE_EPOCH", std::to_string(inst.clock.SecondsSinceEpoch()));
  ASSERT_EQ(inst.RunFor(2026, 4).code, BooksOutcome::kAllValid);
  EXPECT_TRUE(OutBytes(inst) == by_clock);
}

// Regression: the figures of an owner skipped for want of a NIF followed
// the book type of the owner before him, so his withholding showed 0,00
// after a legal entity's VAT-only book. Each owner's figures are his own.
TEST(BooksRunTest, ASkippedOwnersFiguresAreHisOwn) {
  auto run = [](bool entity_first) {
    BooksInstallation inst;
    if (entity_first) {
      inst.Add(reg::kFileVPropiet, Owner("0001", "PATRIMONIAL MATARO SA", "S"));
      inst.Add(reg::kFileVGrups, Group("00010001", "G"));
      inst.Add(reg::kFileVDepBase, Property("000100010001", "BAR EL RACO SL", "ESB08222341"));
      inst.Add(reg::kFileVDepCont, Contract("000100010001", "L", "S"));
      inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260105", "26010001"));
    }
    inst.Add(reg::kFileVPropiet, Owner("0002", "PUIG*JOAN", "S"));
    inst.Add(reg::kFileVGrups, Group("00020001", "G"));
    inst.Add(reg::kFileVDepBase, Property("000200010001", "FARMACIA SL", "ESB08222341"));
    inst.Add(reg::kFileVDepCont, Contract("000200010001", "L", "S"));
    inst.Add(reg::kFileVCobros, Receipt("000200010001", "20260105", "26010002"));
    inst.Build();
    inst.WriteNifs("0001;A58818501\r\n");  // owner 0002 has none
    EXPECT_EQ(inst.RunFor(2026, 1).code, BooksOutcome::kProblems);
    const auto manifest = Lines(inst.Read(inst.out() + "manifest.csv"));
    return manifest.back();
  };
  const std::string alone = run(false);
  EXPECT_EQ(alone, "0002;PUIG, JOAN;;;;1;1000,00;210,00;190,00;1;0;skipped;01/01/2026 to 31/03/2026");
  EXPECT_EQ(run(true), alone);
}

}  // namespace
}  // namespace zov::books

namespace zov::books {
namespace {

// An owner of a small agency: name as stored, NIF in the NIF file (none
// when empty), and one premises let with an invoice on each date.
struct AgencyOwner {
  std::string code, name, nif;
  std::vector<std::string> dates;
};

void BuildAgency(BooksInstallation& inst, const std::vector<AgencyOwner>& owners) {
  std::string nifs;
  for (const AgencyOwner& o : owners) {
    const std::string property = o.code + "00010001";
    inst.Add(reg::kFileVPropiet, Owner(o.code, o.name, "S"));
    inst.Add(reg::kFileVGrups, Group(o.code + "0001", "G"));
    inst.Add(reg::kFileVDepBase, Property(property, "BAR EL RACO SL", "ESB08222341"));
    inst.Add(reg::kFileVDepCont, Contract(property, "L", "S"));
    for (std::size_t i = 0; i < o.dates.size(); ++i)
      inst.Add(reg::kFileVCobros, Receipt(property, o.dates[i], o.code + format::ZeroPad(static_cast<int64_t>(i), 4)));
    if (!o.nif.empty()) nifs += o.code + ";" + o.nif + "\r\n";
  }
  inst.Build();
  inst.WriteNifs(nifs);
}

// Every file of a folder with its bytes, the lock file aside.
std::map<std::string, std::string> FolderBytes(platform::FileSystem& fs, const std::string& dir) {
  std::map<std::string, std::string> bytes;
  std::vector<platform::DirEntry> entries;
  EXPECT_TRUE(fs.ListDirectory(dir, &entries).ok()) << dir;
  for (const platform::DirEntry& e : entries) {
    if (e.name == "zovllibres.lck") continue;
    if ((e.attributes & platform::kAttrDirectory) != 0) {
      bytes[e.name + "/"] = "";
      continue;
    }
    EXPECT_TRUE(fs.ReadFile(dir + e.name, &bytes[e.name]).ok()) << e.name;
  }
  return bytes;
}

RunOutput RunInto(BooksInstallation& inst, int quarter, const std::string& out_dir) {
  BooksRequest request;
  request.year = 2026;
  request.quarter = quarter;
  request.out_dir = out_dir;
  return inst.Run(request);
}

// A second run into the folder of a first, whatever changed between them,
// leaves exactly what it would have left in an empty folder (no book of the
// first run that the second does not list), beside the files that no run
// wrote, which keep their bytes.
TEST(BooksRunTest, ASecondRunLeavesNoStaleBook) {
  const AgencyOwner puig{"0001", "PUIG*JOAN", "12345678Z", {"20260105", "20260405"}};
  const AgencyOwner mataro{"0002", "PATRIMONIAL MATARO SA", "A58818501", {"20260110", "20261010"}};
  const AgencyOwner late{"0003", "SALA*ANNA", "X1234567L", {"20261105"}};
  AgencyOwner puig_without_nif = puig;
  puig_without_nif.nif.clear();
  AgencyOwner puig_renamed = puig;
  puig_renamed.name = "PUIG I FERRER*JOAN";
  struct Case {
    std::string what;
    std::vector<AgencyOwner> before, after;
    int quarter_before, quarter_after;
  } cases[] = {
      {"an owner lost his NIF", {puig, mataro}, {puig_without_nif, mataro}, 1, 1},
      {"an owner changed his name", {puig, mataro}, {puig_renamed, mataro}, 1, 1},
      {"an owner has no invoices in the new period", {puig, mataro, late}, {puig, mataro, late}, 4, 2},
      {"the other quarter", {puig, mataro, late}, {puig, mataro, late}, 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BooksInstallation first, second;
    for (BooksInstallation* inst : {&first, &second}) inst->environment.Set("SOURCE_DATE_EPOCH", "1700000000");
    BuildAgency(first, c.before);
    BuildAgency(second, c.after);
    platform::FileSystem& fs = *first.base_;
    const std::string shared = first.dir() + "shared/";
    const RunOutput a = RunInto(first, c.quarter_before, shared);
    ASSERT_EQ(a.err.find("nothing in"), std::string::npos) << a.err;
    const auto first_set = FolderBytes(fs, shared);
    ASSERT_TRUE(fs.WriteFile(shared + "notes.txt", "the agency's own").ok());
    ASSERT_TRUE(fs.WriteFile(shared + "2025B08222341CVELL.xlsx", "last year's, by hand").ok());
    ASSERT_TRUE(fs.CreateDirectory(shared + "arxiu").ok());

    const RunOutput b = RunInto(second, c.quarter_after, shared);
    ASSERT_EQ(b.err.find("nothing in"), std::string::npos) << b.err;
    ASSERT_EQ(RunInto(second, c.quarter_after, second.out()).code, b.code);
    auto expected = FolderBytes(fs, second.out());
    EXPECT_FALSE(expected == first_set) << "the case changes the set";
    expected["notes.txt"] = "the agency's own";
    expected["2025B08222341CVELL.xlsx"] = "last year's, by hand";
    expected["arxiu/"] = "";
    const auto after = FolderBytes(fs, shared);
    EXPECT_TRUE(after == expected);
    for (const auto& [name, bytes] : after)
      if (!expected.count(name)) ADD_FAILURE() << "stale: " << name;
    for (const auto& [name, bytes] : expected)
      if (!after.count(name)) ADD_FAILURE() << "missing: " << name;
  }
}

// The real record manager, failing every read of the walk's files after
// the first `fine` with an I/O error.
class FailingReads : public platform::RecordManager {
 public:
  FailingReads(platform::RecordManager& real, int fine) : real_(real), fine_(fine) {}
  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    if (operation == platform::kOpGetNext && ++reads_ > fine_) return 2;
    return real_.Call(operation, position_block, data, data_length, key, key_length, key_number);
  }

 private:
  platform::RecordManager& real_;
  int fine_;
  int reads_ = 0;
};

// A walk that stops midway leaves the folder as the run before left it:
// none of the books it wrote, no half manifest.
TEST(BooksRunTest, AWalkThatStopsLeavesThePreviousSet) {
  BooksInstallation inst;
  SmallAgency(inst);
  inst.environment.Set("SOURCE_DATE_EPOCH", "1700000000");
  ASSERT_EQ(inst.RunFor(2026, 1).code, BooksOutcome::kAllValid);
  const auto before = FolderBytes(*inst.base_, inst.out());
  for (int fine : {0, 3, 6}) {
    SCOPED_TRACE(fine);
    FailingReads failing(*inst.rm, fine);
    inst.env.record_manager = &failing;
    const RunOutput r = inst.RunFor(2026, 4);
    inst.env.record_manager = inst.rm.get();
    EXPECT_EQ(r.code, BooksOutcome::kProblems);
    EXPECT_NE(r.err.find("run stopped; nothing in " + inst.base_->Resolve(inst.dir() + "out") + " changed\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(FolderBytes(*inst.base_, inst.out()) == before);
  }
}

}  // namespace
}  // namespace zov::books

namespace zov::books {
namespace {

// Owner names and NIF-file values that a spreadsheet would run or a CSV
// reader would split reach the manifest and the validation report harmless:
// formulas guarded, quotes quoted, control bytes blanked, and a 50 MB NIF
// value a short, marked one (the run never holds a second copy of it).
TEST(BooksRunTest, HostileTextReachesTheReportsHarmless) {
  BooksInstallation inst;
  const std::string names[] = {"=HYPERLINK(\"http://x.example\";\"clic\")", "+cmd|' /C calc'!A0", "@SUM(1+1)",
                               "-2+3", "O\"BRIEN*ANNA", std::string("E\x1B[2J\bX\x7F\0Z", 10)};
  std::vector<AgencyOwner> owners;
  for (std::size_t i = 0; i < std::size(names); ++i)
    owners.push_back({format::ZeroPad(static_cast<int64_t>(i + 1), 4), names[i], "12345678Z", {"20260105"}});
  BuildAgency(inst, owners);
  std::string nifs;
  for (std::size_t i = 0; i < std::size(names); ++i)
    nifs += std::to_string(i + 1) + ";" +
            (i == 0 ? std::string(50 * 1000 * 1000, '7') : "X123456" + std::to_string(i) + "L") + "\n";
  inst.WriteNifs(nifs);
  const RunOutput r = inst.RunFor(2026, 1);
  EXPECT_EQ(r.code, BooksOutcome::kProblems);  // the owner with the endless NIF is skipped

  for (const char* report : {"manifest.csv", "validation.csv"}) {
    SCOPED_TRACE(report);
    const std::string text = inst.Read(inst.out() + report);
    const auto records = output::ReadReportRecords(text);
    ASSERT_GT(records.size(), 1u);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(records.size(), lines) << "a field broke a line or swallowed one";
    for (const auto& record : records) {
      EXPECT_EQ(record.size(), records[0].size());
      for (const std::string& field : record) {
        EXPECT_LE(field.size(), output::kReportFieldLimit + 1) << field.substr(0, 80);
        EXPECT_EQ(field.find_first_of(std::string("\x1B\b\x7F\0", 4)), std::string::npos) << field;
        EXPECT_TRUE(field.empty() || std::string_view("=+-@").find(field[0]) == std::string_view::npos) << field;
      }
    }
  }
  const auto manifest = output::ReadReportRecords(inst.Read(inst.out() + "manifest.csv"));
  ASSERT_EQ(manifest.size(), 7u);
  struct Field {
    std::size_t line, column;
    std::string value;
  } fields[] = {
      {1, 1, "'=HYPERLINK(\"http://x.example\";\"clic\")"},
      {1, 2, std::string(kNifKeptBytes, '7') + std::string(output::kCutMark)},
      {1, 11, "skipped"},
      {2, 1, "'+cmd|' /C calc'!A0"},
      {3, 1, "'@SUM(1+1)"},
      {4, 1, "'-2+3"},
      {5, 1, "O\"BRIEN, ANNA"},
      {6, 1, "E [2J X  Z"},
      {6, 6, "1000,00"},  // a number stays a number
  };
  for (const Field& f : fields) EXPECT_EQ(manifest[f.line][f.column], f.value) << f.line << ":" << f.column;
}

}  // namespace
}  // namespace zov::books
