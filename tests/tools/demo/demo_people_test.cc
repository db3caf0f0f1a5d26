#include "tools/demo/demo_people.h"

#include <gtest/gtest.h>

#include <string>

#include "format/text.h"

namespace zov::tools::demo {
namespace {

const Region kRegions[] = {Region::kBarcelona, Region::kGirona, Region::kBizkaia,
                           Region::kGipuzkoa,  Region::kAraba,  Region::kNavarra};

// Upper-case code page 850 text: no control bytes, no ASCII lower case.
bool IsUpperText(std::string_view s) {
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || (c >= 'a' && c <= 'z')) return false;
  }
  return true;
}

TEST(DemoPeopleTest, StoredNamesPrintInGivenNameOrder) {
  struct Case {
    Person person;
    std::string stored, printed, tenant;
  };
  const Case cases[] = {
      {{"PUIG I FERRER", "MARIA", "", Origin::kCatalan},
       "PUIG I FERRER*MARIA", "MARIA PUIG I FERRER", "PUIG I FERRER MARIA"},
      // The particle d' joins the surname with no blank in between.
      {{"ESPONA I COLL", "JOAN", "D'", Origin::kCatalan},
       "ESPONA I COLL*JOAN D'", "JOAN D'ESPONA I COLL", "D'ESPONA I COLL JOAN"},
      {{"FUENTE GARC\xD6" "A", "ANA", "DE LA", Origin::kSpanish},
       "FUENTE GARC\xD6" "A*ANA DE LA", "ANA DE LA FUENTE GARC\xD6" "A", "DE LA FUENTE GARC\xD6" "A ANA"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredName(c.person), c.stored) << c.stored;
    EXPECT_EQ(format::NameOrder(StoredName(c.person)), c.printed) << c.stored;
    EXPECT_EQ(TenantName(c.person), c.tenant) << c.stored;
  }
}

TEST(DemoPeopleTest, EveryDrawnPersonFitsTheNameFieldsAndPrintsWell) {
  for (Region region : kRegions) {
    DemoRandom rnd(static_cast<uint64_t>(region) + 10);
    int with_particle = 0;
    for (int i = 0; i < 3000; ++i) {
      const Person p = RandomPerson(rnd, region);
      const std::string stored = StoredName(p);
      SCOPED_TRACE(stored);
      ASSERT_LE(stored.size(), 40u);
      ASSERT_LE(TenantName(p).size(), 40u);
      ASSERT_EQ(stored.find('*'), stored.rfind('*'));
      ASSERT_GE(stored.find('*'), 2u);
      ASSERT_TRUE(IsUpperText(stored));
      // The printed order holds every part once, given names first.
      const std::string printed = format::NameOrder(stored);
      ASSERT_EQ(printed.rfind(p.given, 0), 0u);
      ASSERT_NE(printed.find(p.surnames), std::string::npos);
      if (p.particle == "D'") {
        ++with_particle;
        ASSERT_NE(printed.find("D'" + p.surnames), std::string::npos);
      }
    }
    if (region == Region::kBarcelona || region == Region::kGirona) {
      EXPECT_GT(with_particle, 0);
    }
  }
}

TEST(DemoPeopleTest, CompaniesFitAndEndInTheirLegalForm) {
  for (Region region : kRegions) {
    DemoRandom rnd(static_cast<uint64_t>(region) + 20);
    for (int i = 0; i < 500; ++i) {
      const Company companies[] = {RandomBusiness(rnd, region), RandomInstitution(rnd, region),
                                   RandomPropertyCompany(rnd, region)};
      for (const Company& c : companies) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.name.size(), 40u);
        ASSERT_FALSE(c.name.empty());
        ASSERT_NE(c.name.back(), ' ');
        ASSERT_TRUE(IsUpperText(c.name));
        ASSERT_NE(std::string_view("ABEJPQRG").find(c.entity), std::string_view::npos);
      }
      const std::string name = companies[0].name;
      const std::string form = name.substr(name.rfind(' ') + 1);
      if (form == "SA") {
        EXPECT_EQ(companies[0].entity, 'A') << name;
      }
      if (form == "SL" || form == "SLU") {
        EXPECT_EQ(companies[0].entity, 'B') << name;
      }
    }
  }
}

TEST(DemoPeopleTest, TownsLieInTheirProvinces) {
  for (const Town& t : Towns()) {
    std::string_view want;
    switch (t.region) {
      case Region::kBarcelona: want = "08"; break;
      case Region::kGirona: want = "17"; break;
      case Region::kBizkaia: want = "48"; break;
      case Region::kGipuzkoa: want = "20"; break;
      case Region::kAraba: want = "01"; break;
      case Region::kNavarra: want = "31"; break;
    }
    EXPECT_EQ(t.postal_code.size(), 5u) << t.name;
    EXPECT_EQ(t.postal_code.substr(0, 2), want) << t.name;
  }
  for (Region region : kRegions) {
    DemoRandom rnd(3);
    EXPECT_EQ(RandomTown(rnd, region).region, region);
    bool known = false;
    for (const Section& s : Sections()) known = known || s.code == SectionOf(region);
    EXPECT_TRUE(known);
  }
}

TEST(DemoPeopleTest, MailPartsArePlainAscii) {
  struct Case {
    std::string cp850, ascii;
  };
  const Case cases[] = {
      {"MARCEL\xFAL\xD6", "marcelli"},          // MARCEL·LÍ
      {"D'ESPONA", "despona"},
      {"JOS\x90 MAR\xD6" "A", "jose.maria"},    // JOSÉ MARÍA
      {"BEGO\xA5" "A", "begona"},               // BEGOÑA
      {"PROVEN\x80" "A  ", "provenca"},         // trailing blanks leave no dot
      {"BAR \"EL RAC\xE0\" SCP", "bar.el.raco.scp"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(AsciiMailPart(c.cp850), c.ascii) << c.ascii;

  DemoRandom rnd(8);
  for (Region region : kRegions) {
    for (int i = 0; i < 300; ++i) {
      const std::string addresses[] = {PersonEmail(rnd, RandomPerson(rnd, region)),
                                       CompanyEmail(rnd, RandomPropertyCompany(rnd, region))};
      for (const std::string& a : addresses) {
        SCOPED_TRACE(a);
        ASSERT_LE(a.size(), 40u);
        const std::size_t at = a.find('@');
        ASSERT_NE(at, std::string::npos);
        ASSERT_GT(at, 0u);
        ASSERT_EQ(a.find('@', at + 1), std::string::npos);
        // Only the reserved example domains: nothing can ever be mailed.
        const std::string domain = a.substr(at + 1);
        ASSERT_TRUE(domain.ends_with("example.com") || domain.ends_with("example.net") ||
                    domain.ends_with("example.org"));
        for (char ch : a) ASSERT_TRUE((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '.' || ch == '@' || ch == '-');
        ASSERT_NE(a[at - 1], '.');
      }
    }
  }
}

}  // namespace
}  // namespace zov::tools::demo
