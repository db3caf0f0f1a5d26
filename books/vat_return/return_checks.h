// The checks of a prepared return before it is written. A return that
// breaks a rule is still written (the user must see it) and marked invalid;
// warnings do not make it invalid.
//
//   NIF        the owner's NIF and its check character (format/tax_ids.h)
//   PERIODO    year and period those of the design, the same wherever written
//   CUOTA      each rate row's quota against base x rate, within one cent per
//              invoice of the row; the modification quota likewise against
//              its lines' bases at their rates
//   SUMA       every total of the design equal to the sum of its parts
//   RESULTADO  the State's share, and the declaration type that of the result
//   PAGINA4    the annual page and its marks only in the last period
//   CAMPO      every value fits its field (a negative amount only where the
//              design allows a sign); such a return cannot be written
//   TEXTO      characters the design does not admit, written as blanks (warning)
//   EPIGRAFE   the IAE epigraph of 3 or 4 digits
//
//   std::vector<BoxFinding> found;
//   CheckReturn(*design, settings, figures, prepared, &found);
#ifndef ZOV_BOOKS_VAT_RETURN_RETURN_CHECKS_H_
#define ZOV_BOOKS_VAT_RETURN_RETURN_CHECKS_H_

#include <vector>

#include "books/vat_return/design.h"
#include "books/vat_return/box_finding.h"
#include "books/vat_return/owner_figures.h"
#include "books/vat_return/prepare_return.h"

namespace zov::books::vat {

// Appends what the return's values break. `figures` gives each rate row's
// number of invoices for the quota's tolerance.
void CheckReturn(const Design& design, const ReturnSettings& settings, const OwnerFigures& figures,
                 const PreparedReturn& prepared, std::vector<BoxFinding>* out);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_RETURN_CHECKS_H_
