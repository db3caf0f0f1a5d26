// zovllibres: for every owner of the installation with invoices from
// 1 January to the end of the chosen quarter, the tax agency's electronic
// record book (XLSX), checked row by row before it is written, with a
// manifest and a validation report beside the books. It reads the
// installation as the register does (ZOVROOT, ZOVTMP, the session set-up,
// the data files through the data-file layer) and walks the register's own
// selection, owners flagged S and N both, so that a book and the register
// never disagree on an invoice or an amount.
//
//   zovllibres --year 2026 --quarter 4 --out DIR [--from-owner 0001 --to-owner 9999]
//              [--owner-nifs FILE] [--epigraph 8612]
//
// Exit codes: 0 every book written is valid and no owner was skipped; 1 a
// book is invalid or could not be written, an owner was skipped, or no owner
// has invoices in the period; 2 the run could not start (a bad option, no
// installation, an unreadable NIF file, an output folder that cannot be
// written), after a one-line reason and with nothing written.
#ifndef ZOV_TOOLS_ZOVLLIBRES_BOOKS_RUN_H_
#define ZOV_TOOLS_ZOVLLIBRES_BOOKS_RUN_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/status.h"

namespace zov::books {

inline constexpr int kExitAllValid = 0;
inline constexpr int kExitNotAllValid = 1;
inline constexpr int kExitCannotRun = 2;

inline constexpr std::string_view kDefaultNifFile = "owners-nif.csv";

struct BooksRequest {
  int year = 0;
  int quarter = 0;
  std::string out_dir;
  int from_owner = 1;
  int to_owner = 9999;
  std::string nif_file;  // empty: kDefaultNifFile in the installation's root
  std::string epigraph = "8612";
};

// The command line after the program name. InvalidArgument names the option.
[[nodiscard]] platform::Status ParseBooksArguments(const std::vector<std::string>& args, BooksRequest* request);

// The whole program. Writes the summary line to `out`, errors to `err`, and
// when `progress` is set a progress bar over the owners to `err` as well.
int RunBooks(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool progress);

}  // namespace zov::books

#endif  // ZOV_TOOLS_ZOVLLIBRES_BOOKS_RUN_H_
