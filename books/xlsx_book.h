// One owner's record book written as an XLSX file, streaming: the file is a
// zip (zip_writer.h) whose issued-sheet entry is compressed as the rows come,
// so memory stays flat however many rows a book has. The issued sheet gets
// the design's two header rows and then the data rows from row 3; the
// received sheet only its two header rows.
//
// The book is written through the file system like every file with tax
// data: under a temporary name (the book's name and ".part") created new and
// owner-only, never through a link; synced when complete; renamed over the
// book's name only by Commit. Until then the book's name keeps what it held
// (an earlier run's book), and a book dropped before Commit takes its
// temporary file with it.
//
// Cells: texts as text cells (code page 850 converted to UTF-8 here, the
// file's edge), amounts and rates as numbers with two decimals, the
// exercise as a whole number, dates as date cells (dd/mm/yyyy); empty cells
// are not written. No formulas. The run's time is the book's creation time
// and its zip entries' time, so the same rows at the same time give the
// same bytes.
//
//   std::unique_ptr<XlsxBook> book;
//   Status s = XlsxBook::Start(fs, dir + name, BookType::kUnified, run_time, &book);
//   s = book->AddRow(row);            // for every row
//   s = book->Finish(&size);          // complete and durable, under the temporary name
//   s = book->Commit();               // under its name
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

inline constexpr std::string_view kTemporarySuffix = ".part";

class XlsxBook {
 public:
  // Creates the temporary file beside `name` (a temporary file left there by
  // a run that was killed is removed first).
  [[nodiscard]] static platform::Status Start(platform::FileSystem& fs, const std::string& name, BookType type,
                                              const RunTime& time, std::unique_ptr<XlsxBook>* out);
  // Removes the temporary file unless Commit put it in place.
  ~XlsxBook();

  // Appends a data row to the issued sheet. After a failure the book can
  // only be dropped.
  [[nodiscard]] platform::Status AddRow(const BookRow& row);

  // Completes the book under its temporary name, synced; *size is its size
  // in bytes.
  [[nodiscard]] platform::Status Finish(uint64_t* size);

  // Renames the finished book over `name` and syncs its folder.
  [[nodiscard]] platform::Status Commit();

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
