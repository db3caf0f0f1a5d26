// dozudizi: the suite's spooler. Started without arguments after the
// register has closed its print file; see spooler.h for what it does.
//
// On a terminal, standard error shows a progress bar while the print file is
// read; at the end one summary line says how many pages went where.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/dozudizi/spooler.h"
#include "tools/support/command_line.h"
#include "tools/support/progress_bar.h"
#include "tools/support/tool_start.h"

namespace {

constexpr const char* kDescription =
    "Prints the register's print file (dozudizi.tmp in the session's temporary\n"
    "directory: ZOVTMP, else the terminal directory of Sessio.ini) to the device\n"
    "its DEVICE line names: a PDF (register.pdf by default), a text file, or the\n"
    "screen. With Correu=S in [Opcions] of DOZUDIZI.INI there, every owner whose\n"
    "part carries an e-mail address also gets a PDF of its own pages in outbox/,\n"
    "listed in outbox/manifest.csv. Print-file lines that cannot be printed as\n"
    "they stand are named on standard error with their line numbers.\n";

constexpr const char* kExitCodes =
    "Exit codes: 0 everything printed; 1 printed, but lines of the print file\n"
    "were skipped or changed (or it was cut short), or the print file could not\n"
    "be read or an output not written; 2 wrong usage (nothing done).\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace zov;
  std::unique_ptr<platform::NativeEnv> native;
  std::vector<std::string> args;
  if (int code = 0; !tools::StartTool("dozudizi", argc, argv, &native, &args, &code)) return code;
  std::ostream& out = native->out();
  std::ostream& err = native->err();
  tools::CommandLine line("dozudizi", kDescription);
  line.Epilogue(kExitCodes);
  if (std::optional<int> stop = line.Parse(args, out, err)) return *stop;

  platform::Env& env = native->env();
  tools::Cp850Text cp;
  if (platform::Status s = cp.Init(); !s.ok()) {
    err << "dozudizi: " << s.message() << "\n";
    return tools::kExitProblems;
  }
  tools::SpoolRequest request = tools::ReadSpoolRequest(env);
  tools::ProgressBar bar(err, "dozudizi", platform::StandardErrorIsTerminal());
  request.progress = [&bar](uint64_t done, uint64_t total) { bar.Show(done, total); };
  tools::SpoolOutcome spooled = tools::Spool(*env.fs, cp, request);
  bar.Clear();
  // The pages are UTF-8 already (text_render.h): written as they are.
  if (!spooled.screen.empty()) {
    std::fwrite(spooled.screen.data(), 1, spooled.screen.size(), stdout);
    std::fflush(stdout);
  }
  for (const std::string& message : spooled.messages) env.error_output->WriteLine(message);
  // With the pages on standard output, the summary goes beside them.
  (spooled.screen.empty() ? out : err) << tools::Summary(*env.fs, spooled) << "\n";
  return spooled.exit_code;
}
