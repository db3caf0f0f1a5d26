// The tax agency's numbered validations that rows of rentals can meet,
// checked on each row of the issued sheet before it is written. A row that
// breaks one is still written (the agency must see it); the finding makes
// the book invalid. The checks read only the row's cells, so a row built by
// hand breaks exactly the rule it is made to break.
//
//   std::vector<Finding> found;
//   ValidateRow(row, {BookType::kUnified, {2026, 4}}, &found);
//   ValidateInvoiceRows(rows_of_one_invoice, &found);
#ifndef ZOV_BOOKS_BOOK_VALIDATION_H_
#define ZOV_BOOKS_BOOK_VALIDATION_H_

#include <cstdint>
#include <span>
#include <vector>

#include "books/book_row.h"
#include "books/findings.h"
#include "books/owner_book.h"

namespace zov::books {

// The book holds every entry from 1 January to the last day of the quarter.
struct BookPeriod {
  int year = 0;
  int quarter = 0;  // 1..4
  int64_t first_date() const { return int64_t{year} * 10000 + 101; }
  int64_t last_date() const;  // YYYYMMDD of the quarter's last day
  // YYYYMMDD of the quarter's first day.
  int64_t quarter_first_date() const { return int64_t{year} * 10000 + (quarter * 3 - 2) * 100 + 1; }
};

struct RowRules {
  BookType type = BookType::kUnified;
  BookPeriod period;
};

// Appends one error per rule the row breaks (and nothing when it passes).
void ValidateRow(const BookRow& row, const RowRules& rules, std::vector<Finding>* out);

// Rules over the rows of one invoice: the withholding on one row only (V7).
void ValidateInvoiceRows(std::span<const BookRow> rows, std::vector<Finding>* out);

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOK_VALIDATION_H_
