// The recipient's identification in the book (columns N, O, P) from the
// tenant's stored tax number: two characters of country prefix, then the
// number. A Spanish number goes alone in P; a foreign one gets its country
// in O and its kind in N: 02 for a number that has the shape of its EU
// member state's VAT numbers, 06 (other proof) for anything else.
//
//   MapRecipient("ES12345678Z    ", &w)  -> {"", "", "12345678Z"}
//   MapRecipient("DE123456789    ", &w)  -> {"02", "DE", "DE123456789"}
//   MapRecipient("ELO94440322    ", &w)  -> {"06", "GR", "O94440322"}  (not a Greek VAT shape)
#ifndef ZOV_BOOKS_RECIPIENT_H_
#define ZOV_BOOKS_RECIPIENT_H_

#include <string>
#include <string_view>
#include <vector>

#include "books/findings.h"

namespace zov::books {

struct RecipientId {
  std::string type;     // N: "" for Spanish numbers, "02".."06"
  std::string country;  // O: ISO 3166-1 alpha-2, "" for Spanish numbers
  std::string id;       // P
};

// Foreign numbers bring a warning (their kind and the VAT register cannot be
// checked from here); a number without a country prefix is read as Spanish,
// with a warning.
RecipientId MapRecipient(std::string_view tenant_nif, std::vector<Finding>* warnings);

// Whether `number` (without prefix) has the shape of a VAT number of the EU
// member state whose VAT prefix is `prefix` ("EL" for Greece, "XI" for
// Northern Ireland). Spain's own numbers are not VAT-prefixed here: "ES"
// gives false.
bool IsEuVatNumber(std::string_view prefix, std::string_view number);

// The ISO 3166-1 alpha-2 code of a VAT prefix: "GR" for "EL", "GB" for
// "XI", the prefix itself otherwise.
std::string_view CountryOfVatPrefix(std::string_view prefix);

// Whether `code` is an assigned ISO 3166-1 alpha-2 country code.
bool IsIsoCountry(std::string_view code);

}  // namespace zov::books

#endif  // ZOV_BOOKS_RECIPIENT_H_
