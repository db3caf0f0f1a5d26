// zov303's command line: the options of a VAT returns' run
// (books/vat_return/vat_returns_run.h), checked and handed over, with the
// shared progress bar on a terminal and the tools' exit codes.
//
//   zov303 --year 2026 --quarter 4 --out DIR [--from-owner 0001 --to-owner 9999]
//          [--owner-nifs FILE] [--epigraph 8612]
//
//   return tools::RunZov303(native->env(), args, native->out(), native->err(), terminal);
#ifndef ZOV_TOOLS_ZOV303_COMMAND_LINE_H_
#define ZOV_TOOLS_ZOV303_COMMAND_LINE_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/env.h"

namespace zov::tools {

// The whole program after its name (code page 850 arguments). The summary
// line goes to `out`, errors as one "zov303: ..." line and the progress bar
// (when `terminal`) to `err`. Exit codes: kExitDone every return written
// is valid; kExitProblems a return is invalid or not written, an owner was
// skipped, no owner is liable or none has invoices, or the run could not
// start or stopped; kExitUsage a wrong command line (a year without a
// record design included), nothing done.
int RunZov303(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool terminal);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOV303_COMMAND_LINE_H_
