// zovllibres' command line: the options of a record books' run
// (books/books_run.h), checked and handed over.
//
//   zovllibres --year 2026 --quarter 4 --out DIR [--from-owner 0001 --to-owner 9999]
//              [--owner-nifs FILE] [--epigraph 8612]
//
//   std::vector<std::string> args(argv + 1, argv + argc);
//   return tools::RunZovllibres(env, args, std::cout, std::cerr, terminal);
#ifndef ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_
#define ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "books/books_run.h"
#include "platform/env.h"
#include "platform/status.h"

namespace zov::tools {

// The command line after the program name. InvalidArgument names the option.
[[nodiscard]] platform::Status ParseBooksArguments(const std::vector<std::string>& args,
                                                   books::BooksRequest* request);

// The whole program: --help, or the run the options ask for (exit codes of
// books::RunBooks; a misused option is books::kExitCannotRun with the usage).
int RunZovllibres(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progress);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOVLLIBRES_COMMAND_LINE_H_
