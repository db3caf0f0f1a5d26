// From one register line (the walk's records and the line's amounts) to the
// rows of the issued sheet of the tax agency's record book. The invoice and
// every amount are the register's own; what the book adds is where each
// goes and which codes it carries (the agency's rules,
// register/operation_codes.h):
//
//   kind L (business premises)  key 11 with withholding, else 12; S1 at the
//                               stored VAT; total = base + VAT
//   kind C (IGIC/IPSI area)     key 08, N2; the receipt's tax is not shown
//   kinds V, P and the rest     key 01; no VAT: exempt E1; VAT: S1
//   an exempt part (kinds other than V and P)
//                               a second row: same invoice, base = total =
//                               the exempt amount, no tax, no withholding;
//                               key 01 and E1, or 08 and N2 for kind C
//   withholding                 book T: on the first row only (rate and the
//                               amount withheld, positive); book C: none
//
// Choices the data cannot decide come back as warnings.
//
//   LineRows rows;
//   MapLine(records, amounts, {BookType::kUnified, "8612"}, &rows);
//   for (int i = 0; i < rows.count; ++i) Write(rows.rows[i]);
#ifndef ZOV_BOOKS_BOOK_MAPPING_H_
#define ZOV_BOOKS_BOOK_MAPPING_H_

#include <array>
#include <string>
#include <vector>

#include "books/book_row.h"
#include "books/findings.h"
#include "books/owner_book.h"
#include "register/line.h"
#include "register/records.h"

namespace zov::books {

struct BookSettings {
  BookType type = BookType::kUnified;
  std::string epigraph = "8612";  // IAE group or epigraph of the landlord's activity
};

struct LineRows {
  int count = 0;  // 1, or 2 with the exempt part
  std::array<BookRow, 2> rows;
  std::vector<Finding> warnings;  // Finding::row says which row
};

// Replaces *out with the rows of the current receipt under the current
// property's contract, tenant and cadastral records.
void MapLine(const reg::RecordVariables& records, const reg::LineAmounts& amounts, const BookSettings& settings,
             LineRows* out);

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOK_MAPPING_H_
