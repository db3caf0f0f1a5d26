#include "books/recipient.h"

#include "format/chars.h"
#include "platform/ascii.h"

namespace zov::books {

namespace {

// Shapes of each member state's VAT numbers (after the prefix): "9" a digit,
// "A" a letter, "X" a digit or letter, "+" a letter, "+" or "*"; any other
// character stands for itself. Several shapes are separated by blanks.
struct VatShape {
  std::string_view prefix;
  std::string_view shapes;
};

constexpr VatShape kVatShapes[] = {
    {"AT", "U99999999"},
    {"BE", "0999999999 1999999999"},
    {"BG", "999999999 9999999999"},
    {"CY", "99999999A"},
    {"CZ", "99999999 999999999 9999999999"},
    {"DE", "999999999"},
    {"DK", "99999999"},
    {"EE", "999999999"},
    {"EL", "999999999"},
    {"FI", "99999999"},
    {"FR", "XX999999999"},
    {"HR", "99999999999"},
    {"HU", "99999999"},
    {"IE", "9999999A 9999999AA 9+99999A"},
    {"IT", "99999999999"},
    {"LT", "999999999 999999999999"},
    {"LU", "99999999"},
    {"LV", "99999999999"},
    {"MT", "99999999"},
    {"NL", "999999999B99"},
    {"PL", "9999999999"},
    {"PT", "999999999"},
    {"RO", "99 999 9999 99999 999999 9999999 99999999 999999999 9999999999"},
    {"SE", "999999999999"},
    {"SI", "99999999"},
    {"SK", "9999999999"},
    {"XI", "999999999 999999999999 GD999 HA999"},
};

// ISO 3166-1 alpha-2, officially assigned codes.
constexpr std::string_view kIsoCountries =
    "AD AE AF AG AI AL AM AO AQ AR AS AT AU AW AX AZ BA BB BD BE BF BG BH BI BJ BL BM BN BO BQ BR BS BT BV BW "
    "BY BZ CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CW CX CY CZ DE DJ DK DM DO DZ EC EE EG EH ER ES ET FI "
    "FJ FK FM FO FR GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY HK HM HN HR HT HU ID IE IL IM IN "
    "IO IQ IR IS IT JE JM JO JP KE KG KH KI KM KN KP KR KW KY KZ LA LB LC LI LK LR LS LT LU LV LY MA MC MD ME "
    "MF MG MH MK ML MM MN MO MP MQ MR MS MT MU MV MW MX MY MZ NA NC NE NF NG NI NL NO NP NR NU NZ OM PA PE PF "
    "PG PH PK PL PM PN PR PS PT PW PY QA RE RO RS RU RW SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR SS ST SV "
    "SX SY SZ TC TD TF TG TH TJ TK TL TM TN TO TR TT TV TW TZ UA UG UM US UY UZ VA VC VE VG VI VN VU WF WS YE "
    "YT ZA ZM ZW";

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool Matches(std::string_view shape, std::string_view number) {
  if (shape.size() != number.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const char s = shape[i];
    const char c = number[i];
    const bool ok = s == '9'   ? format::IsDigit(c)
                    : s == 'A' ? IsLetter(c)
                    : s == 'X' ? format::IsDigit(c) || IsLetter(c)
                    : s == '+' ? IsLetter(c) || c == '+' || c == '*'
                               : c == s;
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool IsEuVatNumber(std::string_view prefix, std::string_view number) {
  for (const VatShape& v : kVatShapes) {
    if (v.prefix != prefix) continue;
    std::string_view shapes = v.shapes;
    while (!shapes.empty()) {
      const std::size_t blank = shapes.find(' ');
      if (Matches(shapes.substr(0, blank), number)) return true;
      if (blank == std::string_view::npos) break;
      shapes.remove_prefix(blank + 1);
    }
    return false;
  }
  return false;
}

std::string_view CountryOfVatPrefix(std::string_view prefix) {
  if (prefix == "EL") return "GR";
  if (prefix == "XI") return "GB";
  return prefix;
}

bool IsIsoCountry(std::string_view code) {
  if (code.size() != 2 || !IsLetter(code[0]) || !IsLetter(code[1])) return false;
  for (std::size_t i = 0; i + 2 <= kIsoCountries.size(); i += 3)
    if (kIsoCountries.substr(i, 2) == code) return true;
  return false;
}

RecipientId MapRecipient(std::string_view tenant_nif, std::vector<Finding>* warnings) {
  RecipientId r;
  const std::string stored(format::TrimBlanks(tenant_nif));
  if (stored.empty()) return r;
  const std::string prefix = platform::AsciiUpper(std::string_view(stored).substr(0, 2));
  if (prefix.size() < 2 || !IsLetter(prefix[0]) || !IsLetter(prefix[1])) {
    r.id = stored;
    warnings->push_back(Warning(
        "V2", "El NIF del destinatario (" + stored + ") no lleva prefijo de pa\xA1s: se toma como NIF espa\xA4ol"));
    return r;
  }
  const std::string number(format::TrimBlanks(std::string_view(stored).substr(2)));
  if (prefix == "ES") {
    r.id = number;
    return r;
  }
  r.country = std::string(CountryOfVatPrefix(prefix));
  if (IsEuVatNumber(prefix, number)) {
    r.type = "02";
    r.id = prefix + number;
    warnings->push_back(Warning("V29", "N\xA3mero de IVA intracomunitario " + r.id +
                                           ": su alta en el censo VIES no se puede comprobar desde aqu\xA1"));
  } else {
    r.type = "06";
    r.id = number;
    warnings->push_back(Warning("V2", "Identificaci\xA2n extranjera " + stored +
                                          " sin forma de NIF-IVA: se declara como tipo 06 (otro documento "
                                          "probatorio); confirme el tipo de documento"));
  }
  return r;
}

}  // namespace zov::books
