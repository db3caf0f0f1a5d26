// Whole VAT returns' runs on installations built in temporary directories:
// what the folder holds (the returns, the manifest's lines, the validation
// report's rules) for owners of every outcome, and every input that keeps
// the run from starting refused with one line and nothing written.
#include <algorithm>
#include <functional>

#include "books/vat_return/vat_returns_run.h"
#include "gtest/gtest.h"
#include "tests/books/books_installation.h"

namespace zov::books::vat {
namespace {

using reg::Contract;
using reg::Group;
using reg::Owner;
using reg::Property;
using reg::Receipt;

// 0001 premises with withholding, in the first and the fourth quarter;
// 0002 premises of a kind C contract charged VAT; 0003 a dwelling only;
// 0004 premises, but no NIF in the file; 0005 premises at 2 %, a rate the
// design has no box for.
void SmallAgency(BooksInstallation& inst) {
  const std::pair<std::string, std::string> owners[] = {
      {"0001", "PUIG I FERRER*JOAN"}, {"0002", "PATRIMONIAL MATARO SA"}, {"0003", "E*F"}, {"0004", "G*H"},
      {"0005", "I*J"}};
  const std::string_view kinds[] = {"L", "C", "V", "L", "L"};
  for (int i = 0; i < 5; ++i) {
    const std::string& code = owners[i].first;
    inst.Add(reg::kFileVPropiet, Owner(code, owners[i].second, i % 2 == 0 ? "S" : "N"));
    inst.Add(reg::kFileVGrups, Group(code + "0001", "C. MAJOR, 1"));
    inst.Add(reg::kFileVDepBase, Property(code + "00010001", "BAR EL RACO SL", "ESB08222341"));
    inst.Add(reg::kFileVDepCont, Contract(code + "00010001", kinds[i], "S"));
  }
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20260105", "26010001"));
  inst.Add(reg::kFileVCobros, Receipt("000100010001", "20261005", "26100001"));
  inst.Add(reg::kFileVCobros, Receipt("000200010001", "20261005", "26100002"));
  reg::ReceiptRecord dwelling = Receipt("000300010001", "20261005", "26100003");
  dwelling.SetTotalAmount(80000);
  dwelling.SetPaidAmount(80000);
  dwelling.SetVatRate(0);
  dwelling.SetVatAmount(0);
  dwelling.SetWithholdingRate(0);
  dwelling.SetWithholdingAmount(0);
  inst.Add(reg::kFileVCobros, dwelling);
  inst.Add(reg::kFileVCobros, Receipt("000400010001", "20261005", "26100004"));
  reg::ReceiptRecord two_percent = Receipt("000500010001", "20261005", "26100005");
  two_percent.SetVatRate(200);
  two_percent.SetVatAmount(2000);
  two_percent.SetTotalAmount(83000);
  two_percent.SetPaidAmount(83000);
  inst.Add(reg::kFileVCobros, two_percent);
  inst.Build();
  inst.WriteNifs("0001;12345678Z\r\n0002;A58818501\r\n0003;X1234567L\r\n0005;B08222341\r\n");
}

struct RunOutcome {
  platform::Status status;
  VatRunResult result;
};

RunOutcome RunFor(BooksInstallation& inst, int year, int quarter, int from_owner = 1) {
  VatRunRequest request;
  request.year = year;
  request.quarter = quarter;
  request.from_owner = from_owner;
  request.out_dir = inst.out();
  RunOutcome r;
  r.status = RunVatReturns(inst.env, request, nullptr, &r.result);
  return r;
}

std::vector<std::string> Split(const std::string& text, std::string_view separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0, end; start < text.size(); start = end + separator.size()) {
    end = std::min(text.find(separator, start), text.size());
    parts.push_back(text.substr(start, end - start));
  }
  return parts;
}

TEST(VatRunTest, EveryOutcomeInTheFolderAndItsReports) {
  BooksInstallation inst;
  SmallAgency(inst);
  const RunOutcome r = RunFor(inst, 2026, 4);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(r.result.summary,
            "3 returns of 4T 2026 (DR303e26v101) in " + inst.dir() +
                "out: 2 valid, 1 invalid; 1 owners not liable, 1 skipped, 0 returns not written; deductible VAT is "
                "not in them: add it in the agency's form before filing; see manifest.csv and validation.csv");
  EXPECT_FALSE(r.result.all_valid());
  EXPECT_EQ(inst.OutFiles(),
            (std::vector<std::string>{"12345678Z_303_2026_4T.txt", "A58818501_303_2026_4T.txt",
                                      "B08222341_303_2026_4T.txt", "manifest.csv", "validation.csv", "zov303.lck"}));
  const auto manifest = Split(inst.Read(inst.out() + "manifest.csv"), "\r\n");
  ASSERT_EQ(manifest.size(), 6u);
  EXPECT_EQ(manifest[0],
            "owner code;name;NIF;file;status;[01];[03];[04];[06];[07];[09];[14];[15];[27];[45];[46];[64];[66];[69];"
            "[80];[83];[88];result;declaration type;period;errors;warnings;before filing");
  const std::string filed = ";4T 2026;0;1;add deductible VAT in the agency's form";
  EXPECT_EQ(manifest[1],
            "0001;PUIG I FERRER JOAN;12345678Z;12345678Z_303_2026_4T.txt;valid;0,00;0,00;0,00;0,00;1000,00;210,00;"
            "0,00;0,00;210,00;0,00;210,00;210,00;210,00;210,00;2000,00;0,00;2000,00;210,00;I" + filed);
  EXPECT_EQ(manifest[2],
            "0002;PATRIMONIAL MATARO SA;A58818501;A58818501_303_2026_4T.txt;valid;0,00;0,00;0,00;0,00;1000,00;"
            "210,00;0,00;0,00;210,00;0,00;210,00;210,00;210,00;210,00;1000,00;0,00;1000,00;210,00;I;4T 2026;0;2;"
            "add deductible VAT in the agency's form");
  EXPECT_EQ(manifest[3], "0003;E F;X1234567L;;not liable" + std::string(20, ';') + "4T 2026;0;0;");
  EXPECT_EQ(manifest[4],
            "0004;G H;;;skipped;0,00;0,00;0,00;0,00;1000,00;210,00;0,00;0,00;210,00;0,00;210,00;210,00;210,00;"
            "210,00;1000,00;0,00;1000,00;210,00;I;4T 2026;1;1;");
  EXPECT_EQ(manifest[5],
            "0005;I J;B08222341;B08222341_303_2026_4T.txt;invalid;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;"
            "0,00;0,00;0,00;0,00;1000,00;0,00;1000,00;0,00;N;4T 2026;1;1;add deductible VAT in the agency's form");
  std::string rules;
  for (const std::string& line : Split(inst.Read(inst.out() + "validation.csv"), "\r\n")) {
    const auto f = Split(line, ";");
    rules += f[0] + ":" + f[1] + ":" + f[2] + ":" + f[3] + " ";
  }
  EXPECT_EQ(rules,
            "owner:box:rule:severity 0001:MARCA_347:347:warning 0002::TERRITORIO:warning 0002:MARCA_347:347:warning "
            "0004:MARCA_347:347:warning 0004:NIF:TITULAR:error 0005::TIPO:error 0005:MARCA_347:347:warning ");
}

// The folder holds the set of its last run alone: a run of another quarter
// replaces the returns of the previous one; a run that cannot make its
// files durable, or stops on a damaged data file, leaves the previous set;
// a folder of the record books' is refused untouched.
TEST(VatRunTest, TheFolderHoldsOneRunsSet) {
  const std::vector<std::string> fourth = {"12345678Z_303_2026_4T.txt", "A58818501_303_2026_4T.txt",
                                           "B08222341_303_2026_4T.txt", "manifest.csv", "validation.csv",
                                           "zov303.lck"};
  BooksInstallation inst;
  SmallAgency(inst);
  ASSERT_TRUE(RunFor(inst, 2026, 4).status.ok());
  ASSERT_EQ(inst.OutFiles(), fourth);
  const std::string manifest = inst.Read(inst.out() + "manifest.csv");

  inst.fs.OnlyNamesEndingIn(".txt");
  inst.fs.ResetCounts();
  inst.fs.FailAt(platform::FaultFileSystem::Op::kSync, 1);
  const RunOutcome unsynced = RunFor(inst, 2026, 1);
  EXPECT_NE(unsynced.status.message().find("cannot make the new files durable: injected sync failure"),
            std::string::npos)
      << unsynced.status.message();
  EXPECT_NE(unsynced.status.message().find("changed"), std::string::npos) << unsynced.status.message();
  EXPECT_EQ(inst.OutFiles(), fourth);
  EXPECT_EQ(inst.Read(inst.out() + "manifest.csv"), manifest);
  inst.fs.OnlyNamesEndingIn("");

  ASSERT_TRUE(RunFor(inst, 2026, 1).status.ok());
  EXPECT_EQ(inst.OutFiles(),
            (std::vector<std::string>{"12345678Z_303_2026_1T.txt", "manifest.csv", "validation.csv", "zov303.lck"}));

  ASSERT_TRUE(inst.base_->WriteFile(inst.out() + "manifest.csv", "owner code;name;NIF;book type;file\r\n").ok());
  const RunOutcome refused = RunFor(inst, 2026, 4);
  EXPECT_NE(refused.status.message().find("holds another program's manifest.csv: zov303 needs a folder of its own"),
            std::string::npos)
      << refused.status.message();
  EXPECT_EQ(inst.Read(inst.out() + "manifest.csv"), "owner code;name;NIF;book type;file\r\n");
}

// Every input that keeps the run from starting: one line, and nothing in
// the output folder. (Misused options are the command line's: tools/zov303.)
TEST(VatRunTest, BadInputIsRefusedWithNothingWritten) {
  struct Case {
    std::string what;
    int year;
    int from_owner;
    std::function<void(BooksInstallation&)> spoil;
    std::string message;
  } cases[] = {
      {"a year without a design", 2025, 1, nullptr,
       "no record design of the VAT return for 2025: the agency publishes one for each year, and this program has "
       "2026"},
      {"missing NIF file", 2026, 1,
       [](BooksInstallation& i) { ASSERT_TRUE(i.base_->DeleteFile(i.root() + "owners-nif.csv").ok()); },
       "cannot read the owners' NIF file: "},
      {"NIF file with a garbage line", 2026, 1,
       [](BooksInstallation& i) { i.WriteNifs("0001;12345678Z\r\n0002 A58818501\r\n"); },
       "owners-nif.csv, line 2: expected \"owner code;NIF\""},
      {"no installation", 2026, 1, [](BooksInstallation& i) { i.environment.Set("ZOVROOT", i.dir() + "nowhere/"); },
       "no installation in "},
      {"ZOVROOT unset", 2026, 1, [](BooksInstallation& i) { i.environment.Unset("ZOVROOT"); },
       "ZOVROOT is not set: it names the installation to read"},
      {"no owner with invoices in the range", 2026, 6, nullptr,
       "no owner from 0006 to 9999 has invoices from 01/01/2026 to 31/12/2026: no returns written"},
      {"output folder that is a file", 2026, 1,
       [](BooksInstallation& i) { ASSERT_TRUE(i.base_->WriteFile(i.dir() + "out", "a file").ok()); },
       "out is not a folder"},
      {"output folder that cannot be written", 2026, 1,
       [](BooksInstallation& i) { i.fs.FailAt(platform::FaultFileSystem::Op::kOpen, 1, true); },
       "cannot write in the output folder: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BooksInstallation inst;
    SmallAgency(inst);
    if (c.spoil) c.spoil(inst);
    const RunOutcome r = RunFor(inst, c.year, 4, c.from_owner);
    EXPECT_FALSE(r.status.ok());
    EXPECT_NE(r.status.message().find(c.message), std::string::npos) << r.status.message();
    EXPECT_EQ(r.status.message().find('\n'), std::string::npos) << r.status.message();
    for (const std::string& name : inst.OutFiles())
      if (name != "zov303.lck") ADD_FAILURE() << "left in the output folder: " << name;
  }
}

}  // namespace
}  // namespace zov::books::vat
