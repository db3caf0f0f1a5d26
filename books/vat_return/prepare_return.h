// From an owner's figures to the values of the owner's return in a year's
// design, as a landlord in the general regime of the common territory who
// files quarterly fills it:
//
//   - each rate's positive lines in its row (base, the design's fixed rate,
//     quota); lines with a negative base or quota in the modification boxes
//     with their sign; a rate without a row in the design is an error and
//     its amounts stay out of the return;
//   - deductible VAT, compensations and earlier returns zero (the user adds
//     them in the agency's form), so every result equals the output VAT;
//   - the declaration type from the final result: I to pay, N zero, C to
//     carry forward (never a refund or a direct debit: the return carries no
//     bank details);
//   - in the last quarter the annual page of owners exempt from the annual
//     summary: activity A01 (lessors of real estate), the epigraph, the
//     year's operations in the general regime, exempt and not subject, and
//     their total volume.
// Lines of kind C contracts with VAT are declared as VAT with a warning: the
// suite's CSV gives them the key of IGIC/IPSI, which the user must take out
// in the form for a property that lies where those apply.
//
// An owner without subject lines from 1 January to the quarter's end is not
// liable: there is no return. One with subject lines earlier in the year but
// none in the quarter still files (result zero, N), marked without activity
// when the quarter has no invoice at all.
//
//   PreparedReturn r = PrepareReturn(*design, settings, figures, "B08222341");
//   if (r.liable) ReturnBytes(*design, r.values, r.annual, &bytes);
#ifndef ZOV_BOOKS_VAT_RETURN_PREPARE_RETURN_H_
#define ZOV_BOOKS_VAT_RETURN_PREPARE_RETURN_H_

#include <string>
#include <string_view>
#include <vector>

#include "books/vat_return/design.h"
#include "books/vat_return/box_finding.h"
#include "books/vat_return/owner_figures.h"
#include "books/vat_return/return_values.h"

namespace zov::books::vat {

struct ReturnSettings {
  BookPeriod period;
  std::string epigraph = "8612";  // IAE group or epigraph of the letting, 3 or 4 digits
};

struct PreparedReturn {
  bool liable = false;
  bool annual = false;  // the annual page is written
  ReturnValues values;
  // The figures' own findings first, then those of the preparation.
  std::vector<BoxFinding> findings;
};

PreparedReturn PrepareReturn(const Design& design, const ReturnSettings& settings, const OwnerFigures& figures,
                             std::string_view nif);

// The name the return carries: the stored "SURNAMES*GIVEN NAMES" with the
// "*" as a blank, blanks trimmed (code page 850).
std::string ReturnName(std::string_view stored_name);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_PREPARE_RETURN_H_
