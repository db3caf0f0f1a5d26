// One owner's record book written as an XLSX file, streaming: the file is a
// zip whose issued-sheet entry is compressed as the rows come, so memory
// stays flat however many rows a book has and nothing goes to temporary
// files. The issued sheet gets the design's two header rows and then the
// data rows from row 3; the received sheet only its two header rows.
//
// Cells: texts as text cells (code page 850 converted to UTF-8 here, the
// file's edge), amounts and rates as numbers with two decimals, the
// exercise as a whole number, dates as date cells (dd/mm/yyyy); empty cells
// are not written. No formulas.
//
//   std::unique_ptr<XlsxBook> book;
//   Status s = XlsxBook::Start(native_path, BookType::kUnified, &book);
//   s = book->AddRow(row);            // for every row
//   s = book->Finish();               // the file is complete only from here on
#ifndef ZOV_TOOLS_ZOVLLIBRES_XLSX_BOOK_H_
#define ZOV_TOOLS_ZOVLLIBRES_XLSX_BOOK_H_

#include <memory>
#include <string>

#include "platform/status.h"
#include "tools/zovllibres/book_row.h"
#include "tools/zovllibres/owner_book.h"

namespace zov::books {

class XlsxBook {
 public:
  // `path` is a native path, created (or emptied) here and written as the
  // book goes; the caller writes under a temporary name and renames.
  [[nodiscard]] static platform::Status Start(const std::string& path, BookType type,
                                              std::unique_ptr<XlsxBook>* out);
  // A book that was not finished leaves an incomplete file at `path`, for
  // the caller to delete.
  ~XlsxBook();

  // Appends a data row to the issued sheet. After a failure the book can
  // only be dropped.
  [[nodiscard]] platform::Status AddRow(const BookRow& row);

  // Completes the file. A failure leaves an incomplete file at `path`.
  [[nodiscard]] platform::Status Finish();

  XlsxBook(const XlsxBook&) = delete;
  XlsxBook& operator=(const XlsxBook&) = delete;

 private:
  struct Parts;
  explicit XlsxBook(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

// The first row of data in the issued sheet (1-based, as the sheet shows it).
inline constexpr int kFirstDataRow = 3;

}  // namespace zov::books

#endif  // ZOV_TOOLS_ZOVLLIBRES_XLSX_BOOK_H_
