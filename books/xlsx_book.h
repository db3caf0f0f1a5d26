// One owner's record book written as an XLSX file, streaming: the file is a
// zip (zip_writer.h) whose issued-sheet entry is compressed as the rows come,
// so memory stays flat however many rows a book has. The issued sheet gets
// the design's two header rows and then the data rows from row 3; the
// received sheet only its two header rows.
//
// The book is written through the file system like every file with tax
// data: at the place it is given (an output folder's NewFile,
// output_folder.h, which later syncs it and puts it in place), created new
// and owner-only, never through a link. A book dropped before Finish takes
// its file with it.
//
// Cells: texts as text cells (code page 850 converted to UTF-8 here, the
// file's edge), amounts and rates as numbers with two decimals, the
// exercise as a whole number, dates as date cells (dd/mm/yyyy); empty cells
// are not written. No formulas. The run's time is the book's creation time
// and its zip entries' time, so the same rows at the same time give the
// same bytes.
//
//   std::unique_ptr<XlsxBook> book;
//   Status s = XlsxBook::Start(fs, folder.NewFile(name), BookType::kUnified, run_time, &book);
//   s = book->AddRow(row);            // for every row
//   s = book->Finish(&size);          // complete and closed
#ifndef ZOV_BOOKS_XLSX_BOOK_H_
#define ZOV_BOOKS_XLSX_BOOK_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "books/book_row.h"
#include "books/owner_book.h"
#include "books/run_time.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace zov::books {

class XlsxBook {
 public:
  // Creates the file at `path` (AlreadyExists when any entry has the name).
  [[nodiscard]] static platform::Status Start(platform::FileSystem& fs, const std::string& path, BookType type,
                                              const RunTime& time, std::unique_ptr<XlsxBook>* out);
  // Removes the file unless Finish completed it.
  ~XlsxBook();

  // Appends a data row to the issued sheet. After a failure the book can
  // only be dropped.
  [[nodiscard]] platform::Status AddRow(const BookRow& row);

  // Completes the book and closes it (not synced); *size is its size in
  // bytes. On failure the file is removed.
  [[nodiscard]] platform::Status Finish(uint64_t* size);

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

#endif  // ZOV_BOOKS_XLSX_BOOK_H_
