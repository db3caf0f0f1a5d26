// A finding of the VAT return (books/findings.h) with the place of the
// return it concerns: a box number ("09"), a field's name ("NIF"), or
// empty for the return as a whole. Messages are Spanish, in code page 850.
//
//   out->push_back({"09", Error("CUOTA", "La cuota ...")});
#ifndef ZOV_BOOKS_VAT_RETURN_BOX_FINDING_H_
#define ZOV_BOOKS_VAT_RETURN_BOX_FINDING_H_

#include <algorithm>
#include <string>
#include <vector>

#include "books/findings.h"

namespace zov::books::vat {

struct BoxFinding {
  std::string box;
  Finding finding;
};

// Whether a finding of the list makes the return invalid.
inline bool HasErrors(const std::vector<BoxFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const BoxFinding& f) { return f.finding.severity == Severity::kError; });
}

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_BOX_FINDING_H_
