// The record books' run (zovllibres): for every owner of the installation
// with invoices from 1 January to the end of the chosen quarter, the tax agency's electronic
// record book (XLSX), checked row by row before it is written, with a
// manifest and a validation report beside the books. It reads the
// installation as the register does (ZOVROOT, ZOVTMP, the session set-up,
// the data files through the data-file layer) and walks the register's own
// selection, owners flagged S and N both, so that a book and the register
// never disagree on an invoice or an amount. The run's time (the clock's,
// or SOURCE_DATE_EPOCH's: run_time.h) is read once and stamps every book,
// so the same installation, request and time give the same bytes.
//
// The output folder is the run's alone while it runs, and is replaced as a
// whole (output_folder.h): after a run it holds exactly the books its
// manifest lists, manifest.csv and validation.csv; a run that stops before
// its end leaves the previous set as it was.
//
//   BooksRequest request{.year = 2026, .quarter = 4, .out_dir = "books"};
//   BooksOutcome outcome = RunBooks(env, request, out, err, [&](int64_t done, int64_t total) { ... });
//
// kAllValid: every book written is valid and no owner was skipped.
// kProblems, with the reasons on `err`: a book is invalid or could not be
// written, an owner was skipped, no owner has invoices in the period; or the
// run failed (no installation, an unreadable NIF file, an output folder that
// cannot be written or that another run holds, a malformed
// SOURCE_DATE_EPOCH, a walk that stopped), with nothing in the folder
// changed.
#ifndef ZOV_BOOKS_BOOKS_RUN_H_
#define ZOV_BOOKS_BOOKS_RUN_H_

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "books/run_setup.h"
#include "platform/env.h"

namespace zov::books {

enum class BooksOutcome { kAllValid, kProblems };

struct BooksRequest {
  int year = 0;
  int quarter = 0;
  std::string out_dir;
  int from_owner = 1;
  int to_owner = 9999;
  std::string nif_file;  // empty: kDefaultNifFile in the installation's root
  std::string epigraph = "8612";
};

// Told how many of the owners in the range have been reached, from the
// thread that writes the books.
using BooksProgress = std::function<void(int64_t done, int64_t total)>;

// The whole run. Writes the summary line to `out`, the reasons for problems
// to `err` (code page 850, as every text), and, when `progress` is set,
// counts the owners for it and tells it as the books go.
BooksOutcome RunBooks(platform::Env& env, const BooksRequest& request, std::ostream& out, std::ostream& err,
                      const BooksProgress& progress = {});

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOKS_RUN_H_
