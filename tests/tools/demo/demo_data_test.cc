#include "tools/demo/demo_data.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "format/format_state.h"
#include "format/packed.h"
#include "format/text.h"
#include "register/line.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "tools/demo/demo_files.h"
#include "tools/demo/demo_ids.h"

namespace zov::tools::demo {
namespace {

using platform::Status;

// Keeps every record, file by file, and fails from the Nth record on when
// asked to.
class CollectingSink : public RecordSink {
 public:
  Status Add(int16_t file_number, std::string_view record) override {
    ++adds;
    if (fail_at > 0 && adds >= fail_at) return Status::IoError("insert failed (injected)");
    files[file_number].emplace_back(record);
    order.push_back(file_number);
    return Status::Ok();
  }
  std::map<int16_t, std::vector<std::string>> files;
  std::vector<int16_t> order;
  int64_t adds = 0;
  int64_t fail_at = 0;
};

struct Installation {
  CollectingSink sink;
  DemoCounts counts;
};

Installation Generate(const DemoOptions& options) {
  Installation in;
  const Status s = GenerateInstallation(options, in.sink, &in.counts);
  EXPECT_TRUE(s.ok()) << s.message();
  return in;
}

template <typename R>
R As(const std::string& bytes) {
  R r;
  r.Assign(bytes);
  return r;
}

// The bytes of a record's key as KeySpec describes it.
std::string KeyOf(const reg::KeySpec& key, const std::string& record) {
  std::string value;
  for (uint8_t i = 0; i < key.segment_count; ++i)
    value += record.substr(key.segments[i].offset, key.segments[i].length);
  return value;
}

reg::RunParameters DemoRunParameters() {
  std::vector<std::string> lines;
  const std::string text = RunParametersText(true);
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  format::FormatState st;
  st.today = platform::CivilDate{2026, 12, 8};
  return reg::ParseRunParameters(st, lines);
}

bool InQuarter(const reg::ReceiptRecord& r, const reg::RunParameters& p) {
  return r.IssueDate() >= std::string_view(p.date_from) && r.IssueDate() <= std::string_view(p.date_to);
}

TEST(DemoDataTest, RecordsHaveTheirFileLengthAndUniqueKeysInOrder) {
  for (uint64_t seed : {1u, 2026u, 77u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    DemoOptions o;
    o.seed = seed;
    const Installation in = Generate(o);
    ASSERT_EQ(in.sink.files.size(), 11u);  // every file but the receipt details
    for (const auto& [number, records] : in.sink.files) {
      const reg::DataFileSpec* spec = reg::FindDataFileSpec(number);
      ASSERT_NE(spec, nullptr) << number;
      SCOPED_TRACE(std::string(spec->name));
      for (const std::string& r : records) ASSERT_EQ(r.size(), spec->record_size);
      for (std::size_t k = 0; k < spec->keys.size(); ++k) {
        const reg::KeySpec& key = spec->keys[k];
        std::set<std::string> seen;
        std::string previous;
        for (const std::string& r : records) {
          const std::string value = KeyOf(key, r);
          if (k == 0) {
            ASSERT_LE(previous, value) << "records out of key order";
          }
          previous = value;
          // Unique keys are unique; so is the issue-date key of receipts,
          // which lets the register read them in one order.
          if (!key.duplicates || (number == reg::kFileVCobros && k == 1)) {
            ASSERT_TRUE(seen.insert(value).second) << "key " << k << " repeated";
          }
        }
      }
    }
  }
}

TEST(DemoDataTest, EveryRecordBelongsToItsParents) {
  const Installation in = Generate(DemoOptions{});
  std::set<std::string> owners, groups, properties, contracts, sections;
  for (const std::string& r : in.sink.files.at(reg::kFileUSeccio)) sections.insert(r.substr(0, 1));
  for (const std::string& r : in.sink.files.at(reg::kFileVPropiet)) owners.insert(r.substr(0, 2));
  for (const std::string& r : in.sink.files.at(reg::kFileVGrups)) {
    const auto g = As<reg::GroupRecord>(r);
    EXPECT_TRUE(owners.count(std::string(g.GroupCode().substr(0, 2))));
    EXPECT_TRUE(sections.count(std::string(g.SectionCode()))) << g.SectionCode();
    groups.insert(std::string(g.GroupCode()));
  }
  for (const std::string& r : in.sink.files.at(reg::kFileVDepBase)) {
    EXPECT_TRUE(groups.count(r.substr(0, 4)));
    properties.insert(r.substr(0, 6));
  }
  for (int16_t file : {reg::kFileVDepPart, reg::kFileVDepCont, reg::kFileVDepBanc, reg::kFileVDepCada}) {
    std::set<std::string> codes;
    for (const std::string& r : in.sink.files.at(file)) codes.insert(r.substr(0, 6));
    EXPECT_EQ(codes, properties) << file;
  }
  for (const std::string& r : in.sink.files.at(reg::kFileVCobros)) EXPECT_TRUE(properties.count(r.substr(0, 6)));
  EXPECT_EQ(in.counts.owners, static_cast<int64_t>(owners.size()));
  EXPECT_EQ(in.counts.groups, static_cast<int64_t>(groups.size()));
  EXPECT_EQ(in.counts.properties, static_cast<int64_t>(properties.size()));
  EXPECT_EQ(in.counts.receipts, static_cast<int64_t>(in.sink.files.at(reg::kFileVCobros).size()));
}

TEST(DemoDataTest, ReceiptAmountsAddUpUnderTheRegistersComputation) {
  for (uint64_t seed : {1u, 2026u}) {
    DemoOptions o;
    o.seed = seed;
    const Installation in = Generate(o);
    std::map<std::string, reg::ContractRecord> contracts;
    for (const std::string& r : in.sink.files.at(reg::kFileVDepCont)) contracts[r.substr(0, 6)] = As<reg::ContractRecord>(r);
    for (const std::string& bytes : in.sink.files.at(reg::kFileVCobros)) {
      const auto r = As<reg::ReceiptRecord>(bytes);
      const reg::ContractRecord& c = contracts.at(bytes.substr(0, 6));
      const std::string kind(c.ContractKind());
      SCOPED_TRACE("seed " + std::to_string(seed) + " receipt " + format::UnpackDigits(r.PropertyCode()) + " " +
                   format::UnpackDigits(r.IssueDate()) + " kind " + kind);
      const int64_t base = r.StoredTaxBase();
      ASSERT_GE(base, 0);
      ASSERT_TRUE(r.VatRate() == 0 || r.VatRate() == 1000 || r.VatRate() == 2100) << r.VatRate();
      ASSERT_EQ(r.VatAmount(), (base * r.VatRate() + 5000) / 10000);
      ASSERT_TRUE(r.WithholdingRate() == 0 || r.WithholdingRate() == 1900) << r.WithholdingRate();
      ASSERT_EQ(r.WithholdingAmount(), -((base * r.WithholdingRate() + 5000) / 10000));
      // Withholding on premises follows the contract's flag.
      if ((kind == "L" || kind == "C") && base > 0) {
        ASSERT_EQ(r.WithholdingRate() == 1900, c.WithholdingFlag() == "S");
      }
      // The register's figures: nothing negative, and for housing and
      // parking the computed base is the stored one.
      const reg::LineAmounts a = reg::ComputeLine(r, c.ContractKind());
      ASSERT_GE(a.exempt, 0);
      ASSERT_EQ(a.tax_base, base);
      if (kind == "V" || kind == "P") {
        ASSERT_EQ(a.exempt, 0);
      }
      ASSERT_EQ(r.TotalAmount(), base + r.VatAmount() + r.WithholdingAmount() + r.ExcludedAmount() + a.exempt);
      // Payments.
      ASSERT_GE(r.PaidAmount(), 0);
      ASSERT_LE(r.PaidAmount(), r.TotalAmount());
      const std::string status(r.StatusCode());
      ASSERT_NE(std::string("CPAD").find(status), std::string::npos) << status;
      if (status == "C") {
        ASSERT_EQ(r.PaidAmount(), r.TotalAmount());
      }
      if (status == "A" || status == "D") {
        ASSERT_EQ(r.PaidAmount(), 0);
      }
      ASSERT_EQ(r.PaidAmount() == 0, r.PaymentDate() == format::PackDigits("00000000"));
    }
  }
}

TEST(DemoDataTest, TenantsHaveValidSpanishTaxNumbersAndPropertiesValidReferences) {
  const Installation in = Generate(DemoOptions{});
  int dni = 0, nie = 0, cif = 0;
  for (const std::string& bytes : in.sink.files.at(reg::kFileVDepBase)) {
    const auto p = As<reg::PropertyRecord>(bytes);
    const std::string field(p.TenantNif());
    SCOPED_TRACE("[" + field + "]");
    ASSERT_EQ(field.substr(0, 2), "ES");
    const std::string nif = field.substr(2, field.find(' ') - 2);
    ASSERT_EQ(nif.size(), 9u);
    ASSERT_EQ(field.find_first_not_of(' ', 11), std::string::npos);
    const std::string digits7 = nif.substr(1, 7);
    if (nif[0] >= '0' && nif[0] <= '9') {
      ++dni;
      EXPECT_EQ(nif, Dni(static_cast<uint32_t>(std::stoul(nif.substr(0, 8)))));
    } else if (nif[0] == 'X' || nif[0] == 'Y' || nif[0] == 'Z') {
      ++nie;
      EXPECT_EQ(nif, Nie(nif[0] - 'X', static_cast<uint32_t>(std::stoul(digits7))));
    } else {
      ++cif;
      EXPECT_EQ(nif.back(), CifControl(nif[0], digits7));
    }
    EXPECT_NE(p.TenantName().substr(0, 1), " ");
  }
  EXPECT_GT(dni, 0);
  EXPECT_GT(nie, 0);
  EXPECT_GT(cif, 0);

  int blank = 0;
  std::set<std::string> provinces;
  for (const std::string& bytes : in.sink.files.at(reg::kFileVDepCada)) {
    const auto c = As<reg::CadastreRecord>(bytes);
    const std::string ref(c.CadastralReference());
    provinces.insert(std::string(c.PostalCode().substr(0, 2)));
    if (ref == std::string(20, ' ')) {
      ++blank;
      continue;
    }
    EXPECT_EQ(ref.substr(18), CadastralControl(ref.substr(0, 18))) << ref;
  }
  EXPECT_GT(blank, 0);
  for (const std::string& p : provinces) EXPECT_TRUE(p == "08" || p == "17" || p == "48" || p == "20" || p == "01" || p == "31") << p;
  EXPECT_GE(provinces.size(), 5u);
}

TEST(DemoDataTest, OwnersShowEveryKindTheRegisterTreatsDifferently) {
  const Installation in = Generate(DemoOptions{});
  std::set<std::string> flags;
  int with_email = 0, without_email = 0, particle = 0, companies = 0;
  for (const std::string& bytes : in.sink.files.at(reg::kFileVPropiet)) {
    const auto o = As<reg::OwnerRecord>(bytes);
    flags.insert(std::string(o.OwnerFlag()));
    (o.OwnerEmail() == std::string(40, ' ') ? without_email : with_email) += 1;
    const std::string name(o.OwnerName());
    if (name.find('*') == std::string::npos) {
      ++companies;
    } else if (name.find("D' ") != std::string::npos || name.back() == '\'' ||
               format::NameOrder(name).find("D'") != std::string::npos) {
      ++particle;
      EXPECT_EQ(format::NameOrder(name).find("D' "), std::string::npos) << name;
    }
  }
  EXPECT_EQ(flags, (std::set<std::string>{"S", "N", " "}));
  EXPECT_GT(with_email, 0);
  EXPECT_GT(without_email, 0);
  EXPECT_GT(particle, 0);
  EXPECT_GT(companies, 0);
}

TEST(DemoDataTest, MostReceiptsOfTheQuarterEnterTheRegisterAndOneOwnerFillsPages) {
  const reg::RunParameters params = DemoRunParameters();
  const Installation in = Generate(DemoOptions{});
  std::map<std::string, reg::ContractRecord> contracts;
  for (const std::string& r : in.sink.files.at(reg::kFileVDepCont)) contracts[r.substr(0, 6)] = As<reg::ContractRecord>(r);

  int64_t in_quarter = 0, selected = 0;
  std::map<std::string, int> lines_per_owner;
  std::set<std::string> kinds, rates, refusals;
  for (const std::string& bytes : in.sink.files.at(reg::kFileVCobros)) {
    const auto r = As<reg::ReceiptRecord>(bytes);
    if (!InQuarter(r, params)) continue;
    ++in_quarter;
    if (!reg::ReceiptSelected(params, r)) {
      // Why it stays out: the state, the trailing code or nothing to invoice.
      if (r.TrailingCode() == "  ") refusals.insert("trailing");
      else if (r.StatusCode() != "C" && r.StatusCode() != "P") refusals.insert("status");
      else refusals.insert("nothing");
      continue;
    }
    ++selected;
    ++lines_per_owner[bytes.substr(0, 2)];
    const reg::ContractRecord& c = contracts.at(bytes.substr(0, 6));
    kinds.insert(std::string(c.ContractKind()) + std::string(c.WithholdingFlag()));
    rates.insert(std::to_string(r.VatRate()));
  }
  EXPECT_EQ(in_quarter, in.counts.receipts_in_quarter);
  EXPECT_GT(selected * 100, in_quarter * 85) << selected << " of " << in_quarter;
  EXPECT_LT(selected, in_quarter);
  EXPECT_EQ(refusals, (std::set<std::string>{"trailing", "status", "nothing"}));
  EXPECT_TRUE(kinds.count("VN") && kinds.count("LS") && kinds.count("LN") && kinds.count("CS"));
  bool parking = false;
  for (const std::string& k : kinds) parking = parking || k[0] == 'P';
  EXPECT_TRUE(parking);
  EXPECT_EQ(rates, (std::set<std::string>{"0", "1000", "2100"}));
  int most = 0;
  for (const auto& [owner, n] : lines_per_owner) most = std::max(most, n);
  EXPECT_GT(most, 60) << "no owner fills more than a page";
  // Owners 7 and 8 (the contract that ended, the receipts that were
  // cancelled) have receipts but no register line.
  EXPECT_LT(lines_per_owner.size(), in.sink.files.at(reg::kFileVPropiet).size());
}

TEST(DemoDataTest, SameSeedGivesTheSameInstallationAndAnotherSeedAnother) {
  DemoOptions o;
  const Installation a = Generate(o);
  const Installation b = Generate(o);
  EXPECT_EQ(a.sink.order, b.sink.order);
  EXPECT_EQ(a.sink.files, b.sink.files);
  o.seed = 1;
  const Installation c = Generate(o);
  EXPECT_NE(a.sink.files, c.sink.files);
}

TEST(DemoDataTest, FixedShapeGivesExactCounts) {
  struct Case {
    int32_t owners, properties, receipts;
  };
  const Case cases[] = {{1, 1, 1}, {7, 3, 5}, {3, 11, 24}, {2, 5, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.owners) + "/" + std::to_string(c.properties) + "/" + std::to_string(c.receipts));
    DemoOptions o;
    o.owners = c.owners;
    o.properties_per_owner = c.properties;
    o.receipts_per_property = c.receipts;
    const Installation in = Generate(o);
    EXPECT_EQ(in.counts.owners, c.owners);
    EXPECT_EQ(in.counts.groups, c.owners * ((c.properties + 4) / 5));
    EXPECT_EQ(in.counts.properties, c.owners * c.properties);
    EXPECT_EQ(in.counts.receipts, static_cast<int64_t>(c.owners) * c.properties * c.receipts);
    EXPECT_EQ(in.counts.receipts_in_quarter, static_cast<int64_t>(c.owners) * c.properties * std::min(c.receipts, 3));
    EXPECT_EQ(in.sink.files.at(reg::kFileVCobros).size(), static_cast<std::size_t>(in.counts.receipts));
  }
}

TEST(DemoDataTest, OptionsOutsideTheCodeRangesAreRefused) {
  struct Case {
    int32_t owners, properties, receipts;
    bool ok;
  };
  const Case cases[] = {
      {12, 0, 0, true},     {1, 0, 0, true},        {3333, 0, 0, true},    {9999, 10, 20, true},
      {0, 0, 0, false},     {-1, 0, 0, false},      {10000, 10, 20, false}, {3334, 0, 0, false},
      {5, 5000, 1, false},  {5, -1, 0, false},      {5, 1, 241, false},    {5, 4999, 240, true},
  };
  for (const Case& c : cases) {
    DemoOptions o;
    o.owners = c.owners;
    o.properties_per_owner = c.properties;
    o.receipts_per_property = c.receipts;
    const Status s = CheckOptions(o);
    EXPECT_EQ(s.ok(), c.ok) << c.owners << "/" << c.properties << "/" << c.receipts << ": " << s.message();
    if (!c.ok) {
      CollectingSink sink;
      DemoCounts counts;
      EXPECT_FALSE(GenerateInstallation(o, sink, &counts).ok());
      EXPECT_EQ(sink.adds, 0);
    }
  }
}

TEST(DemoDataTest, AFailingSinkStopsTheGenerationWithItsError) {
  for (int64_t fail_at : {1, 5, 40, 300}) {
    CollectingSink sink;
    sink.fail_at = fail_at;
    DemoCounts counts;
    const Status s = GenerateInstallation(DemoOptions{}, sink, &counts);
    EXPECT_FALSE(s.ok()) << fail_at;
    EXPECT_EQ(s.code(), Status::Code::kIoError);
    EXPECT_EQ(sink.adds, fail_at) << "records were offered after the failure";
  }
}

}  // namespace
}  // namespace zov::tools::demo
