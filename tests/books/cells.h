// Short text forms of book cells for the tests' expectations:
//   "" empty, "T:01" text, "A:1000,00" amount, "W:2026" whole number,
//   "D:20260315" date.
#ifndef ZOV_TESTS_BOOKS_CELLS_H_
#define ZOV_TESTS_BOOKS_CELLS_H_

#include <map>
#include <string>

#include "books/book_row.h"
#include "format/number_field.h"

namespace zov::books {

inline std::string Show(const Cell& c) {
  switch (c.kind) {
    case Cell::Kind::kEmpty: return "";
    case Cell::Kind::kText: return "T:" + c.text;
    case Cell::Kind::kAmount: return "A:" + format::HundredthsText(c.value);
    case Cell::Kind::kWhole: return "W:" + std::to_string(c.value);
    case Cell::Kind::kDate: return "D:" + std::to_string(c.value);
  }
  return "?";
}

// Compares the listed columns of a row; names each column that differs.
inline void ExpectCells(const BookRow& row, const std::map<int, std::string>& expected) {
  for (const auto& [column, text] : expected)
    EXPECT_EQ(Show(row[column]), text) << "column " << reg::SheetColumnLetters(column);
}

}  // namespace zov::books

#endif  // ZOV_TESTS_BOOKS_CELLS_H_
