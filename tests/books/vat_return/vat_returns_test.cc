// Each owner's return from small installations walked as the register walks
// them: which boxes each kind of line fills, what is warned or refused, and
// which owners get no file.
#include <map>
#include <string>
#include <vector>

#include "books/run_setup.h"
#include "books/vat_return/owner_returns.h"
#include "books/vat_return/vat_consumer.h"
#include "gtest/gtest.h"
#include "tests/register/harness.h"

namespace zov::books::vat {
namespace {

using reg::P;

// Owner 0001's four properties, one per contract kind.
constexpr std::string_view kPremises = "000100010001";  // L, 21 % and withholding
constexpr std::string_view kDwelling = "000100010002";  // V, exempt
constexpr std::string_view kIgicArea = "000100010003";  // C
constexpr std::string_view kParking = "000100010004";   // P, base computed from the total

reg::ReceiptRecord Premises(std::string_view date, std::string_view invoice) {
  return reg::Receipt(kPremises, date, invoice);
}
reg::ReceiptRecord Dwelling(std::string_view date, std::string_view invoice) {
  reg::ReceiptRecord r = reg::Receipt(kDwelling, date, invoice);
  r.SetTotalAmount(80000);
  r.SetPaidAmount(80000);
  r.SetVatRate(0);
  r.SetVatAmount(0);
  r.SetWithholdingRate(0);
  r.SetWithholdingAmount(0);
  return r;
}
reg::ReceiptRecord IgicArea(std::string_view date, std::string_view invoice) {
  return reg::Receipt(kIgicArea, date, invoice);
}
// The same contract charging no VAT: base 1.000,00.
reg::ReceiptRecord IgicAreaWithoutVat(std::string_view date, std::string_view invoice) {
  reg::ReceiptRecord r = IgicArea(date, invoice);
  r.SetTotalAmount(100000);
  r.SetPaidAmount(100000);
  r.SetVatRate(0);
  r.SetVatAmount(0);
  r.SetWithholdingRate(0);
  r.SetWithholdingAmount(0);
  return r;
}
// A parking space at any rate: base and VAT as given, no withholding.
reg::ReceiptRecord AtRate(std::string_view date, std::string_view invoice, int32_t base, int16_t rate, int32_t vat) {
  reg::ReceiptRecord r = reg::Receipt(kParking, date, invoice);
  r.SetTotalAmount(base + vat);
  r.SetPaidAmount(base + vat);
  r.SetVatRate(rate);
  r.SetVatAmount(vat);
  r.SetWithholdingRate(0);
  r.SetWithholdingAmount(0);
  return r;
}
// A credit note on the premises: base -500,00, VAT -105,00.
reg::ReceiptRecord CreditNote(std::string_view date, std::string_view invoice) {
  reg::ReceiptRecord r = Premises(date, invoice);
  r.SetStoredTaxBase(-50000);
  r.SetVatAmount(-10500);
  r.SetWithholdingAmount(0);
  r.SetTotalAmount(-60500);
  r.SetPaidAmount(-60500);
  return r;
}

struct Returns {
  std::vector<OwnerOutcome> owners;
  std::vector<std::string> files;  // in out/, with their sizes: "name 3767"
};

// `nifs`: the NIF file's text.
Returns RunReturns(reg::Harness& h, int quarter, std::string_view nifs) {
  Returns out;
  const Design* design = FindDesign(2026);
  const ReturnSettings settings{BookPeriod{2026, quarter}};
  const std::string dir = h.fake.root() + "out/";
  EXPECT_TRUE(h.fs->CreateDirectory(dir).ok());
  OwnerNifs owner_nifs;
  EXPECT_TRUE(ParseOwnerNifs(nifs, "nifs.csv", &owner_nifs).ok());
  OwnerReturns returns(*h.env.fs, *design, settings, dir, owner_nifs, "nifs.csv",
                       [&out](const OwnerOutcome& o) { out.owners.push_back(o); });
  VatConsumer consumer(settings.period, [&returns](const OwnerFigures& f) { returns.Owner(f); });
  reg::WalkConsumer* consumers[] = {&consumer};
  const reg::RunParameters params = YearSelection(settings.period.last_date(), 0, 9999);
  EXPECT_TRUE(reg::WalkRegister(h.env, h.files, h.records, params, consumers).ok());
  std::vector<platform::DirEntry> entries;
  EXPECT_TRUE(h.fs->ListDirectory(dir, &entries).ok());
  for (const auto& e : entries) out.files.push_back(e.name + " " + std::to_string(e.size));
  return out;
}

void OneOwner(reg::Harness& h, const std::vector<reg::ReceiptRecord>& receipts) {
  h.OpenFiles();
  h.Add(reg::kFileVPropiet, reg::Owner("0001", "PUIG I FERRER*JOAN"));
  h.Add(reg::kFileVGrups, reg::Group("00010001", "C. MAJOR, 1"));
  const std::pair<std::string_view, std::string_view> kinds[] = {
      {kPremises, "L"}, {kDwelling, "V"}, {kIgicArea, "C"}, {kParking, "P"}};
  for (const auto& [code, kind] : kinds) {
    h.Add(reg::kFileVDepBase, reg::Property(code, "TENANT SL", "ESB08222341"));
    h.Add(reg::kFileVDepCont, reg::Contract(code, kind, "S"));
  }
  for (const reg::ReceiptRecord& r : receipts) h.Add(reg::kFileVCobros, r);
}

// The non-zero amounts of numbered boxes, the State's percentage left out.
std::map<std::string, int64_t> Boxes(const ReturnValues& v) {
  std::map<std::string, int64_t> boxes;
  for (const auto& [key, amount] : v.amounts())
    if (amount != 0 && key[0] >= '0' && key[0] <= '9' && key != "65") boxes[key] = amount;
  return boxes;
}

std::string Rules(const std::vector<BoxFinding>& findings) {
  std::string rules;
  for (const BoxFinding& f : findings)
    rules += std::string(rules.empty() ? "" : " ") + std::string(f.finding.rule) + ":" +
             std::string(SeverityName(f.finding.severity));
  return rules;
}

// Results of 27 (all of them equal when nothing is deducted).
std::map<std::string, int64_t> Results(int64_t total) {
  return {{"27", total}, {"46", total}, {"64", total}, {"66", total}, {"69", total}, {"71", total}};
}
std::map<std::string, int64_t> With(std::map<std::string, int64_t> a, const std::map<std::string, int64_t>& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST(VatReturnsTest, BoxesOfEachKindOfLine) {
  struct Case {
    std::string what;
    int quarter;
    std::vector<reg::ReceiptRecord> receipts;
    ReturnStatus status;
    std::map<std::string, int64_t> boxes;
    std::string type;  // declaration type
    std::string rules;
    std::string without_activity = "";
  } cases[] = {
      {"one rate, the fourth quarter with the year's figures",
       4,
       {Premises("20260305", "26030001"), Dwelling("20260601", "26060002"), Premises("20261001", "26100001"),
        Premises("20261101", "26110001"), Premises("20261201", "26120001")},
       ReturnStatus::kValid,
       With(Results(63000), {{"07", 300000}, {"09", 63000}, {"80", 400000}, {"83", 80000}, {"88", 480000}}),
       "I",
       "347:warning"},
      {"three rates, and quotas rounded invoice by invoice",
       2,
       {Premises("20260401", "26040001"), AtRate("20260501", "26050004", 50000, 1000, 5000),
        AtRate("20260601", "26060004", 20000, 400, 800), AtRate("20260602", "26060005", 333, 2100, 70),
        AtRate("20260603", "26060006", 333, 2100, 70)},
       ReturnStatus::kValid,
       With(Results(26940), {{"01", 20000}, {"03", 800}, {"04", 50000}, {"06", 5000}, {"07", 100666}, {"09", 21140}}),
       "I",
       ""},
      {"a credit note: modification with its sign",
       4,
       {Premises("20261001", "26100001"), CreditNote("20261115", "26110009")},
       ReturnStatus::kValid,
       With(Results(10500),
            {{"07", 100000}, {"09", 21000}, {"14", -50000}, {"15", -10500}, {"80", 50000}, {"88", 50000}}),
       "I",
       "NEGATIVA:warning 347:warning"},
      {"a credit note whose quota is not its base at its rate",
       4,
       {Premises("20261001", "26100001"),
        [] {
          reg::ReceiptRecord r = CreditNote("20261115", "26110009");
          r.SetVatAmount(-10000);
          r.SetTotalAmount(-60000);
          r.SetPaidAmount(-60000);
          return r;
        }()},
       ReturnStatus::kInvalid,
       With(Results(11000),
            {{"07", 100000}, {"09", 21000}, {"14", -50000}, {"15", -10000}, {"80", 50000}, {"88", 50000}}),
       "I",
       "NEGATIVA:warning 347:warning CUOTA:error"},
      {"only a credit note: a result to carry forward",
       2,
       {Premises("20260110", "26010001"), CreditNote("20260420", "26040009")},
       ReturnStatus::kValid,
       With(Results(-10500), {{"14", -50000}, {"15", -10500}}),
       "C",
       "NEGATIVA:warning RESULTADO:warning"},
      {"only exempt lines in the year: not liable", 1,
       {Dwelling("20260201", "26020002"), Dwelling("20260301", "26030002")}, ReturnStatus::kNotLiable, {}, "", ""},
      {"only exempt lines in the quarter, VAT earlier in the year",
       2,
       {Premises("20260115", "26010001"), Dwelling("20260401", "26040002")},
       ReturnStatus::kValid,
       {},
       "N",
       "SIN_IVA:warning"},
      {"no invoice in the quarter, VAT earlier in the year: without activity",
       3,
       {Premises("20260210", "26020001")},
       ReturnStatus::kValid,
       {},
       "N",
       "SIN_IVA:warning",
       "X"},
      {"a rate without a box stays out and makes the return invalid",
       3,
       {AtRate("20260701", "26070004", 100000, 200, 2000), Premises("20260801", "26080001")},
       ReturnStatus::kInvalid,
       With(Results(21000), {{"07", 100000}, {"09", 21000}}),
       "I",
       "TIPO:error"},
      {"a kind C contract with VAT: declared as VAT, as the register's summary counts it, with one warning",
       4,
       {IgicArea("20261005", "26100003"), IgicArea("20261105", "26110003"), Premises("20261010", "26100001")},
       ReturnStatus::kValid,
       With(Results(63000), {{"07", 300000}, {"09", 63000}, {"80", 300000}, {"88", 300000}}),
       "I",
       "TERRITORIO:warning 347:warning"},
      {"a kind C contract without VAT: exempt",
       4,
       {IgicAreaWithoutVat("20261005", "26100003"), Premises("20261010", "26100001")},
       ReturnStatus::kValid,
       With(Results(21000), {{"07", 100000}, {"09", 21000}, {"80", 100000}, {"83", 100000}, {"88", 200000}}),
       "I",
       "347:warning"},
      {"an invoice not yet collected stays in its quarter",
       3,
       {[] {
         reg::ReceiptRecord r = Premises("20260701", "26070001");
         r.SetStatusCode("P");
         r.SetPaidAmount(0);
         return r;
       }()},
       ReturnStatus::kValid,
       With(Results(21000), {{"07", 100000}, {"09", 21000}}),
       "I",
       "COBRO:warning"},
      {"a quota two cents off its one invoice",
       3,
       {AtRate("20260901", "26090004", 1000, 2100, 212)},
       ReturnStatus::kInvalid,
       With(Results(212), {{"07", 1000}, {"09", 212}}),
       "I",
       "CUOTA:error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg::Harness h;
    OneOwner(h, c.receipts);
    const Returns r = RunReturns(h, c.quarter, "0001;B08222341\n");
    ASSERT_EQ(r.owners.size(), 1u);
    const OwnerOutcome& o = r.owners[0];
    EXPECT_EQ(o.code, "0001");
    EXPECT_EQ(o.name, "PUIG I FERRER JOAN");
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(Boxes(o.values), c.boxes);
    const std::string* type = o.values.FindText("TIPO_DECLARACION");
    EXPECT_EQ(type == nullptr ? "" : *type, c.type);
    const std::string* idle = o.values.FindText("SIN_ACTIVIDAD");
    EXPECT_EQ(idle == nullptr ? "" : *idle, c.without_activity);
    EXPECT_EQ(Rules(o.findings), c.rules);
    const std::string name = "B08222341_303_2026_" + std::to_string(c.quarter) + "T.txt";
    if (c.status == ReturnStatus::kNotLiable) {
      EXPECT_EQ(o.file, "");
      EXPECT_TRUE(r.files.empty());
    } else {
      EXPECT_EQ(o.file, name);
      EXPECT_EQ(r.files, std::vector<std::string>{name + (c.quarter == 4 ? " 4765" : " 3767")});
    }
  }
}

// Owners without a usable NIF (an invalid one, none, one another owner has
// too) get no file; owners not liable need none.
TEST(VatReturnsTest, OwnersWithoutAUsableNifAreSkipped) {
  reg::Harness h;
  h.OpenFiles();
  for (std::string owner : {"0001", "0002", "0003", "0004", "0005"}) {
    h.Add(reg::kFileVPropiet, reg::Owner(owner, "A*B"));
    h.Add(reg::kFileVGrups, reg::Group(owner + "0001", "G"));
    h.Add(reg::kFileVDepBase, reg::Property(owner + "00010001", "T", "ES1"));
    h.Add(reg::kFileVDepCont, reg::Contract(owner + "00010001", "L", "S"));
    h.Add(reg::kFileVCobros, reg::Receipt(owner + "00010001", "20260105", "26010001"));
  }
  const Returns r = RunReturns(h, 1, "1;B08222342\n3;X1234567L\n4;A58818501\n5;A58818501\n");
  const std::pair<ReturnStatus, std::string> expected[] = {{ReturnStatus::kSkipped, "B08222342"},
                                                           {ReturnStatus::kSkipped, ""},
                                                           {ReturnStatus::kValid, "X1234567L"},
                                                           {ReturnStatus::kSkipped, "A58818501"},
                                                           {ReturnStatus::kSkipped, "A58818501"}};
  ASSERT_EQ(r.owners.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(r.owners[i].code);
    EXPECT_EQ(r.owners[i].status, expected[i].first);
    EXPECT_EQ(r.owners[i].nif, expected[i].second);
    EXPECT_EQ(Rules(r.owners[i].findings), expected[i].first == ReturnStatus::kValid ? "" : "TITULAR:error");
  }
  EXPECT_EQ(r.files, std::vector<std::string>{"X1234567L_303_2026_1T.txt 3767"});
}

// A return that cannot be written is reported as failed and leaves nothing
// behind; the next owner's is written.
TEST(VatReturnsTest, AFileThatCannotBeWrittenLeavesNothing) {
  for (platform::FaultFileSystem::Op op :
       {platform::FaultFileSystem::Op::kOpen, platform::FaultFileSystem::Op::kWrite}) {
    SCOPED_TRACE(static_cast<int>(op));
    reg::Harness h;
    h.OpenFiles();
    for (std::string owner : {"0001", "0002"}) {
      h.Add(reg::kFileVPropiet, reg::Owner(owner, "A*B"));
      h.Add(reg::kFileVGrups, reg::Group(owner + "0001", "G"));
      h.Add(reg::kFileVDepBase, reg::Property(owner + "00010001", "T", "ES1"));
      h.Add(reg::kFileVDepCont, reg::Contract(owner + "00010001", "L", "S"));
      h.Add(reg::kFileVCobros, reg::Receipt(owner + "00010001", "20260105", "26010001"));
    }
    h.fake.faults.OnlyNamesEndingIn(".txt");
    h.fake.faults.FailAt(op, 1);
    const Returns r = RunReturns(h, 1, "1;B08222341\n2;X1234567L\n");
    ASSERT_EQ(r.owners.size(), 2u);
    EXPECT_EQ(r.owners[0].status, ReturnStatus::kFailed);
    EXPECT_EQ(r.owners[0].file, "");
    EXPECT_EQ(Rules(r.owners[0].findings), "FICHERO:error");
    EXPECT_EQ(r.owners[1].status, ReturnStatus::kValid);
    EXPECT_EQ(r.files, std::vector<std::string>{"X1234567L_303_2026_1T.txt 3767"});
  }
}

}  // namespace
}  // namespace zov::books::vat
