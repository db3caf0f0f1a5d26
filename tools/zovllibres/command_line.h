// zovllibres' command line: the options of a record books' run
// (books/books_run.h), declared through the tools' parser
// (tools/support/command_line.h), checked and handed over.
//
//   zovllibres --year 2026 --quarter 4 --out DIR [--from-owner 0001 --to-owner 9999]
//              [--owner-nifs FILE] [--epigraph 8612]
//
//   return tools::RunZovllibres(native->env(), args, native->out(), native->err(), terminal);
#ifndef ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_
#define ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "books/books_run.h"
#include "platform/env.h"

namespace zov::tools {

// Fills *request from the arguments after the program's name. nullopt: run
// it. Otherwise the exit code to end with: kExitDone after the help on
// `out`, kExitUsage after one line on `err` naming the mistake.
[[nodiscard]] std::optional<int> ParseBooksCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                                       std::ostream& err, books::BooksRequest* request);

// The whole program: the help, a misuse, or the run the options ask for,
// with a progress bar over the owners on standard error when that is a
// terminal. Exit codes: kExitDone every book valid; kExitProblems a book
// invalid or not written, an owner skipped, no owner with invoices, or the
// run failed; kExitUsage a wrong command line.
int RunZovllibres(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool on_terminal);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_
