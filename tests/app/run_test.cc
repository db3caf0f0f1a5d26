// The real dazorov1 binary run on installations built in temporary
// directories; print file and CSV files compared byte for byte.
#include <sys/wait.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "gtest/gtest.h"
#include "platform/text_lines.h"
#include "tests/app/installation.h"
#include "tests/platform/recman/damaged_index.h"

namespace zov::app {
namespace {

using reg::Cadastre;
using reg::Contract;
using reg::Group;
using reg::Item;
using reg::Owner;
using reg::P;
using reg::Property;
using reg::Receipt;

constexpr std::string_view kTenant = "GARC\xD6" "A L\xE0PEZ, MAR\xD6" "A";  // "GARCÍA LÓPEZ, MARÍA"

std::vector<std::string> Lines(const std::string& text) {
  const std::vector<std::string_view> lines = platform::SplitLines(text);
  return {lines.begin(), lines.end()};
}

// An 8-digit invoice number.
std::string Invoice(int n) {
  std::string digits = std::to_string(n);
  return std::string(8 - digits.size(), '0') + digits;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// Page lines before the first occurrence of `line`.
std::size_t PagesBefore(const std::vector<std::string>& lines, const std::string& line) {
  const auto at = std::find(lines.begin(), lines.end(), line);
  EXPECT_NE(at, lines.end()) << line;
  return static_cast<std::size_t>(std::count(lines.begin(), at, std::string("PAGE 66 ")));
}

// One owner with a mail address, one group, one property with contract
// "L"/"S" and cadastral data in Bizkaia.
void OneOfEach(Installation& inst, std::string_view flag = "S") {
  inst.Add(reg::kFileVPropiet, Owner("0001", "PUIG*JOAN", flag, "joan@example.com"));
  inst.Add(reg::kFileVGrups, Group("00010001", "CARRER MAJOR"));
  inst.Add(reg::kFileVDepBase, Property("000100010001", kTenant, "ES12345678Z"));
  inst.Add(reg::kFileVDepCont, Contract("000100010001", "L", "S"));
  inst.Add(reg::kFileVDepCada, Cadastre("000100010001", "1234567AB1234C0001XY", "48001"));
}

// OneOfEach with one invoice of March, its CSV file kept (line 23).
void OneInvoiceKept(Installation& inst, const std::string& invoice) {
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", invoice));
  inst.SetLine(23, "S");
}

// The opener: copies the CSV it is given next to the print file.
void InstallOpener(Installation& inst) {
  inst.Write(inst.exe() + "dedado", "#!/bin/sh\ncp \"$1\" '" + Installation::Shell(inst.tmp()) +
                                        "opened.csv'\necho \"$1\" >> '" + Installation::Shell(inst.tmp()) +
                                        "opened.list'\n",
             true);
}

// And the same in a folder with accents, as the suite's users name theirs:
// code page 850 inside, UTF-8 on disk and to the opener.
TEST(RunTest, OneOwnerOneLineByteForByte) {
  for (const std::string folder : {"", "Administraci\xA2 Garc\xA1" "a/"}) {
    SCOPED_TRACE(folder);
    Installation inst(folder);
    OneOfEach(inst);
    inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
    inst.SetLine(23, "S");
    InstallOpener(inst);
    const RunResult r = inst.Run();
    EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
    EXPECT_EQ(r.stderr_text, "");
    EXPECT_EQ(inst.Read(inst.tmp() + "dozudizi.tmp"), inst.Read(Installation::Golden("one_owner.prn")));
    EXPECT_EQ(inst.Read(inst.tmp() + "opened.csv"), inst.Read(Installation::Golden("one_owner.csv")));
    EXPECT_EQ(inst.SpoolerRuns(), 1);
    EXPECT_EQ(inst.Read(inst.tmp() + "DOZUDIZI.INI"), "[Opcions]\r\nCorreu=S\r\n");
    // The opener got the one CSV file, which stays.
    const auto csv = inst.CsvFiles();
    ASSERT_EQ(csv.size(), 1u);
    EXPECT_EQ(inst.Read(inst.tmp() + "opened.list"), Installation::Shell(inst.csv() + csv[0]) + "\n");
    EXPECT_EQ(csv[0].size(), 12u);
    EXPECT_EQ(csv[0].substr(8), ".CSV");
    // The parameter file was created with its defaults.
    reg::ParamRecord defaults;
    defaults.SetDefaults();
    EXPECT_EQ(inst.Read(inst.root() + "DADES/VParam.tab"), defaults.view());
    if (!folder.empty()) {
      const std::string on_disk = Installation::Shell(inst.root());
      EXPECT_NE(on_disk.find("/Administraci\u00F3 Garc\u00EDa/root/"), std::string::npos) << on_disk;
      EXPECT_TRUE(std::filesystem::exists(on_disk + "DADES/VParam.tab"));
    }
  }
}

TEST(RunTest, OpenCsvFalseLeavesNoFile) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  InstallOpener(inst);
  const RunResult r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_TRUE(inst.CsvFiles().empty());
  EXPECT_FALSE(inst.Exists(inst.tmp() + "opened.list"));
}

// 51 lines: the 51st is printed at line 60 and stays; with 52 the 52nd
// comes at line 61 and a page heading is printed first.
TEST(RunTest, RegisterLineAtSixtyAndSixtyOne) {
  for (int receipts : {51, 52}) {
    SCOPED_TRACE(receipts);
    Installation inst;
    OneOfEach(inst);
    for (int i = 1; i <= receipts; ++i) {
      const std::string invoice = Invoice(i);
      inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", invoice));
    }
    const RunResult r = inst.Run();
    ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
    const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
    EXPECT_EQ(PagesBefore(lines, Item(45, "00000051", 0)), 1u);
    EXPECT_EQ(PagesBefore(lines, Item(45, Invoice(receipts), 0)), receipts == 51 ? 1u : 2u);
    if (receipts == 52) {
      const auto page2 = std::find(lines.rbegin(), lines.rend(), "PAGE 66 ").base() - 1;
      const auto last = std::find(lines.begin(), lines.end(), Item(45, "00000052", 0));
      const auto before = std::find(lines.begin(), lines.end(), Item(45, "00000051", 0));
      EXPECT_LT(before, page2);
      EXPECT_LT(page2, last);
      EXPECT_EQ(*(page2 + 4), Item(85, "P\xB7GINA    2", 2));
    }
  }
}

// A second group heading after 45 lines of the first group comes at line 56
// (no page), after 46 lines at line 57 (a page first).
TEST(RunTest, GroupHeadingPastFiftySix) {
  for (int receipts : {45, 46}) {
    SCOPED_TRACE(receipts);
    Installation inst;
    OneOfEach(inst);
    inst.Add(reg::kFileVGrups, Group("00010002", "PLA\x87" "A NOVA"));  // "PLAÇA NOVA"
    inst.Add(reg::kFileVDepBase, Property("000100020001", "SECOND", "ES2"));
    for (int i = 1; i <= receipts; ++i) {
      const std::string invoice = Invoice(i);
      inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", invoice));
    }
    inst.Add(reg::kFileVCobros, Receipt("000100020001", "20260316", "00000999"));
    const RunResult r = inst.Run();
    ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
    const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
    const auto title = std::find(lines.begin(), lines.end(), Item(1, "1.2 PLA\x87" "A NOVA", 2));
    ASSERT_NE(title, lines.end());
    if (receipts == 45) {
      EXPECT_EQ(*(title - 2), Item(0, "", 1));
      EXPECT_EQ(PagesBefore(lines, *title), 1u);
      EXPECT_EQ(*(title - 1), "*e");
    } else {
      EXPECT_EQ(PagesBefore(lines, *title), 2u);
      EXPECT_EQ(PagesBefore(lines, Item(0, "", 1)), 1u);
      EXPECT_EQ(*(title - 1), "*e");
      EXPECT_EQ(*(title - 2), Item(1, std::string(134, '-'), 1));
    }
  }
}

TEST(RunTest, TwoOwnersEachWithHandOffAndPageOne) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  inst.Add(reg::kFileVPropiet, Owner("0002", "SALA*PERE", "N", ""));
  inst.Add(reg::kFileVGrups, Group("00020001", "RAMBLA"));
  inst.Add(reg::kFileVDepBase, Property("000200010001", "T2", "ES2"));
  inst.Add(reg::kFileVCobros, Receipt("000200010001", "20260316", "00000002"));
  inst.SetLine(23, "S");
  const RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
  const auto second = std::find(lines.begin(), lines.end(), "SEND,,PERE SALA");
  ASSERT_NE(second, lines.end());
  EXPECT_EQ(*(second - 1), Item(45, std::string(90, '='), 1));
  EXPECT_EQ(*(second + 1), "PAGE 66 ");
  EXPECT_EQ(*(second + 3), Item(1, "PERE SALA", 0));
  EXPECT_EQ(*(second + 5), Item(85, "P\xB7GINA    1", 2));
  EXPECT_EQ(inst.CsvFiles().size(), 2u);
}

TEST(RunTest, TwelveVatRatesInOneOwner) {
  Installation inst;
  OneOfEach(inst);
  for (int i = 0; i < 12; ++i) {
    reg::ReceiptRecord r = Receipt("000100010001", "20260315", "0000000" + std::to_string(i % 10));
    r.SetVatRate(static_cast<int16_t>(2100 - 100 * i));
    inst.Add(reg::kFileVCobros, r);
  }
  inst.SetLine(23, "S");
  InstallOpener(inst);
  const RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
  const auto label = std::find(lines.begin(), lines.end(), Item(45, "TOTAL ", 0));
  ASSERT_NE(label, lines.end());
  std::vector<std::string> rates;
  for (auto it = label; it != lines.end(); ++it)
    if (it->rfind(" 95 ,", 0) == 0) rates.push_back(it->substr(5, 5));
  EXPECT_EQ(rates, (std::vector<std::string>{"21'00", "20'00", "19'00", "18'00", "17'00", "16'00", "15'00",
                                             "14'00", "13'00", "12'00", "11'00"}));
  EXPECT_EQ(Lines(inst.Read(inst.tmp() + "opened.csv")).size(), 13u);
}

TEST(RunTest, OwnerFlagsAgainstLines21And22) {
  struct Case {
    std::string flag, line21, line22;
    bool printed;
  } cases[] = {
      {"S", "S", "", true},  {"S", "", "S", false}, {"N", "S", "", false}, {"N", "", "S", true},
      {"X", "S", "", true},  {"X", "", "S", true},  {"X", "", "", false},  {"S", "s", "S", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("flag " + c.flag + " lines '" + c.line21 + "' '" + c.line22 + "'");
    Installation inst;
    OneOfEach(inst, c.flag);
    inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
    inst.SetLine(21, c.line21);
    inst.SetLine(22, c.line22);
    const RunResult r = inst.Run();
    ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
    const std::string print = inst.Read(inst.tmp() + "dozudizi.tmp");
    EXPECT_EQ(print == "DEVICE\r\n", !c.printed);
    EXPECT_EQ(inst.SpoolerRuns(), 1);
    if (!c.printed) {
      EXPECT_EQ(inst.Read(inst.tmp() + "DOZUDIZI.INI"), "[Opcions]\r\nCorreu=N\r\n");
    }
  }
}

TEST(RunTest, PropertyAndClassRanges) {
  struct Case {
    std::string from, to, class_from, class_to;
    std::vector<std::string> invoices;
  } cases[] = {
      {"", "", "", "99", {"00000011", "00000021", "00000022", "00000031"}},
      {"1.2", "1.2", "", "99", {"00000021", "00000022"}},
      {"1.2.2", "1", "", "99", {"00000022"}},
      {"2", "", "", "99", {"00000031"}},
      {"", "", "0002", "0002", {"00000021"}},
      {"", "", "0003", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " " + c.to + " " + c.class_from + " " + c.class_to);
    Installation inst;
    inst.Add(reg::kFileVPropiet, Owner("0001", "A*B"));
    inst.Add(reg::kFileVPropiet, Owner("0002", "C*D"));
    inst.Add(reg::kFileVGrups, Group("00010001", "G"));
    inst.Add(reg::kFileVGrups, Group("00010002", "G"));
    inst.Add(reg::kFileVGrups, Group("00020001", "G"));
    const struct {
      const char* code;
      const char* invoice;
      const char* class_code;
    } props[] = {{"000100010001", "00000011", "0001"},
                 {"000100020001", "00000021", "0002"},
                 {"000100020002", "00000022", "0001"},
                 {"000200010001", "00000031", "0001"}};
    for (const auto& p : props) {
      inst.Add(reg::kFileVDepBase, Property(p.code, "T", "ES1"));
      reg::ReceiptRecord r = Receipt(p.code, "20260315", p.invoice);
      r.SetClassCode(P(p.class_code));
      inst.Add(reg::kFileVCobros, r);
    }
    inst.SetLine(4, c.from);
    inst.SetLine(5, c.to);
    inst.SetLine(6, c.class_from);
    inst.SetLine(7, c.class_to);
    const RunResult r = inst.Run();
    ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
    std::vector<std::string> invoices;
    for (const auto& l : Lines(inst.Read(inst.tmp() + "dozudizi.tmp")))
      if (l.rfind(" 45 ,0", 0) == 0) invoices.push_back(l.substr(5, 8));
    EXPECT_EQ(invoices, c.invoices);
  }
}

TEST(RunTest, SpanishSessionWithALanguageFile) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00001234"));
  inst.Write(inst.tmp() + "OrvaTerm.ini", "[Sistema]\r\nIdioma=SPA\r\nSortida=LPT2\r\n");
  ASSERT_TRUE(inst.fs().CreateDirectory(inst.root() + "LOCALE").ok());
  inst.Write(inst.root() + "LOCALE/DAZOROV1.LNG",
             "\"P\xB7GINA \",\"P\xB5GINA \",\"P\xB7GINA \",\"P\xB5GINA \"\r\n"
             "\"LLIBRE REGISTRE DE FACTURES EMESES ENTRE \",\"\",\"\",\"LIBRO REGISTRO DE FACTURAS EMITIDAS ENTRE \"\r\n"
             "\" I \",\" E \",\" E \",\" Y \"\r\n"
             "CODI,CODIGO,CODI,CODIGO\r\n"
             "\"     RETENCI\xE0 \",\"    RETEN\x80\xC7O \",\"     RETENCI\xE0 \",\"    RETENCI\xE0N \"\r\n"
             "TOTAL ,TOTAL ,TOTAU ,TOTAL \r\n");
  const RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
  EXPECT_EQ(lines.at(0), "DEVICELPT2");
  const std::string title = "LIBRO REGISTRO DE FACTURAS EMITIDAS ENTRE 1/1/2026 Y 31/12/2026";
  EXPECT_EQ(Count(lines, Item((96 - static_cast<int>(title.size())) / 2, title, 2)), 1u);
  EXPECT_EQ(Count(lines, Item(85, "P\xB5GINA    1", 2)), 1u);
  EXPECT_EQ(Count(lines, Item(1, "CODIGO", 0)), 1u);
  EXPECT_EQ(Count(lines, Item(16, "CLIENT", 0)), 1u);
  EXPECT_EQ(Count(lines, Item(122, "    RETENCI\xE0N ", 1)), 1u);
}

// A property without a contract or cadastral record is exported as one
// without contract data and without cadastral data, never with the previous
// property's.
TEST(RunTest, PropertyWithoutRecordsDoesNotInheritThePreviousOnes) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVDepBase, Property("000100010002", "SECOND", "ES2"));
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  reg::ReceiptRecord second = Receipt("000100010002", "20260315", "00000002");
  second.SetStoredTaxBase(90000);
  inst.Add(reg::kFileVCobros, second);
  inst.SetLine(23, "S");
  InstallOpener(inst);
  const RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const auto rows = Lines(inst.Read(inst.tmp() + "opened.csv"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_NE(rows[1].find(";11;S1;  ;"), std::string::npos);
  EXPECT_NE(rows[2].find(";01;N1;E1;"), std::string::npos);
  EXPECT_NE(rows[2].find(";4;" + std::string(20, ' ') + ";"), std::string::npos);
  const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
  // Exempt 100'00 from the stored base under a blank kind: on the line and in the total.
  EXPECT_EQ(Count(lines, Item(65, "       100'00 ", 0)), 2u);
}

// Sums beyond 32 bits print their true value, or the mask's overflow form.
TEST(RunTest, SummaryBeyondThirtyTwoBits) {
  Installation inst;
  OneOfEach(inst);
  for (int i = 0; i < 6; ++i) {
    reg::ReceiptRecord r = Receipt("000100010001", "20260315", "0000000" + std::to_string(i));
    r.SetStoredTaxBase(INT32_MAX);
    r.SetTotalAmount(INT32_MAX);
    r.SetVatAmount(0);
    r.SetWithholdingAmount(0);
    inst.Add(reg::kFileVCobros, r);
  }
  const RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const auto lines = Lines(inst.Read(inst.tmp() + "dozudizi.tmp"));
  EXPECT_EQ(Count(lines, Item(80, "21.474.836'47 ", 0)), 6u);
  EXPECT_EQ(Count(lines, Item(80, "  128849018'82", 0)), 1u);
}

TEST(RunTest, MissingRunParametersEndTheRunWithoutOutput) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  inst.SkipPent();
  const RunResult r = inst.Run();
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.stderr_text.find("NO ES POT ACCEDIR AL FITXER " + inst.tmp() + "pent.tmp"), std::string::npos)
      << r.stderr_text;
  EXPECT_FALSE(inst.Exists(inst.tmp() + "dozudizi.tmp"));
  EXPECT_EQ(inst.SpoolerRuns(), 0);
  EXPECT_TRUE(inst.CsvFiles().empty());
}

// A FIFO in place of the run parameters is refused at once, never waited on
// for a writer that does not come.
TEST(RunTest, RunParametersThatAreAFifoFailTheRun) {
  Installation inst;
  OneOfEach(inst);
  inst.SkipPent();
  inst.MakeFifo(inst.tmp() + "pent.tmp");
  const RunResult r = inst.Run();
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.stderr_text.find(inst.tmp() + "pent.tmp"), std::string::npos) << r.stderr_text;
  EXPECT_EQ(inst.SpoolerRuns(), 0);
}

TEST(RunTest, ShortRunParametersReadMissingLinesAsEmpty) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  inst.pent().resize(6);  // no ClassTo: no receipt gets through
  const RunResult r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_EQ(inst.Read(inst.tmp() + "dozudizi.tmp"), "DEVICE\r\n");
  EXPECT_EQ(inst.SpoolerRuns(), 1);
}

TEST(RunTest, LineEndsOfTheRunParameters) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  inst.BuildDataFiles();
  std::string text;
  for (const auto& line : inst.pent()) text += line + "\n";
  inst.Write(inst.tmp() + "pent.tmp", text);
  inst.SkipPent();
  const RunResult r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_EQ(Count(Lines(inst.Read(inst.tmp() + "dozudizi.tmp")), Item(45, "00000001", 0)), 1u);
}

TEST(RunTest, DataFileThatCannotBeCreatedFailsTheRun) {
  Installation inst;
  ASSERT_TRUE(inst.fs().DeleteFile(inst.root() + "ddf/VCobros.xdf").ok());
  const RunResult r = inst.Run();
  EXPECT_NE(r.exit_code, 0);
  // The name as the system writes it: no "\\" between directories here.
  EXPECT_NE(r.stderr_text.find("NO ES POT ACCEDIR AL FITXER " + inst.root() + "DADES/VCobros ("), std::string::npos)
      << r.stderr_text;
  EXPECT_EQ(r.stderr_text.find('\\'), std::string::npos) << r.stderr_text;
  EXPECT_FALSE(inst.Exists(inst.tmp() + "dozudizi.tmp"));
  EXPECT_EQ(inst.SpoolerRuns(), 0);
}

// Folders given relative to where the run starts name the same places after
// it moves into DataRoot; folders given without their last separator make
// no mixed names in the messages.
TEST(RunTest, RelativeFoldersAndNativeNamesInMessages) {
  {
    Installation inst;
    OneInvoiceKept(inst, "00001234");
    inst.SetEnv("ZOVROOT", "root/");
    inst.SetEnv("ZOVTMP", "./tmp");
    inst.SetEnv("TEMP", "csv");
    // The run starts in the installation's folder.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(inst.dir());
    const RunResult r = inst.Run();
    std::filesystem::current_path(here);
    EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
    EXPECT_EQ(r.stderr_text, "");
    EXPECT_EQ(inst.Read(inst.tmp() + "dozudizi.tmp"), inst.Read(Installation::Golden("one_owner.prn")));
    const auto csv = inst.CsvFiles();
    ASSERT_EQ(csv.size(), 1u);
    EXPECT_EQ(inst.Read(inst.csv() + csv[0]), inst.Read(Installation::Golden("one_owner.csv")));
  }
  {
    Installation inst;
    std::string tmp = inst.tmp();
    tmp.pop_back();
    inst.SetEnv("ZOVTMP", tmp);
    inst.SetLine(2, "2026-12-31");
    const RunResult r = inst.Run();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.stderr_text, "dazorov1: " + inst.tmp() + "pent.tmp line 2: not a date\n");
  }
}

// A receipt of September whose index entry (4 bytes of VCobros.dat
// overwritten) says October: the fourth quarter's register would print it.
// The read that meets it fails as a damaged file: the run stops, naming
// VCobros, with exit code 1 and nothing handed on.
TEST(RunTest, AnIndexEntryThatDisagreesWithItsRecordStopsTheRun) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVDepBase, Property("000100010002", kTenant, "ES12345678Z"));
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260915", "00000009"));
  inst.Add(reg::kFileVCobros, Receipt("000100010002", "20261105", "00000011"));
  inst.SetLine(1, "1/10/2026");
  inst.SetLine(2, "31/12/2026");
  RunResult r = inst.Run();
  ASSERT_EQ(r.exit_code, 0) << r.stderr_text;
  const std::string sound = inst.Read(inst.tmp() + "dozudizi.tmp");
  EXPECT_EQ(Count(Lines(sound), Item(45, "00000011", 0)), 1u);
  EXPECT_EQ(Count(Lines(sound), Item(45, "00000009", 0)), 0u);

  std::string error;
  // Key 1, property and issue date, is the one the walk reads by.
  ASSERT_TRUE(platform::test::DamageIndexEntry(inst.root() + "DADES/VCobros.dat", "zov_key1",
                                               P("000100010001") + P("20260915"), P("000100010001") + P("20261015"),
                                               &error))
      << error;
  r = inst.Run();
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.stderr_text, "dazorov1: the register stopped: data file " + inst.root() +
                               "DADES/VCobros.dat: I/O error or damaged file (status 2)\n");
  EXPECT_EQ(inst.Read(inst.tmp() + "dozudizi.tmp"), sound) << "the earlier register stays as it was";
  EXPECT_EQ(inst.SpoolerRuns(), 1);
  EXPECT_TRUE(inst.CsvFiles().empty());
}

TEST(RunTest, LostCsvLinesFailTheRun) {
  Installation inst;
  OneOfEach(inst);
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260315", "00000001"));
  inst.SetEnv("TEMP", inst.csv() + "missing/");
  const RunResult r = inst.Run();
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.stderr_text.find("CSV line(s) could not be written"), std::string::npos) << r.stderr_text;
  // The printed register is complete and still handed to the spooler.
  EXPECT_EQ(inst.SpoolerRuns(), 1);
}

TEST(RunTest, CsvDirectoryFallsBackToTmpdir) {
  Installation inst;
  OneInvoiceKept(inst, "00000001");
  inst.SetEnv("TEMP", "");
  inst.SetEnv("TMPDIR", inst.tmp() + "alt");
  ASSERT_TRUE(inst.fs().CreateDirectory(inst.tmp() + "alt").ok());
  const RunResult r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(inst.fs().ListDirectory(inst.tmp() + "alt", &entries).ok());
  EXPECT_EQ(entries.size(), 1u);
}

TEST(RunTest, NoSpoolerProgramIsNotAFailure) {
  Installation inst;
  ASSERT_TRUE(inst.fs().DeleteFile(inst.exe() + "DOZUDIZI").ok());
  inst.Write(inst.exe() + "Dozudizi", "#!/bin/sh\necho >> '" + inst.tmp() + "spooler.ran'\n", true);
  RunResult r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_EQ(inst.SpoolerRuns(), 1);  // found without regard to case
  ASSERT_TRUE(inst.fs().DeleteFile(inst.exe() + "Dozudizi").ok());
  r = inst.Run();
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_EQ(inst.SpoolerRuns(), 1);
}

// The error line reaches standard error in UTF-8, converted once.
TEST(RunTest, ErrorLinesShowAFolderWithAccentsOnce) {
  Installation inst("Administraci\xA2 Garc\xA1" "a/");
  ASSERT_TRUE(inst.fs().DeleteFile(inst.root() + "ddf/VCobros.xdf").ok());
  const RunResult r = inst.Run();
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.stderr_text.find("NO ES POT ACCEDIR AL FITXER " + Installation::Shell(inst.root()) + "DADES/VCobros ("),
            std::string::npos)
      << r.stderr_text;
  EXPECT_EQ(r.stderr_text.find("\xC3\x83"), std::string::npos) << "converted twice: " << r.stderr_text;
}

// A directory the program could not name is refused at the start, by name,
// and nothing is written.
TEST(RunTest, ASuiteVariableCodePage850CannotHoldStopsTheStart) {
  Installation inst;
  struct Case {
    std::string variable;
    std::string printf_value;  // for printf(1): octal escapes of the bytes
    std::string shown;
  };
  const Case cases[] = {
      {"ZOVROOT", "/srv/\\346\\227\\245/", "/srv/?/"},   // a character code page 850 lacks
      {"TEMP", "/tmp/bad\\377/", "/tmp/bad?/"},          // bytes that are not UTF-8
      {"ZOVTMP", "/tmp/\\342\\202\\254/", "/tmp/?/"},    // the euro
  };
  for (const Case& c : cases) {
    const std::string err = Installation::Shell(inst.tmp()) + "start.err";
    const std::string command = "cd '" + Installation::Shell(inst.root()) + "' && /usr/bin/env -i PATH=/usr/bin:/bin " +
                                c.variable + "=\"$(printf '" + c.printf_value + "')\" '" + Installation::Binary() +
                                "' </dev/null 2>'" + err + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.variable << " " << status;
    EXPECT_EQ(inst.Read(inst.tmp() + "start.err"),
              "dazorov1: cannot start: the environment variable " + c.variable +
                  " holds characters code page 850 lacks (shown as ?): " + c.shown + "\n");
    EXPECT_FALSE(inst.Exists(inst.root() + "DADES/VParam.tab")) << c.variable;
  }
}

}  // namespace
}  // namespace zov::app
