// One owner's record book written as an XLSX file through libxlsxwriter in
// its constant-memory mode: each row goes to the library's temporary file as
// it comes, so memory stays flat however many rows a book has. The issued
// sheet gets the design's two header rows and then the data rows from row 3;
// the received sheet only its two header rows.
//
// Cells: texts as text cells (code page 850 converted to UTF-8 here, the
// file's edge), amounts and rates as numbers with two decimals, the
// exercise as a whole number, dates as date cells (dd/mm/yyyy); empty cells
// are not written. No formulas.
//
//   std::unique_ptr<XlsxBook> book;
//   Status s = XlsxBook::Start(native_path, native_tmpdir, BookType::kUnified, &book);
//   s = book->AddRow(row);            // for every row
//   s = book->Finish();               // the file exists only from here on
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
  // `path` and `tmpdir` are native paths; the library writes `path` itself
  // at Finish and keeps its temporary files in `tmpdir` until then.
  [[nodiscard]] static platform::Status Start(const std::string& path, const std::string& tmpdir, BookType type,
                                              std::unique_ptr<XlsxBook>* out);
  // A book that was not finished is dropped: nothing is written at `path`.
  ~XlsxBook();

  // Appends a data row to the issued sheet. After a failure the book can
  // only be dropped.
  [[nodiscard]] platform::Status AddRow(const BookRow& row);

  // Writes the file. A failure may leave a partial file at `path`.
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
