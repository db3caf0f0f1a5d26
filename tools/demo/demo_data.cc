#include "tools/demo/demo_data.h"

#include <algorithm>
#include <string>
#include <vector>

#include "format/packed.h"
#include "register/records.h"
#include "tools/demo/demo_ids.h"
#include "tools/demo/demo_people.h"

namespace zov::tools::demo {

using platform::Status;

Status CheckOptions(const DemoOptions& o) {
  if (o.owners < 1 || o.owners > kMaxOwners) {
    return Status::InvalidArgument("--owners must lie between 1 and " + std::to_string(kMaxOwners) +
                                   " (owner codes have 4 digits)");
  }
  if (o.properties_per_owner < 0 || o.properties_per_owner > kMaxPropertiesPerOwner) {
    return Status::InvalidArgument("--properties-per-owner must lie between 1 and " +
                                   std::to_string(kMaxPropertiesPerOwner));
  }
  if (o.receipts_per_property < 0 || o.receipts_per_property > kMaxReceiptsPerProperty) {
    return Status::InvalidArgument("--receipts-per-property must lie between 1 and " +
                                   std::to_string(kMaxReceiptsPerProperty));
  }
  // Varied owners follow their own numbering with gaps; make sure it fits.
  if (o.properties_per_owner == 0 && o.owners > kMaxOwners / 3) {
    return Status::InvalidArgument("--owners above " + std::to_string(kMaxOwners / 3) +
                                   " needs --properties-per-owner (the varied owners' codes have gaps)");
  }
  return Status::Ok();
}

namespace {

// Months are counted as year * 12 + (month - 1).
constexpr int kLastMonthIndex = kLastYear * 12 + (kLastMonth - 1);
constexpr int kVariedFirstMonth = kLastMonthIndex - 23;  // January 2025
constexpr int kQuarterFirstMonth = kLastMonthIndex - 2;  // October 2026

int YearOf(int month_index) { return month_index / 12; }
int MonthOf(int month_index) { return month_index % 12 + 1; }

std::string Packed(int64_t value, int16_t digits) { return format::PackDigits(format::ZeroPad(value, digits)); }

std::string PackedDate(int month_index, int day) {
  return format::PackDigits(format::ZeroPad(YearOf(month_index), 4) + format::ZeroPad(MonthOf(month_index), 2) +
                            format::ZeroPad(day, 2));
}

const std::string kZeroDate = format::PackDigits("00000000");

// Hundredths: amount × rate (hundredths of a percent), rounded half up.
int32_t Percentage(int32_t amount, int32_t rate) {
  const int64_t product = static_cast<int64_t>(amount) * rate;
  return static_cast<int32_t>((product + 5000) / 10000);
}

// The province digits that open a company's tax number.
uint32_t ProvinceDigits(Region region) {
  switch (region) {
    case Region::kBarcelona: return 8;
    case Region::kGirona: return 17;
    case Region::kBizkaia: return 48;
    case Region::kGipuzkoa: return 20;
    case Region::kAraba: return 1;
    case Region::kNavarra: return 31;
  }
  return 8;
}

enum class TenantKind { kPerson, kProfessional, kBusiness, kInstitution };

struct Tenant {
  std::string name;
  std::string nif;  // without the country prefix
  TenantKind kind = TenantKind::kPerson;
  char entity = 0;  // company entity letter; 0 for a person
};

Tenant MakeTenant(DemoRandom& rnd, Region region, TenantKind kind) {
  Tenant t;
  t.kind = kind;
  if (kind == TenantKind::kPerson || kind == TenantKind::kProfessional) {
    const Person p = RandomPerson(rnd, region);
    t.name = TenantName(p);
    t.nif = p.origin == Origin::kForeign ? Nie(static_cast<int>(rnd.Below(3)), rnd.Below(10000000))
                                         : Dni(rnd.Between(1000000, 79999999));
    return t;
  }
  const Company c = kind == TenantKind::kBusiness ? RandomBusiness(rnd, region) : RandomInstitution(rnd, region);
  t.name = c.name;
  t.entity = c.entity;
  t.nif = Cif(c.entity, ProvinceDigits(region) * 100000 + rnd.Below(100000));
  return t;
}

// What a contract invoices every month, in hundredths.
struct Contract {
  char kind = 'V';             // V housing, P parking, L business premises, C other premises
  char withholding_flag = 'N';
  int16_t vat_rate = 0;
  int16_t withholding_rate = 0;
  int32_t rent = 0;            // taxable base
  int32_t excluded = 0;        // passed-on costs, not invoiced
  int32_t exempt = 0;          // exempt part (premises only)
  int first_month = 0;         // month index of the first receipt
  int last_month = 0;          // month index of the last receipt
  int issue_day = 1;
  bool arrears = false;        // an arrears receipt follows the yearly update
  bool cancelled_at_end = false;  // the receipts of the last quarter were cancelled
};

Contract MakeContract(DemoRandom& rnd, char kind, const Tenant& tenant) {
  Contract c;
  c.kind = kind;
  const bool company = tenant.entity != 0;
  switch (kind) {
    case 'V':
      c.rent = rnd.Between(90, 320) * 500;  // 450.00 to 1,600.00
      // A few flats are let to tourists, with VAT at the reduced rate.
      if (rnd.Percent(6)) c.vat_rate = 1000;
      if (rnd.Percent(40)) c.excluded = rnd.Between(15, 60) * 100;
      break;
    case 'P':
      c.rent = rnd.Between(12, 30) * 500;  // 60.00 to 150.00
      if (rnd.Percent(70)) c.vat_rate = 2100;
      if (company) {
        c.withholding_flag = 'S';
        c.withholding_rate = 1900;
      }
      break;
    case 'L':
    case 'C':
      c.rent = rnd.Between(12, 80) * 5000;  // 600.00 to 4,000.00
      c.vat_rate = 2100;
      if (kind == 'L') {
        // Businesses and professionals withhold; a private person renting a
        // store room does not, nor do parishes and associations.
        const bool withholds = tenant.kind == TenantKind::kBusiness || tenant.kind == TenantKind::kProfessional ||
                               (tenant.kind == TenantKind::kInstitution && (tenant.entity == 'P' || tenant.entity == 'Q'));
        c.withholding_flag = withholds ? 'S' : 'N';
      } else {
        c.withholding_flag = rnd.Percent(50) ? 'S' : 'N';
      }
      if (c.withholding_flag == 'S') c.withholding_rate = 1900;
      if (rnd.Percent(kind == 'C' ? 40 : 15)) c.exempt = rnd.Between(20, 90) * 100;
      if (rnd.Percent(30)) c.excluded = rnd.Between(30, 150) * 100;
      break;
    default:
      break;
  }
  return c;
}

enum class Payment { kPaid, kPartPaid, kUnpaid, kCancelled, kReturned };

Payment DrawPayment(DemoRandom& rnd, int month_index) {
  const int age = kLastMonthIndex - month_index;  // 0 for December 2026
  const uint32_t r = rnd.Below(100);
  if (age == 0) {
    if (r < 40) return Payment::kPaid;
    if (r < 50) return Payment::kPartPaid;
    if (r < 98) return Payment::kUnpaid;
    return Payment::kCancelled;
  }
  if (age == 1) {
    if (r < 75) return Payment::kPaid;
    if (r < 85) return Payment::kPartPaid;
    if (r < 98) return Payment::kUnpaid;
    return Payment::kCancelled;
  }
  if (r < 90) return Payment::kPaid;
  if (r < 93) return Payment::kPartPaid;
  if (r < 96) return Payment::kUnpaid;
  if (r < 98) return Payment::kCancelled;
  return Payment::kReturned;
}

struct PropertyPlan {
  std::string code;  // packed 6
  int ordinal = 0;   // 1-based within the owner; part of the invoice numbers
  Tenant tenant;
  Contract contract;
  std::string cadastral;  // 20 characters, or empty
  std::string postal_code;
};

class Generator {
 public:
  Generator(const DemoOptions& options, RecordSink& sink, DemoCounts* counts)
      : options_(options), sink_(sink), counts_(counts), root_(options.seed) {}

  Status Run() {
    *counts_ = DemoCounts{};
    if (Status s = Sections(); !s.ok()) return s;
    if (Status s = Concepts(); !s.ok()) return s;
    if (Status s = Remittances(); !s.ok()) return s;
    int code = 0;
    for (int32_t i = 0; i < options_.owners; ++i) {
      DemoRandom rnd = root_.Fork(static_cast<uint64_t>(i) + 1);
      // Varied owners are numbered with gaps, as an agency's are after years
      // of owners coming and going.
      code += varied() ? 1 + static_cast<int>(rnd.Below(3)) : 1;
      if (Status s = Owner(rnd, i, code); !s.ok()) return s;
    }
    return Status::Ok();
  }

 private:
  bool varied() const { return options_.properties_per_owner == 0; }

  Status Add(int16_t file, std::string_view record) { return sink_.Add(file, record); }

  Status Sections() {
    for (const Section& section : demo::Sections()) {
      reg::SectionRecord r;
      r.SetSectionCode(std::string_view(&section.code, 1));
      reg::StoreText(r.data() + 1, 40, section.name);
      if (Status s = Add(reg::kFileUSeccio, r.view()); !s.ok()) return s;
    }
    return Status::Ok();
  }

  Status Concepts() {
    struct Concept {
      std::string_view code, text;
    };
    // Sorted by code: the file's key.
    static constexpr Concept kConcepts[] = {
        {"COB", "COBRAMENT"},
        {"HON", "HONORARIS"},
        {"IIV", "IVA"},
        {"RHO", "RETENCI\xE0 HONORARIS"},  // RETENCIÓ
        {"RIV", "RETENCI\xE0 IRPF"},
        {"RLO", "REBUT LLOGUER"},
        {"SNF", "SUBMINISTRAMENT NO FACTURAT"},
        {"SSF", "SUBMINISTRAMENT FACTURAT"},
        {"SUP", "SUPLERTS"},
        {"VAR", "VARIS"},
    };
    for (const Concept& c : kConcepts) {
      reg::ConceptRecord r;
      reg::StoreText(r.data(), 3, c.code);
      reg::StoreText(r.data() + 3, 40, c.text);
      if (Status s = Add(reg::kFileVConcept, r.view()); !s.ok()) return s;
    }
    return Status::Ok();
  }

  // One bank remittance a month; the receipts carry its number.
  Status Remittances() {
    for (int m = first_month(); m <= kLastMonthIndex; ++m) {
      reg::RemittanceRecord r;
      const std::string key = PackedDate(m, 5);
      std::copy(key.begin(), key.end(), r.data());
      reg::StoreText(r.data() + 4, 40, "REMESA " + format::ZeroPad(MonthOf(m), 2) + "/" +
                                           format::ZeroPad(YearOf(m), 4));
      if (Status s = Add(reg::kFileRemeses, r.view()); !s.ok()) return s;
    }
    return Status::Ok();
  }

  int first_month() const {
    return varied() ? kVariedFirstMonth : kLastMonthIndex - options_.receipts_per_property + 1;
  }

  // Owners 0 to 7 of a varied installation each show one situation; the
  // rest are drawn.
  Status Owner(DemoRandom& rnd, int32_t index, int code) {
    const bool special = varied() && index < 8;
    Region home = RandomRegion(rnd);
    bool company = rnd.Percent(20);
    char flag = rnd.Percent(70) ? 'S' : (rnd.Percent(85) ? 'N' : ' ');
    bool email = rnd.Percent(60);
    bool particle = false;
    if (special) {
      static constexpr Region kHomes[] = {Region::kBarcelona, Region::kGirona, Region::kBizkaia, Region::kNavarra,
                                          Region::kGipuzkoa, Region::kAraba, Region::kBarcelona, Region::kGirona};
      static constexpr char kFlags[] = {'S', 'S', 'N', 'S', ' ', 'N', 'S', 'N'};
      static constexpr bool kEmails[] = {true, true, false, false, true, true, false, true};
      home = kHomes[index];
      flag = kFlags[index];
      email = kEmails[index];
      company = index == 0 || index == 3;
      particle = index == 1;
    }

    std::string stored_name;
    std::string address;
    if (company) {
      const Company c = RandomPropertyCompany(rnd, home);
      stored_name = c.name;
      address = CompanyEmail(rnd, c);
    } else {
      Person p = RandomPerson(rnd, home);
      for (int tries = 0; particle && p.particle != "D'" && tries < 200; ++tries) p = RandomPerson(rnd, home);
      stored_name = StoredName(p);
      address = PersonEmail(rnd, p);
    }

    reg::OwnerRecord owner;
    const std::string owner_code = Packed(code, 4);
    owner.SetOwnerCode(owner_code);
    owner.SetOwnerName(stored_name);
    owner.SetOwnerFlag(std::string_view(&flag, 1));
    owner.SetOwnerEmail(email ? address : std::string());
    if (Status s = Add(reg::kFileVPropiet, owner.view()); !s.ok()) return s;
    ++counts_->owners;

    // Groups and their sizes.
    std::vector<int> sizes;
    if (!varied()) {
      for (int left = options_.properties_per_owner; left > 0; left -= 5) sizes.push_back(std::min(left, 5));
    } else if (index == 0) {
      sizes = {12, 10, 6};  // enough lines in a quarter to fill two pages
    } else if (index == 6 || index == 7) {
      sizes = {1};
    } else {
      const int groups = rnd.Between(1, 3);
      for (int g = 0; g < groups; ++g) sizes.push_back(rnd.Between(1, 5));
    }

    int ordinal = 0;
    for (std::size_t g = 0; g < sizes.size(); ++g) {
      const Region region = rnd.Percent(75) || special ? home : RandomRegion(rnd);
      const Town& town = RandomTown(rnd, region);
      const std::string street = StreetAddress(rnd, region);
      std::string group_name = street + " - " + std::string(town.name);
      if (group_name.size() > 40) group_name = street;
      const std::string group_code = owner_code + Packed(static_cast<int64_t>(g) + 1, 4);

      reg::GroupRecord group;
      group.SetGroupCode(group_code);
      group.SetGroupName(group_name);
      const char section = SectionOf(region);
      group.SetSectionCode(std::string_view(&section, 1));
      if (Status s = Add(reg::kFileVGrups, group.view()); !s.ok()) return s;
      ++counts_->groups;

      // One building: parcel and map sheet shared by its units.
      const std::string parcel = format::ZeroPad(rnd.Between(1000000, 9999999), 7);
      std::string sheet;
      sheet += static_cast<char>('A' + rnd.Below(26));
      sheet += static_cast<char>('A' + rnd.Below(26));
      sheet += format::ZeroPad(rnd.Between(1000, 9999), 4);
      sheet += static_cast<char>('A' + rnd.Below(26));

      for (int u = 0; u < sizes[g]; ++u) {
        PropertyPlan plan;
        plan.ordinal = ++ordinal;
        plan.code = group_code + Packed(u + 1, 4);
        DemoRandom prnd = rnd.Fork(static_cast<uint64_t>(plan.ordinal));
        MakeProperty(prnd, index, region, u, &plan);
        // Some units (mostly old ones) were never given a reference.
        if (prnd.Percent(90)) {
          const std::string first18 = parcel + sheet + format::ZeroPad(u + 1, 4);
          plan.cadastral = first18 + CadastralControl(first18);
        }
        plan.postal_code = std::string(town.postal_code);
        if (Status s = Property(prnd, plan); !s.ok()) return s;
      }
    }
    return Status::Ok();
  }

  void MakeProperty(DemoRandom& rnd, int32_t owner_index, Region region, int unit, PropertyPlan* plan) {
    char kind = 'V';
    const uint32_t r = rnd.Below(100);
    if (r < 50) {
      kind = 'V';
    } else if (r < 70) {
      kind = 'P';
    } else if (r < 92) {
      kind = 'L';
    } else {
      kind = 'C';
    }
    // The first owner's first units are premises let to businesses, so its
    // register shows withholding and every operation key.
    if (varied() && owner_index == 0 && unit < 4) kind = unit < 3 ? 'L' : 'C';

    TenantKind tenant_kind = TenantKind::kPerson;
    const uint32_t t = rnd.Below(100);
    switch (kind) {
      case 'P': tenant_kind = t < 80 ? TenantKind::kPerson : TenantKind::kBusiness; break;
      case 'L':
        tenant_kind = t < 65 ? TenantKind::kBusiness : t < 80 ? TenantKind::kProfessional
                    : t < 92 ? TenantKind::kPerson : TenantKind::kInstitution;
        break;
      case 'C': tenant_kind = t < 70 ? TenantKind::kBusiness : TenantKind::kInstitution; break;
      default: break;
    }
    plan->tenant = MakeTenant(rnd, region, tenant_kind);
    plan->contract = MakeContract(rnd, kind, plan->tenant);
    Contract& c = plan->contract;

    c.first_month = first_month();
    c.last_month = kLastMonthIndex;
    c.issue_day = rnd.Percent(85) ? 1 : 5;
    if (varied()) {
      if (rnd.Percent(25)) c.first_month = kVariedFirstMonth + rnd.Between(1, 20);
      c.arrears = c.first_month < kLastMonthIndex - 11 && rnd.Percent(15);
      if (owner_index == 6) {
        c.last_month = kQuarterFirstMonth - 4;  // the contract ended in June
      } else if (owner_index > 7 && rnd.Percent(5)) {
        c.last_month = std::max(c.first_month + 3, kQuarterFirstMonth - rnd.Between(1, 10));
      }
      c.cancelled_at_end = owner_index == 7;
    }
  }

  Status Property(DemoRandom& rnd, const PropertyPlan& plan) {
    reg::PropertyRecord property;
    property.SetPropertyCode(plan.code);
    property.SetTenantName(plan.tenant.name);
    property.SetTenantNif("ES" + plan.tenant.nif);
    if (Status s = Add(reg::kFileVDepBase, property.view()); !s.ok()) return s;
    ++counts_->properties;

    reg::PartRecord part;
    part.SetPropertyCode(plan.code);
    if (Status s = Add(reg::kFileVDepPart, part.view()); !s.ok()) return s;

    reg::ContractRecord contract;
    contract.SetPropertyCode(plan.code);
    contract.SetContractKind(std::string_view(&plan.contract.kind, 1));
    contract.SetWithholdingFlag(std::string_view(&plan.contract.withholding_flag, 1));
    if (Status s = Add(reg::kFileVDepCont, contract.view()); !s.ok()) return s;

    reg::BankRecord bank;
    bank.SetPropertyCode(plan.code);
    if (Status s = Add(reg::kFileVDepBanc, bank.view()); !s.ok()) return s;

    reg::CadastreRecord cadastre;
    cadastre.SetPropertyCode(plan.code);
    cadastre.SetCadastralReference(plan.cadastral);
    cadastre.SetPostalCode(plan.postal_code);
    if (Status s = Add(reg::kFileVDepCada, cadastre.view()); !s.ok()) return s;

    return Receipts(rnd, plan);
  }

  struct Amounts {
    int32_t base = 0;
    int32_t excluded = 0;
    int32_t exempt = 0;
  };

  Status Receipts(DemoRandom& rnd, const PropertyPlan& plan) {
    const Contract& c = plan.contract;
    // Rents go up by 2.9 % every January after the contract's first year. A
    // late update bills January at the old rent and collects the difference
    // with an arrears receipt in February.
    for (int m = c.first_month; m <= c.last_month; ++m) {
      int years = YearOf(m) - YearOf(c.first_month);
      // A late update: January still goes out at the old rent.
      const bool late_update = varied() && c.arrears && YearOf(m) == kLastYear;
      if (late_update && MonthOf(m) == 1) --years;
      Amounts a;
      a.base = Updated(c.rent, years);
      a.excluded = c.excluded;
      a.exempt = c.exempt;
      const int16_t cls = 1;
      if (Status s = Receipt(rnd, plan, m, c.issue_day, cls, plan.ordinal, a); !s.ok()) return s;

      if (late_update && MonthOf(m) == 2) {
        Amounts diff;
        diff.base = a.base - Updated(c.rent, years - 1);
        if (Status s = Receipt(rnd, plan, m, 15, 2, plan.ordinal + 5000, diff); !s.ok()) return s;
      }
      // Water passed on to the tenant: a receipt with nothing to invoice.
      if (varied() && c.kind == 'V' && c.excluded > 0 && MonthOf(m) % 4 == 3 && rnd.Percent(50)) {
        Amounts supplies;
        supplies.excluded = rnd.Between(20, 80) * 100;
        if (Status s = Receipt(rnd, plan, m, 20, 3, 0, supplies); !s.ok()) return s;
      }
    }
    return Status::Ok();
  }

  static int32_t Updated(int32_t rent, int years) {
    int64_t v = rent;
    for (int i = 0; i < years; ++i) v = (v * 1029 + 500) / 1000;
    return static_cast<int32_t>(v);
  }

  Status Receipt(DemoRandom& rnd, const PropertyPlan& plan, int month_index, int day, int16_t cls, int ordinal,
                 const Amounts& a) {
    const Contract& c = plan.contract;
    const bool supplies_only = cls == 3;
    const int16_t vat_rate = supplies_only ? 0 : c.vat_rate;
    const int16_t withholding_rate = supplies_only ? 0 : c.withholding_rate;
    const int32_t vat = Percentage(a.base, vat_rate);
    const int32_t withholding = -Percentage(a.base, withholding_rate);
    const int32_t total = a.base + vat + withholding + a.excluded + a.exempt;

    reg::ReceiptRecord r;
    r.SetPropertyCode(plan.code);
    r.SetClassCode(Packed(cls, 4));
    r.SetIssueDate(PackedDate(month_index, day));
    r.SetTotalAmount(total);
    r.SetExcludedAmount(a.excluded);
    r.SetInvoiceNumber(ordinal == 0 ? Packed(0, 8)
                                    : Packed(static_cast<int64_t>(YearOf(month_index) % 100) * 1000000 +
                                                 MonthOf(month_index) * 10000 + ordinal,
                                             8));
    r.SetStoredTaxBase(a.base);
    r.SetVatRate(vat_rate);
    r.SetVatAmount(vat);
    r.SetWithholdingRate(withholding_rate);
    r.SetWithholdingAmount(withholding);

    Payment payment = supplies_only ? Payment::kPaid : DrawPayment(rnd, month_index);
    if (c.cancelled_at_end && month_index >= kQuarterFirstMonth) payment = Payment::kCancelled;
    int32_t paid = 0;
    std::string_view status = "P";
    switch (payment) {
      case Payment::kPaid: paid = total; status = "C"; break;
      case Payment::kPartPaid: paid = total / 100 * rnd.Between(30, 70); status = "P"; break;
      case Payment::kUnpaid: status = "P"; break;
      case Payment::kCancelled: status = "A"; break;
      case Payment::kReturned: status = "D"; break;
    }
    r.SetStatusCode(status);
    r.SetPaidAmount(paid);
    r.SetPaymentDate(paid == 0 ? kZeroDate : PackedDate(month_index, std::min(28, day + rnd.Between(0, 10))));
    // The month's remittance number; a receipt never sent to the bank keeps
    // blanks.
    const bool remitted = supplies_only || rnd.Percent(98);
    r.SetTrailingCode(remitted ? Packed(month_index - first_month() + 1, 4) : std::string("  "));

    if (Status s = Add(reg::kFileVCobros, r.view()); !s.ok()) return s;
    ++counts_->receipts;
    if (month_index >= kQuarterFirstMonth) ++counts_->receipts_in_quarter;
    return Status::Ok();
  }

  const DemoOptions& options_;
  RecordSink& sink_;
  DemoCounts* counts_;
  DemoRandom root_;
};

}  // namespace

Status GenerateInstallation(const DemoOptions& options, RecordSink& sink, DemoCounts* counts) {
  if (Status s = CheckOptions(options); !s.ok()) return s;
  Generator g(options, sink, counts);
  return g.Run();
}

}  // namespace zov::tools::demo
