// People, companies and places of the demo installation: Catalan, Spanish
// and Basque names in code page 850, the towns and postal codes of the six
// provinces where the agency manages properties, street addresses, company
// names with their legal form, and e-mail addresses.
//
//   DemoRandom rnd(7);
//   Person p = RandomPerson(rnd, Region::kGirona);
//   StoredName(p);    // "ESPONA I COLL*JOAN D'"  (printed "JOAN D'ESPONA I COLL")
//   TenantName(p);    // "D'ESPONA I COLL JOAN"
#ifndef ZOV_TOOLS_DEMO_DEMO_PEOPLE_H_
#define ZOV_TOOLS_DEMO_DEMO_PEOPLE_H_

#include <span>
#include <string>
#include <string_view>

#include "tools/demo/demo_ids.h"

namespace zov::tools::demo {

enum class Region { kBarcelona, kGirona, kBizkaia, kGipuzkoa, kAraba, kNavarra };

struct Town {
  std::string_view name;         // code page 850, upper case
  std::string_view postal_code;  // 5 digits; its first two name the province
  Region region;
};

std::span<const Town> Towns();

// A region, weighted towards Barcelona where most of the agency's work is.
Region RandomRegion(DemoRandom& rnd);
const Town& RandomTown(DemoRandom& rnd, Region region);

// The agency's section (USeccio) that manages a region's buildings.
char SectionOf(Region region);
struct Section {
  char code;
  std::string_view name;  // code page 850
};
std::span<const Section> Sections();

enum class Origin { kCatalan, kSpanish, kBasque, kForeign };

struct Person {
  std::string surnames;     // "PUIG I FERRER"; "ESPONA" for D'ESPONA
  std::string given;        // "MARIA"
  std::string particle;     // "" or the particle before the surnames: "D'", "DE LA"
  Origin origin = Origin::kCatalan;
};

// A person typical of the region; always fits the 40-byte name fields.
Person RandomPerson(DemoRandom& rnd, Region region);

// Surnames, "*", given names; a particle goes after the given names so the
// surnames sort by their own first letter ("ESPONA*JOAN D'").
std::string StoredName(const Person& p);
// The name as the tax agency lists it: particle and surnames, then the
// given names ("D'ESPONA I COLL JOAN").
std::string TenantName(const Person& p);

// Company forms and the entity letter of their tax number.
struct Company {
  std::string name;  // code page 850, at most 40 bytes, legal form last
  char entity = 'B';  // first letter of the CIF
};

// A business that rents premises: shop, bar, office; some names carry
// double quotes ("BAR \"EL RACO\" SCP").
Company RandomBusiness(DemoRandom& rnd, Region region);
// A public body, parish or association (entities whose CIF ends in a letter
// or whose activity is not a business).
Company RandomInstitution(DemoRandom& rnd, Region region);
// A company that owns property.
Company RandomPropertyCompany(DemoRandom& rnd, Region region);

// "C. MAJOR, 23": a street of the town's region and a number.
std::string StreetAddress(DemoRandom& rnd, Region region);

// Lower-case ASCII for an e-mail address: accents dropped, "l·l" kept as
// "ll", apostrophes dropped, blanks turned into dots.
std::string AsciiMailPart(std::string_view cp850);

// An address at one of the reserved example domains.
std::string PersonEmail(DemoRandom& rnd, const Person& p);
std::string CompanyEmail(DemoRandom& rnd, const Company& c);

}  // namespace zov::tools::demo

#endif  // ZOV_TOOLS_DEMO_DEMO_PEOPLE_H_
