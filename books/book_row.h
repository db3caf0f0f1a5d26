// One data row of the issued sheet of the tax agency's record book: the 36
// columns A to AJ of the agency's design, each cell empty, a text, an
// amount, a whole number or a date.
// Texts are code page 850; amounts and rates are hundredths (2100 is 21 %,
// 123456 is 1,234.56), as everywhere in the suite; a date is YYYYMMDD.
//
//   BookRow row;
//   row[kOperationKey] = Cell::Text("11");
//   row[kTaxBase] = Cell::Amount(100000);
#ifndef ZOV_BOOKS_BOOK_ROW_H_
#define ZOV_BOOKS_BOOK_ROW_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "register/issued_invoice_design.h"

namespace zov::books {

// The columns, A first: those of the agency's design (kExercise ..
// kExternalReference, register/issued_invoice_design.h).
using reg::IssuedColumn;
using enum reg::IssuedColumn;
inline constexpr int kColumnCount = reg::kIssuedColumnCount;

struct Cell {
  enum class Kind : uint8_t { kEmpty, kText, kAmount, kWhole, kDate };
  Kind kind = Kind::kEmpty;
  std::string text;    // kText
  int64_t value = 0;   // kAmount: hundredths; kWhole: the number; kDate: YYYYMMDD

  static Cell Text(std::string_view t) { return Cell{Kind::kText, std::string(t), 0}; }
  static Cell Amount(int64_t hundredths) { return Cell{Kind::kAmount, {}, hundredths}; }
  static Cell Whole(int64_t v) { return Cell{Kind::kWhole, {}, v}; }
  static Cell Date(int64_t yyyymmdd) { return Cell{Kind::kDate, {}, yyyymmdd}; }

  bool empty() const { return kind == Kind::kEmpty; }
  bool is_text() const { return kind == Kind::kText; }
  bool is_amount() const { return kind == Kind::kAmount; }
  // The text of a text cell, "" for any other.
  std::string_view str() const { return kind == Kind::kText ? std::string_view(text) : std::string_view(); }
};

using BookRow = std::array<Cell, kColumnCount>;

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOK_ROW_H_
