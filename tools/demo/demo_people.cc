#include "tools/demo/demo_people.h"

#include <array>
#include <string>

#include "format/packed.h"

// Texts are code page 850: À B7, Á B5, Ç 80, È D4, É 90, Í D6, Ï D8, Ñ A5,
// Ò E3, Ó E0, Ú E9, Ü 9A, Ã C7, middle dot FA. A literal is split after an
// escape when the next letter could be read as a hex digit.

namespace zov::tools::demo {
namespace {

using Names = std::span<const std::string_view>;

constexpr std::string_view kCatalanSurnames[] = {
    "PUIG", "FERRER", "SOLER", "VILA", "FONT", "CASALS", "ROCA", "SERRA", "BOSCH", "PRAT",
    "COMAS", "RIERA", "BATLLE", "CASTELLS", "VIDAL", "SALA", "SABATER", "CODINA", "BALCELLS",
    "PUJOL", "ROVIRA", "MASSANA", "CLOSA", "CARBONELL", "ESTRUCH", "GIRONELLA", "FABREGAT",
    "MART\xD6",              // MARTÍ
    "PAG\xD4S",              // PAGÈS
    "GIRON\xD4S",            // GIRONÈS
    "MASSAGU\x90",           // MASSAGUÉ
    "ROSSEL\xFAL\xE0",       // ROSSEL·LÓ
    "CATAL\xB7",             // CATALÀ
    "COLOM\x90",             // COLOMÉ
    "VALL\xD4S",             // VALLÈS
    "SOL\x90",               // SOLÉ
    "OLIV\x90",              // OLIVÉ
};

// Surnames that take the particle d' (they begin with a vowel).
constexpr std::string_view kParticleSurnames[] = {
    "ESPONA", "OLIVA", "ARENY", "URGELL", "ABADAL", "ANGLESOLA",
    "AL\xE3S",  // ALÒS
};

constexpr std::string_view kCatalanGiven[] = {
    "MARIA", "JOAN", "JORDI", "MONTSERRAT", "PERE", "JOSEP", "ANNA", "ORIOL", "ROSER",
    "FRANCESC", "CATERINA", "ARNAU", "LAIA", "MERITXELL", "CLIMENT", "JOSEP MARIA", "ROSA",
    "N\xE9RIA",              // NÚRIA
    "MERC\xD4",              // MERCÈ
    "MART\xD6",              // MARTÍ
    "LLU\xD8SA",             // LLUÏSA
    "\xB7NGELS",             // ÀNGELS
    "\xE3SCAR",              // ÒSCAR
    "MARCEL\xFAL\xD6",       // MARCEL·LÍ
    "EUL\xB7LIA",            // EULÀLIA
};

constexpr std::string_view kSpanishSurnames[] = {
    "GARC\xD6" "A",          // GARCÍA
    "MART\xD6NEZ",           // MARTÍNEZ
    "L\xE0PEZ",              // LÓPEZ
    "S\xB5NCHEZ",            // SÁNCHEZ
    "P\x90REZ",              // PÉREZ
    "G\xE0MEZ",              // GÓMEZ
    "FERN\xB5NDEZ",          // FERNÁNDEZ
    "RODR\xD6GUEZ",          // RODRÍGUEZ
    "MU\xA5OZ",              // MUÑOZ
    "JIM\x90NEZ",            // JIMÉNEZ
    "GUTI\x90RREZ",          // GUTIÉRREZ
    "D\xD6" "AZ",            // DÍAZ
    "HERN\xB5NDEZ",          // HERNÁNDEZ
    "IB\xB5\xA5" "EZ",       // IBÁÑEZ
    "RUIZ", "MORENO", "NAVARRO", "ROMERO", "ALONSO", "CASTILLO", "ORTEGA", "DELGADO",
    "CASTRO", "ESPINOSA", "SERRANO", "MOLINA", "VEGA",
};

constexpr std::string_view kSpanishGiven[] = {
    "JOS\x90",               // JOSÉ
    "MAR\xD6" "A",           // MARÍA
    "\xB5NGEL",              // ÁNGEL
    "JES\xE9S",              // JESÚS
    "ROC\xD6O",              // ROCÍO
    "RA\xE9L",               // RAÚL
    "BEGO\xA5" "A",          // BEGOÑA
    "CARMEN", "ANTONIO", "JAVIER", "ISABEL", "PILAR", "MANUEL", "FRANCISCO", "LAURA",
    "ELENA", "PABLO", "CRISTINA", "MIGUEL", "ANA", "LUIS", "TERESA", "MAR\xD6" "A JOS\x90",
};

// Spanish surnames that keep a particle before them ("DE LA FUENTE").
struct ParticleSurname {
  std::string_view particle;
  std::string_view surname;
};
constexpr ParticleSurname kSpanishParticleSurnames[] = {
    {"DE LA", "FUENTE"}, {"DEL", "RIO"}, {"DE", "MIGUEL"}, {"DE LA", "TORRE"},
};

constexpr std::string_view kBasqueSurnames[] = {
    "ETXEBERRIA", "GOIKOETXEA", "ZUBIZARRETA", "ARANA", "URIARTE", "AGIRRE", "ELIZONDO",
    "IRIARTE", "UGARTE", "MENDIZABAL", "BERASATEGI", "ARRIETA", "OLAIZOLA", "AZPEITIA",
    "GARAIKOETXEA", "ERREKA", "ARREGI", "LASA",
    "LARRA\xA5" "AGA",       // LARRAÑAGA
    "I\xA5IGO",              // IÑIGO
};

constexpr std::string_view kBasqueGiven[] = {
    "I\xA5" "AKI",           // IÑAKI
    "AITOR", "MIREN", "ANDONI", "ITZIAR", "IKER", "AINHOA", "KOLDO", "NEREA", "UNAI", "AMAIA",
    "GORKA", "EDURNE", "JOSU", "ARANTXA", "XABIER",
};

struct ForeignName {
  std::string_view surname;
  std::string_view given;
};
constexpr ForeignName kForeignNames[] = {
    {"M\x9aLLER", "ANNA"},         // MÜLLER
    {"DUBOIS", "PIERRE"},
    {"ROSSI", "MARCO"},
    {"SILVA", "JO\xC7O"},          // JOÃO
    {"POPESCU", "ELENA"},
    {"SMITH", "JOHN"},
    {"KOWALSKI", "PIOTR"},
    {"EL AMRANI", "YOUSSEF"},
};

constexpr Town kTowns[] = {
    {"BARCELONA", "08001", Region::kBarcelona},
    {"BARCELONA", "08007", Region::kBarcelona},
    {"BARCELONA", "08010", Region::kBarcelona},
    {"BARCELONA", "08012", Region::kBarcelona},
    {"BARCELONA", "08015", Region::kBarcelona},
    {"BARCELONA", "08021", Region::kBarcelona},
    {"BARCELONA", "08025", Region::kBarcelona},
    {"BARCELONA", "08036", Region::kBarcelona},
    {"SABADELL", "08201", Region::kBarcelona},
    {"TERRASSA", "08221", Region::kBarcelona},
    {"MATAR\xE0", "08301", Region::kBarcelona},                  // MATARÓ
    {"GRANOLLERS", "08401", Region::kBarcelona},
    {"VIC", "08500", Region::kBarcelona},
    {"MANRESA", "08240", Region::kBarcelona},
    {"SITGES", "08870", Region::kBarcelona},
    {"SANT CUGAT DEL VALL\xD4S", "08172", Region::kBarcelona},   // VALLÈS
    {"VILANOVA I LA GELTR\xE9", "08800", Region::kBarcelona},    // GELTRÚ
    {"BADALONA", "08911", Region::kBarcelona},
    {"L'HOSPITALET DE LLOBREGAT", "08901", Region::kBarcelona},
    {"GIRONA", "17001", Region::kGirona},
    {"GIRONA", "17002", Region::kGirona},
    {"GIRONA", "17003", Region::kGirona},
    {"FIGUERES", "17600", Region::kGirona},
    {"BLANES", "17300", Region::kGirona},
    {"OLOT", "17800", Region::kGirona},
    {"PALAM\xE0S", "17230", Region::kGirona},                    // PALAMÓS
    {"ROSES", "17480", Region::kGirona},
    {"PALAFRUGELL", "17200", Region::kGirona},
    {"PUIGCERD\xB7", "17520", Region::kGirona},                  // PUIGCERDÀ
    {"BANYOLES", "17820", Region::kGirona},
    {"LLORET DE MAR", "17310", Region::kGirona},
    {"BILBAO", "48001", Region::kBizkaia},
    {"BILBAO", "48005", Region::kBizkaia},
    {"BILBAO", "48008", Region::kBizkaia},
    {"BILBAO", "48011", Region::kBizkaia},
    {"GETXO", "48930", Region::kBizkaia},
    {"BARAKALDO", "48901", Region::kBizkaia},
    {"DURANGO", "48200", Region::kBizkaia},
    {"GERNIKA-LUMO", "48300", Region::kBizkaia},
    {"PORTUGALETE", "48920", Region::kBizkaia},
    {"DONOSTIA", "20001", Region::kGipuzkoa},
    {"DONOSTIA", "20004", Region::kGipuzkoa},
    {"DONOSTIA", "20012", Region::kGipuzkoa},
    {"IRUN", "20301", Region::kGipuzkoa},
    {"EIBAR", "20600", Region::kGipuzkoa},
    {"ZARAUTZ", "20800", Region::kGipuzkoa},
    {"TOLOSA", "20400", Region::kGipuzkoa},
    {"ARRASATE", "20500", Region::kGipuzkoa},
    {"VITORIA-GASTEIZ", "01001", Region::kAraba},
    {"VITORIA-GASTEIZ", "01005", Region::kAraba},
    {"VITORIA-GASTEIZ", "01008", Region::kAraba},
    {"LAUDIO", "01400", Region::kAraba},
    {"AGURAIN", "01200", Region::kAraba},
    {"AMURRIO", "01470", Region::kAraba},
    {"PAMPLONA", "31001", Region::kNavarra},
    {"PAMPLONA", "31002", Region::kNavarra},
    {"PAMPLONA", "31008", Region::kNavarra},
    {"TUDELA", "31500", Region::kNavarra},
    {"ESTELLA", "31200", Region::kNavarra},
    {"BURLADA", "31600", Region::kNavarra},
    {"TAFALLA", "31300", Region::kNavarra},
    {"BARA\xA5\xB5IN", "31010", Region::kNavarra},                // BARAÑÁIN
};

// In key order.
constexpr Section kSections[] = {
    {'B', "ADMINISTRACI\xE0 BARCELONA"},   // ADMINISTRACIÓ
    {'E', "DELEGACI\xE0 EUSKADI"},         // DELEGACIÓ
    {'G', "DELEGACI\xE0 GIRONA"},
    {'N', "DELEGACI\xE0 NAVARRA"},
};

constexpr std::string_view kCatalanStreets[] = {
    "C. MAJOR", "RAMBLA NOVA", "C. DE LA CREU", "AV. DIAGONAL", "C. DEL CARME",
    "PL. DE LA VILA", "C. DE SANT PERE", "RDA. SANT ANTONI", "C. NOU", "C. DE LA PAU",
    "AV. CATALUNYA", "C. DE MALLORCA", "C. DE L'ARQUEBISBE",
    "PG. DE GR\xB7" "CIA",   // GRÀCIA
    "C. DE PROVEN\x80" "A",  // PROVENÇA
};

constexpr std::string_view kBasqueStreets[] = {
    "C/ ERRIBERA", "C/ LICENCIADO POZA", "AV. SABINO ARANA", "C/ URBIETA", "KALE NAGUSIA",
    "C/ DATO", "AV. GASTEIZ", "C/ SAN PRUDENCIO", "C/ ELKANO", "C/ AUTONOM\xD6" "A",
    "GRAN V\xD6" "A",        // GRAN VÍA
};

constexpr std::string_view kNavarreStreets[] = {
    "C/ ESTAFETA", "AV. CARLOS III", "C/ MAYOR", "C/ SAN FRANCISCO", "PZA. DEL CASTILLO",
    "AV. BAJA NAVARRA", "C/ ZAPATER\xD6" "A",  // ZAPATERÍA
};

struct Activity {
  std::string_view name;
  bool nickname;  // the business is known by a nickname in quotes
};

constexpr Activity kCatalanActivities[] = {
    {"FORN DE PA", false}, {"FARM\xB7" "CIA", false}, {"BAR", true}, {"FRUITES", false},
    {"PERRUQUERIA", false}, {"LLIBRERIA", false}, {"FERRETERIA", false}, {"GESTORIA", false},
    {"\xE3PTICA", false}, {"ASSESSORIA", false}, {"CL\xD6NICA DENTAL", false},
    {"CAF\xD4", true}, {"RESTAURANT", true}, {"TALLERS", false},
};

constexpr Activity kSpanishActivities[] = {
    {"PANADER\xD6" "A", false}, {"FARMACIA", false}, {"BAR", true}, {"FRUTER\xD6" "A", false},
    {"PELUQUER\xD6" "A", false}, {"LIBRER\xD6" "A", false}, {"GESTOR\xD6" "A", false},
    {"\xE0PTICA", false}, {"ASESOR\xD6" "A", false}, {"CAFETER\xD6" "A", true},
    {"RESTAURANTE", true}, {"TALLERES", false},
};

constexpr Activity kBasqueActivities[] = {
    {"OKINDEGIA", false}, {"TABERNA", true}, {"JATETXEA", true}, {"ILEAPAINDEGIA", false},
    {"LIBURUDENDA", false}, {"BURDINDEGIA", false},
};

constexpr std::string_view kCatalanNicknames[] = {
    "\"EL RAC\xE0\"",         // "EL RACÓ"
    "\"LA PLA\x80" "A\"",     // "LA PLAÇA"
    "\"CAN JOAN\"", "\"EL PORXO\"",
};
constexpr std::string_view kSpanishNicknames[] = {"\"LA ESQUINA\"", "\"EL MIRADOR\"", "\"CASA PACO\""};
constexpr std::string_view kBasqueNicknames[] = {"\"ZAHARRA\"", "\"TXOKO\"", "\"ITSASO\""};

struct LegalForm {
  std::string_view suffix;
  char entity;
};
constexpr LegalForm kLegalForms[] = {
    {"SL", 'B'}, {"SL", 'B'}, {"SL", 'B'}, {"SLU", 'B'}, {"SA", 'A'}, {"SCP", 'J'}, {"CB", 'E'},
};

}  // namespace

std::span<const Town> Towns() { return kTowns; }
std::span<const Section> Sections() { return kSections; }

Region RandomRegion(DemoRandom& rnd) {
  const uint32_t r = rnd.Below(100);
  if (r < 45) return Region::kBarcelona;
  if (r < 65) return Region::kGirona;
  if (r < 77) return Region::kBizkaia;
  if (r < 87) return Region::kGipuzkoa;
  if (r < 92) return Region::kAraba;
  return Region::kNavarra;
}

const Town& RandomTown(DemoRandom& rnd, Region region) {
  std::array<const Town*, std::size(kTowns)> matching{};
  std::size_t n = 0;
  for (const Town& t : kTowns)
    if (t.region == region) matching[n++] = &t;
  return *matching[rnd.Below(static_cast<uint32_t>(n))];
}

char SectionOf(Region region) {
  switch (region) {
    case Region::kBarcelona: return 'B';
    case Region::kGirona: return 'G';
    case Region::kNavarra: return 'N';
    case Region::kBizkaia:
    case Region::kGipuzkoa:
    case Region::kAraba: return 'E';
  }
  return 'B';
}

namespace {

Origin RandomOrigin(DemoRandom& rnd, Region region) {
  const uint32_t r = rnd.Below(100);
  if (r < 6) return Origin::kForeign;
  switch (region) {
    case Region::kBarcelona:
    case Region::kGirona: return r < 65 ? Origin::kCatalan : Origin::kSpanish;
    case Region::kBizkaia:
    case Region::kGipuzkoa:
    case Region::kAraba: return r < 50 ? Origin::kBasque : Origin::kSpanish;
    case Region::kNavarra: return r < 30 ? Origin::kBasque : Origin::kSpanish;
  }
  return Origin::kSpanish;
}

std::string PickName(DemoRandom& rnd, Names names) { return std::string(rnd.Pick(names)); }

}  // namespace

Person RandomPerson(DemoRandom& rnd, Region region) {
  Person p;
  p.origin = RandomOrigin(rnd, region);
  for (int attempt = 0; attempt < 20; ++attempt) {
    p.particle.clear();
    switch (p.origin) {
      case Origin::kCatalan: {
        std::string first;
        if (rnd.Percent(15)) {
          first = PickName(rnd, kParticleSurnames);
          p.particle = "D'";
        } else {
          first = PickName(rnd, kCatalanSurnames);
        }
        // Half of the Catalans join their surnames with "I".
        const std::string second = rnd.Percent(70) ? PickName(rnd, kCatalanSurnames)
                                                   : PickName(rnd, kSpanishSurnames);
        p.surnames = first + (rnd.Percent(50) ? " I " : " ") + second;
        p.given = PickName(rnd, kCatalanGiven);
        break;
      }
      case Origin::kSpanish: {
        std::string first;
        if (rnd.Percent(8)) {
          const ParticleSurname& ps = rnd.Pick(std::span<const ParticleSurname>(kSpanishParticleSurnames));
          first = std::string(ps.surname);
          p.particle = std::string(ps.particle);
        } else {
          first = PickName(rnd, kSpanishSurnames);
        }
        p.surnames = first + " " + PickName(rnd, kSpanishSurnames);
        p.given = PickName(rnd, kSpanishGiven);
        break;
      }
      case Origin::kBasque:
        p.surnames = PickName(rnd, kBasqueSurnames) + " " +
                     (rnd.Percent(60) ? PickName(rnd, kBasqueSurnames) : PickName(rnd, kSpanishSurnames));
        p.given = rnd.Percent(75) ? PickName(rnd, kBasqueGiven) : PickName(rnd, kSpanishGiven);
        break;
      case Origin::kForeign: {
        const ForeignName& f = rnd.Pick(std::span<const ForeignName>(kForeignNames));
        p.surnames = std::string(f.surname);
        p.given = std::string(f.given);
        break;
      }
    }
    if (StoredName(p).size() <= 40 && TenantName(p).size() <= 40) return p;
  }
  // Long combinations were drawn every time: keep one surname.
  p.surnames = p.surnames.substr(0, p.surnames.find(' '));
  return p;
}

std::string StoredName(const Person& p) {
  std::string out = p.surnames + "*" + p.given;
  if (!p.particle.empty()) {
    out += ' ';
    out += p.particle;
  }
  return out;
}

std::string TenantName(const Person& p) {
  std::string out;
  if (!p.particle.empty()) {
    out = p.particle;
    if (out.back() != '\'') out += ' ';
  }
  return out + p.surnames + " " + p.given;
}

namespace {

std::string FitName(std::string name) {
  if (name.size() > 40) name.resize(40);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

Origin BusinessOrigin(DemoRandom& rnd, Region region) {
  Origin o = RandomOrigin(rnd, region);
  return o == Origin::kForeign ? Origin::kSpanish : o;
}

}  // namespace

Company RandomBusiness(DemoRandom& rnd, Region region) {
  const Origin origin = BusinessOrigin(rnd, region);
  std::span<const Activity> activities = kCatalanActivities;
  Names nicknames = kCatalanNicknames;
  Names surnames = kCatalanSurnames;
  if (origin == Origin::kSpanish) {
    activities = kSpanishActivities;
    nicknames = kSpanishNicknames;
    surnames = kSpanishSurnames;
  } else if (origin == Origin::kBasque) {
    activities = kBasqueActivities;
    nicknames = kBasqueNicknames;
    surnames = kBasqueSurnames;
  }
  const Activity& a = rnd.Pick(activities);
  const LegalForm& form = rnd.Pick(std::span<const LegalForm>(kLegalForms));
  const std::string who = a.nickname ? PickName(rnd, nicknames) : PickName(rnd, surnames);
  Company c;
  c.name = FitName(std::string(a.name) + " " + who + " " + std::string(form.suffix));
  c.entity = form.entity;
  return c;
}

Company RandomInstitution(DemoRandom& rnd, Region region) {
  const Town& town = RandomTown(rnd, region);
  const bool catalan = region == Region::kBarcelona || region == Region::kGirona;
  Company c;
  switch (rnd.Below(4)) {
    case 0:
      c.name = std::string(catalan ? "AJUNTAMENT DE " : "AYUNTAMIENTO DE ") + std::string(town.name);
      c.entity = 'P';
      break;
    case 1:
      c.name = catalan ? "PARR\xE3QUIA DE SANT PERE" : "PARROQUIA DE SAN MIGUEL";  // PARRÒQUIA
      c.entity = 'R';
      break;
    case 2:
      c.name = catalan ? "ASSOCIACI\xE0 DE VE\xD8NS DEL CENTRE"  // ASSOCIACIÓ DE VEÏNS
                       : "ASOCIACI\xE0N VECINAL ALDE ZAHARRA";    // ASOCIACIÓN
      c.entity = 'G';
      break;
    default:
      c.name = catalan ? "COL\xFALEGI OFICIAL DE METGES" : "COLEGIO OFICIAL DE M\x90" "DICOS";  // COL·LEGI, MÉDICOS
      c.entity = 'Q';
      break;
  }
  c.name = FitName(c.name);
  return c;
}

Company RandomPropertyCompany(DemoRandom& rnd, Region region) {
  const Town& town = RandomTown(rnd, region);
  const bool catalan = region == Region::kBarcelona || region == Region::kGirona;
  static constexpr std::string_view kCatalanKinds[] = {
      "INVERSIONS IMMOBILI\xB7RIES", "PATRIMONIAL", "FINQUES", "LLOGUERS I SERVEIS"};  // IMMOBILIÀRIES
  static constexpr std::string_view kOtherKinds[] = {
      "INVERSIONES INMOBILIARIAS", "PATRIMONIAL", "FINCAS", "ALQUILERES Y SERVICIOS"};
  const std::string_view kind = catalan ? rnd.Pick(std::span<const std::string_view>(kCatalanKinds))
                                        : rnd.Pick(std::span<const std::string_view>(kOtherKinds));
  const bool sa = rnd.Percent(30);
  Company c;
  std::string base = std::string(kind) + " " + std::string(town.name);
  if (base.size() > 36) base = std::string(kind);
  c.name = FitName(base + (sa ? " SA" : " SL"));
  c.entity = sa ? 'A' : 'B';
  return c;
}

std::string StreetAddress(DemoRandom& rnd, Region region) {
  Names streets = kCatalanStreets;
  if (region == Region::kNavarra) {
    streets = kNavarreStreets;
  } else if (region != Region::kBarcelona && region != Region::kGirona) {
    streets = kBasqueStreets;
  }
  const std::string_view street = rnd.Pick(streets);
  return std::string(street) + ", " + std::to_string(rnd.Between(1, 180));
}

std::string AsciiMailPart(std::string_view cp850) {
  std::string out;
  for (char ch : cp850) {
    const auto c = static_cast<unsigned char>(ch);
    char plain = 0;
    switch (c) {
      case 0xB7: case 0xB5: case 0xC7: plain = 'a'; break;
      case 0x90: case 0xD4: plain = 'e'; break;
      case 0xD6: case 0xD8: plain = 'i'; break;
      case 0xE0: case 0xE3: plain = 'o'; break;
      case 0xE9: case 0x9A: plain = 'u'; break;
      case 0xA5: plain = 'n'; break;
      case 0x80: plain = 'c'; break;
      case ' ': plain = '.'; break;
      default:
        if (c >= 'A' && c <= 'Z') {
          plain = static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
          plain = static_cast<char>(c);
        }
        break;  // middle dot, apostrophe, quotes and the rest are dropped
    }
    if (plain == 0) continue;
    if (plain == '.' && (out.empty() || out.back() == '.')) continue;
    out += plain;
  }
  while (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}

namespace {
constexpr std::string_view kDomains[] = {"example.com", "example.net", "example.org"};
}

std::string PersonEmail(DemoRandom& rnd, const Person& p) {
  const std::string first_surname = p.surnames.substr(0, p.surnames.find(' '));
  const std::string given = p.given.substr(0, p.given.find(' '));
  std::string local = AsciiMailPart(given) + "." + AsciiMailPart(p.particle + first_surname);
  if (local.size() > 26) local.resize(26);
  return local + "@" + std::string(rnd.Pick(std::span<const std::string_view>(kDomains)));
}

std::string CompanyEmail(DemoRandom& rnd, const Company& c) {
  std::string words = AsciiMailPart(c.name);
  // Drop the legal form and keep at most two words.
  const std::size_t last_dot = words.rfind('.');
  if (last_dot != std::string::npos) words.resize(last_dot);
  std::size_t second = words.find('.');
  if (second != std::string::npos) second = words.find('.', second + 1);
  if (second != std::string::npos) words.resize(second);
  for (char& ch : words)
    if (ch == '.') ch = '-';
  if (words.size() > 20) words.resize(20);
  return "admin@" + words + "." + std::string(rnd.Pick(std::span<const std::string_view>(kDomains)));
}

}  // namespace zov::tools::demo
