// The yearly tables behind FindDesign, one file each (design_YYYY.cc).
#ifndef ZOV_BOOKS_VAT_RETURN_DESIGN_TABLES_H_
#define ZOV_BOOKS_VAT_RETURN_DESIGN_TABLES_H_

#include "books/vat_return/design.h"

namespace zov::books::vat {

// DR303e26v101: returns of 2026 and later periods until the next design.
extern const Design kDesign2026;

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_DESIGN_TABLES_H_
