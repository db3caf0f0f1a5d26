// `zovdata demo`: builds a complete installation of a rental agency for
// trying the register program: the file descriptions (ddf/), the twelve data
// files loaded with owners, properties and two years of receipts (DADES/),
// the user settings (Orva.ini), the register's language file
// (LOCALE/DAZOROV1.LNG), the agency's file of owners' NIFs (owners-nif.csv,
// for zovllibres) and a temporary directory (tmp/) with the session and
// terminal settings and the run parameters for the last quarter.
//
//   zovdata demo /srv/demo --owners 12 --seed 2026
//   ZOVROOT=/srv/demo/ ZOVTMP=/srv/demo/tmp/ ZOVEXE=.../bin/ dazorov1
//
// The same options give the same installation byte for byte. An existing
// installation is never overwritten: the data files must not exist yet. On
// failure the data files made so far are removed again.
#ifndef ZOV_TOOLS_DEMO_DEMO_H_
#define ZOV_TOOLS_DEMO_DEMO_H_

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/status.h"
#include "tools/demo/demo_data.h"

namespace zov::tools {

struct DemoRequest {
  std::string dir;  // the installation's directory; made when missing
  demo::DemoOptions options;
  bool keep_csv = true;  // run parameter: the register keeps (opens) its CSV files
};

// Builds the installation. *counts tells what the data files received.
[[nodiscard]] platform::Status BuildDemoInstallation(platform::Env& env, const DemoRequest& request,
                                                     demo::DemoCounts* counts);

// The command line after "demo": DIR [--owners N] [--seed S]
// [--properties-per-owner N] [--receipts-per-property N] [--csv keep|delete].
// Writes a summary to `out` and errors to `err`; returns the exit code
// (tools/support/command_line.h): 0 done, 1 failed, 2 misused.
int RunDemoCommand(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DEMO_DEMO_H_
