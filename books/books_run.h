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
//   BooksRequest request{.year = 2026, .quarter = 4, .out_dir = "books"};
//   int code = RunBooks(env, request, std::cout, std::cerr, terminal);
//
// Exit codes: 0 every book written is valid and no owner was skipped; 1 a
// book is invalid or could not be written, an owner was skipped, or no owner
// has invoices in the period; 2 the run could not start (no installation, an
// unreadable NIF file, an output folder that cannot be written, a malformed
// SOURCE_DATE_EPOCH), after a one-line reason and with nothing written.
#ifndef ZOV_BOOKS_BOOKS_RUN_H_
#define ZOV_BOOKS_BOOKS_RUN_H_

#include <iosfwd>
#include <string>
#include <string_view>

#include "books/run_setup.h"
#include "platform/env.h"

namespace zov::books {

inline constexpr int kExitAllValid = 0;
inline constexpr int kExitNotAllValid = 1;
inline constexpr int kExitCannotRun = 2;

struct BooksRequest {
  int year = 0;
  int quarter = 0;
  std::string out_dir;
  int from_owner = 1;
  int to_owner = 9999;
  std::string nif_file;  // empty: kDefaultNifFile in the installation's root
  std::string epigraph = "8612";
};

// The whole run. Writes the summary line to `out`, errors to `err`, and
// when `progress` is set a progress bar over the owners to `err` as well.
int RunBooks(platform::Env& env, const BooksRequest& request, std::ostream& out, std::ostream& err, bool progress);

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOKS_RUN_H_
