#include "register/walk.h"

#include "gtest/gtest.h"
#include "register/csv_fields.h"
#include "register/layout.h"
#include "tests/register/harness.h"

namespace zov::reg {
namespace {

const std::string kTitle = "LLIBRE REGISTRE DE FACTURES EMESES ENTRE 1/1/2026 I 31/12/2026";

std::vector<std::string> HeadingLines(int page, std::string_view owner_name) {
  return {"PAGE 66 ", "*@e", Item(1, owner_name, 0), "JUSD",
          Item(85, "P\xB7GINA " + std::string(page < 10 ? "   " : "  ") + std::to_string(page), 2),
          Item(17, kTitle, 2), "*q", Item(1, "CODI", 0), Item(16, "CLIENT", 0), Item(58, "N.I.F.", 1),
          Item(45, "FACTURA", 0), Item(54, "DATA", 0), "JUSD", Item(65, "       EXEMPT ", 0),
          Item(80, "         BASE ", 0), Item(95, "TIPUS", 0), Item(101, "     IMPOSTOS ", 0),
          Item(116, "TIPUS", 0), Item(122, "     RETENCI\xE0 ", 1), Item(1, std::string(134, '-'), 1)};
}

struct Walk {
  Harness h;
  Walk() { h.OpenFiles(); }

  // One owner, one group, one property with contract and cadastre.
  void OneOfEach(std::string_view flag = "S") {
    h.Add(kFileVPropiet, Owner("0001", "PUIG*JOAN", flag, "joan@example.com"));
    h.Add(kFileVGrups, Group("00010001", "CARRER MAJOR"));
    h.Add(kFileVDepBase, Property("000100010001", "GARCIA LOPEZ, MARIA", "ES12345678Z"));
    h.Add(kFileVDepCont, Contract("000100010001", "L", "S"));
    h.Add(kFileVDepCada, Cadastre("000100010001", "1234567AB1234C0001XY", "08001"));
  }

  std::vector<std::string> Run() {
    h.OpenPrint();
    EXPECT_TRUE(ProduceRegister(h.ctx).ok());
    return h.PrintLines();
  }
};

TEST(WalkTest, OneOwnerOneLineItemByItem) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  const auto lines = w.Run();
  std::vector<std::string> expected = {"SENDjoan@example.com,,JOAN PUIG"};
  for (const auto& l : HeadingLines(1, "JOAN PUIG")) expected.push_back(l);
  const std::vector<std::string> rest = {
      "*e", Item(1, "1.1 CARRER MAJOR", 2), "*q", Item(1, "1.1.1", 0),
      Item(16, "GARCIA LOPEZ, MARIA" + std::string(21, ' '), 0), Item(58, "ES12345678Z      ", 1),
      Item(45, "00001234", 0), Item(54, "15/3/2026 ", 0), "JUSD", Item(65, "         0'00 ", 0),
      Item(80, "     1.000'00 ", 0), Item(95, "21'00", 0), Item(101, "       210'00 ", 0), Item(116, "19'00", 0),
      Item(122, "       190'00-", 1), Item(65, std::string(70, '-'), 1), Item(45, "TOTAL ", 0), "JUSD",
      Item(65, "         0'00 ", 0), Item(80, "     1.000'00 ", 0), Item(95, "21'00", 0),
      Item(101, "       210'00 ", 0), Item(122, "       190'00-", 1), Item(45, std::string(90, '='), 1)};
  expected.insert(expected.end(), rest.begin(), rest.end());
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "item " << i;
  EXPECT_EQ(h.print.line_counter, 14);
  EXPECT_EQ(h.state.page_counter, 0);
  EXPECT_TRUE(h.state.mail_requested);
  EXPECT_EQ(h.state.lines, 1);
  // OpenCsv false: the owner's file is gone, its slot free.
  EXPECT_TRUE(h.CsvFiles().empty());
  EXPECT_TRUE(h.slots.slots.at(0).file_name.empty());
  EXPECT_EQ(h.slots.lost_lines, 0);
}

TEST(WalkTest, OpenCsvKeepsTheFileAndRunsTheOpener) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  h.session.exe_dir = h.fake.root() + "bin/";
  ASSERT_TRUE(h.fs->CreateDirectory(h.session.exe_dir).ok());
  ASSERT_TRUE(h.fs->WriteFile(h.session.exe_dir + "Dedado.Exe", "").ok());
  h.state.params.open_csv = true;
  w.Run();
  const auto csv = h.CsvFiles();
  ASSERT_EQ(csv.size(), 1u);
  ASSERT_EQ(h.processes.runs.size(), 1u);
  EXPECT_EQ(h.processes.runs[0].program, h.fs->Resolve(h.session.exe_dir + "Dedado.Exe"));
  EXPECT_EQ(h.processes.runs[0].args, (std::vector<std::string>{h.fs->Resolve(h.fake.root() + csv[0])}));
  std::string text;
  ASSERT_TRUE(h.fs->ReadFile(h.fake.root() + csv[0], &text).ok());
  std::string header;
  for (const IssuedColumnSpec& c : kIssuedInvoiceDesign)
    header += (header.empty() ? "" : ";") + std::string(c.csv_header);
  EXPECT_EQ(text.substr(0, header.size() + 2), header + "\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_EQ(std::count(text.begin(), text.end(), ';'), 70);
}

// Where the system starts documents through its command interpreter, it gets
// "/C", the opener and the CSV path as separate arguments, so that the
// process runner can quote a path holding a blank.
TEST(WalkTest, OpenCsvThroughTheCommandInterpreter) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  h.env.conventions.opener_through_command_interpreter = true;
  h.fake.environment.Set("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  h.state.params.open_csv = true;
  w.Run();
  const auto csv = h.CsvFiles();
  ASSERT_EQ(csv.size(), 1u);
  ASSERT_EQ(h.processes.runs.size(), 1u);
  EXPECT_EQ(h.processes.runs[0].program, "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(h.processes.runs[0].args,
            (std::vector<std::string>{"/C", "DEDADO.EXE", h.state.csv_path}));
  EXPECT_EQ(h.state.csv_path.substr(h.state.csv_path.size() - 12), csv[0]);
}

TEST(WalkTest, OpenerMissingRunsNothing) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  h.state.params.open_csv = true;
  w.Run();
  EXPECT_TRUE(h.processes.runs.empty());
  EXPECT_EQ(h.CsvFiles().size(), 1u);
}

TEST(WalkTest, OwnerFlagsAgainstTheSwitches) {
  struct Case {
    std::string flag;
    bool s, n;
    bool lines;
  } cases[] = {
      {"S", true, false, true},  {"S", false, true, false}, {"N", true, false, false}, {"N", false, true, true},
      {"X", true, false, true},  {"X", false, true, true},  {" ", false, false, false}, {"S", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flag '" << c.flag << "' S " << c.s << " N " << c.n);
    Walk t;
    t.OneOfEach(c.flag);
    t.h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
    t.h.state.params.include_flag_s = c.s;
    t.h.state.params.include_flag_n = c.n;
    const auto lines = t.Run();
    EXPECT_EQ(t.h.state.lines, c.lines ? 1 : 0);
    EXPECT_EQ(lines.empty(), !c.lines);
  }
}

TEST(WalkTest, PropertyAndDateRanges) {
  Walk w;
  Harness& h = w.h;
  h.Add(kFileVPropiet, Owner("0001", "A*B"));
  h.Add(kFileVPropiet, Owner("0002", "C*D"));
  h.Add(kFileVGrups, Group("00010001", "G11"));
  h.Add(kFileVGrups, Group("00010002", "G12"));
  h.Add(kFileVGrups, Group("00020001", "G21"));
  for (std::string code : {"000100010001", "000100020001", "000100020005", "000100020009", "000200010001"}) {
    h.Add(kFileVDepBase, Property(code, "T", "ES1"));
    h.Add(kFileVCobros, Receipt(code, "20260315", "0000" + code.substr(8)));
    h.Add(kFileVCobros, Receipt(code, "20250315", "9999" + code.substr(8)));  // before DateFrom
    h.Add(kFileVCobros, Receipt(code, "20270101", "8888" + code.substr(8)));  // after DateTo
  }
  struct Case {
    std::string from, to;
    std::vector<std::string> invoices;
  } cases[] = {
      {"000100010001", "999999999999", {"00000001", "00000001", "00000005", "00000009", "00000001"}},
      {"000100020005", "000100029999", {"00000005", "00000009"}},
      {"000100020002", "000100020005", {"00000005"}},
      {"000100020001", "000200010001", {"00000001", "00000005", "00000009", "00000001"}},
      {"000200010002", "999999999999", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " " + c.to);
    h.state = RegisterState{};
    h.state.csv_directory = h.fake.root();
    h.state.params.date_from = P("20260101");
    h.state.params.date_to = P("20261231");
    h.state.params.class_to = P("99");
    h.state.params.include_flag_s = h.state.params.include_flag_n = true;
    h.state.params.property_from = P(c.from);
    h.state.params.property_to = P(c.to);
    const auto lines = w.Run();
    std::vector<std::string> invoices;
    for (const auto& l : lines)
      if (l.rfind(Num(45) + ",", 0) == 0 && l.size() == Item(45, "00000000", 0).size() && l[5] != 'A')
        invoices.push_back(l.substr(5, 8));
    EXPECT_EQ(invoices, c.invoices);
  }
}

// A property without contract or cadastral record must not take the
// previous property's: it is read as a blank record.
TEST(WalkTest, PropertyWithoutContractDoesNotInheritThePreviousOne) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVDepBase, Property("000100010002", "SECOND", "ES2"));
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  ReceiptRecord second = Receipt("000100010002", "20260315", "00000002");
  second.SetStoredTaxBase(90000);
  h.Add(kFileVCobros, second);
  h.state.params.open_csv = true;  // keep the file to read it
  const auto lines = w.Run();
  // The stored base (90000) and an exempt part: the blank kind is not "V"/"P".
  EXPECT_NE(std::find(lines.begin(), lines.end(), Item(80, "       900'00 ", 0)), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), Item(65, "       100'00 ", 0)), lines.end());
  const auto csv = h.CsvFiles();
  ASSERT_EQ(csv.size(), 1u);
  std::string text;
  ASSERT_TRUE(h.fs->ReadFile(h.fake.root() + csv[0], &text).ok());
  std::vector<std::vector<std::string>> rows;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    std::string line = text.substr(start, end - start);
    std::vector<std::string> fields;
    std::size_t f = 0;
    while (true) {
      std::size_t semi = line.find(';', f);
      fields.push_back(line.substr(f, semi == std::string::npos ? std::string::npos : semi - f));
      if (semi == std::string::npos) break;
      f = semi + 1;
    }
    rows.push_back(fields);
    start = end + 2;
  }
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][17], "11");
  EXPECT_EQ(rows[1][33], "1");
  EXPECT_EQ(rows[2][17], "01");
  EXPECT_EQ(rows[2][18], "N1");
  EXPECT_EQ(rows[2][19], "E1");
  EXPECT_EQ(rows[2][33], "4");
  EXPECT_EQ(rows[2][34], std::string(20, ' '));
}

TEST(WalkTest, TwoOwnersEachStartAtPageOne) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  h.Add(kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  h.Add(kFileVPropiet, Owner("0002", "SALA*PERE", "N", ""));
  h.Add(kFileVGrups, Group("00020001", "PLACA"));
  h.Add(kFileVDepBase, Property("000200010001", "T2", "ES2"));
  h.Add(kFileVCobros, Receipt("000200010001", "20260316", "00000002"));
  const auto lines = w.Run();
  std::vector<std::string> sends, pages;
  for (const auto& l : lines) {
    if (l.rfind("SEND", 0) == 0) sends.push_back(l);
    if (l.rfind(Num(85) + ",", 0) == 0) pages.push_back(l);
  }
  EXPECT_EQ(sends, (std::vector<std::string>{"SENDjoan@example.com,,JOAN PUIG", "SEND,,PERE SALA"}));
  EXPECT_EQ(pages, (std::vector<std::string>{Item(85, "P\xB7GINA    1", 2), Item(85, "P\xB7GINA    1", 2)}));
  EXPECT_TRUE(h.state.mail_requested);
  EXPECT_EQ(h.state.owners, 2);
}

TEST(WalkTest, ReceiptKeyTwoReadsByPaymentDate) {
  Walk w;
  Harness& h = w.h;
  w.OneOfEach();
  ReceiptRecord r = Receipt("000100010001", "20250315", "00000001");
  r.SetPaymentDate(P("20260110"));
  h.Add(kFileVCobros, r);
  for (int16_t key : {int16_t{1}, int16_t{2}}) {
    SCOPED_TRACE(key);
    h.state.lines = 0;
    h.state.params.receipt_key = key;
    w.Run();
    EXPECT_EQ(h.state.lines, key == 2 ? 1 : 0);
  }
}

}  // namespace
}  // namespace zov::reg

namespace zov::reg {
namespace {

// Both ends of the date range and of the property range are inclusive; a
// receipt one day or one code outside is not read, and an owner whose only
// receipt is not selected gets no page and no CSV file.
TEST(WalkTest, RangeEndsAreInclusive) {
  struct Case {
    std::string what, date_from, date_to, property_from, property_to;
    std::vector<std::string> invoices;
  } cases[] = {
      {"whole year", "20260101", "20261231", "000100010001", "999999999999",
       {"00000101", "00000102", "00000103", "00000201"}},
      {"single day at the start", "20260101", "20260101", "000100010001", "999999999999", {"00000101", "00000201"}},
      {"single day at the end", "20261231", "20261231", "000100010001", "999999999999", {"00000103"}},
      {"ends one day inside", "20260102", "20261230", "000100010001", "999999999999", {"00000102"}},
      {"up to the first property exactly", "20260101", "20261231", "000100010001", "000100010001",
       {"00000101", "00000102", "00000103"}},
      {"from the second owner's property exactly", "20260101", "20261231", "000200010001", "000200010001",
       {"00000201"}},
      {"owner code past the upper bound", "20260101", "20261231", "000100010001", "000199999999",
       {"00000101", "00000102", "00000103"}},
      {"property just past the lower bound", "20260101", "20261231", "000100010002", "999999999999",
       {"00000201"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Walk w;
    Harness& h = w.h;
    h.Add(kFileVPropiet, Owner("0001", "A*B"));
    h.Add(kFileVPropiet, Owner("0002", "C*D"));
    h.Add(kFileVPropiet, Owner("0003", "E*F"));
    h.Add(kFileVGrups, Group("00010001", "G1"));
    h.Add(kFileVGrups, Group("00020001", "G2"));
    h.Add(kFileVGrups, Group("00030001", "G3"));
    h.Add(kFileVDepBase, Property("000100010001", "T1", "ES1"));
    h.Add(kFileVDepBase, Property("000200010001", "T2", "ES2"));
    h.Add(kFileVDepBase, Property("000300010001", "T3", "ES3"));
    h.Add(kFileVCobros, Receipt("000100010001", "20251231", "00000100"));
    h.Add(kFileVCobros, Receipt("000100010001", "20260101", "00000101"));
    h.Add(kFileVCobros, Receipt("000100010001", "20260615", "00000102"));
    h.Add(kFileVCobros, Receipt("000100010001", "20261231", "00000103"));
    h.Add(kFileVCobros, Receipt("000100010001", "20270101", "00000104"));
    h.Add(kFileVCobros, Receipt("000200010001", "20260101", "00000201"));
    ReceiptRecord refused = Receipt("000300010001", "20260101", "00000301");
    refused.SetStatusCode("X");
    refused.SetPaidAmount(0);
    h.Add(kFileVCobros, refused);
    h.state.params.date_from = P(c.date_from);
    h.state.params.date_to = P(c.date_to);
    h.state.params.property_from = P(c.property_from);
    h.state.params.property_to = P(c.property_to);
    h.state.params.open_csv = true;  // keep the files to count them
    const auto lines = w.Run();
    std::vector<std::string> invoices;
    std::size_t sends = 0;
    for (const auto& l : lines) {
      if (l.rfind(Num(45) + ",000", 0) == 0) invoices.push_back(l.substr(5, 8));
      if (l.rfind("SEND", 0) == 0) ++sends;
    }
    EXPECT_EQ(invoices, c.invoices);
    std::size_t owners = 0;
    for (const std::string prefix : {"0000010", "0000020"})
      owners += std::any_of(c.invoices.begin(), c.invoices.end(),
                            [&](const std::string& i) { return i.rfind(prefix, 0) == 0; });
    EXPECT_EQ(sends, owners);
    EXPECT_EQ(h.CsvFiles().size(), owners);
    EXPECT_EQ(h.state.page_counter, 0);
  }
}

}  // namespace
}  // namespace zov::reg
