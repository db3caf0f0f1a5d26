#include "tools/zovllibres/command_line.h"

#include <algorithm>
#include <ostream>

#include "format/packed.h"
#include "tools/support/command_line.h"
#include "tools/support/progress_bar.h"

namespace zov::tools {

namespace {

constexpr const char* kDescription =
    "Writes the tax agency's electronic record book (XLSX) of every owner with\n"
    "invoices from 1 January to the end of the quarter, each row checked against\n"
    "the agency's validations, with manifest.csv (one line per owner) and\n"
    "validation.csv (one line per finding) beside the books. The installation\n"
    "is read as the register reads it (ZOVROOT, ZOVTMP); the owners' NIFs come\n"
    "from the NIF file (\"owner code;NIF\" lines). The folder is the run's alone\n"
    "while it runs, and afterwards holds exactly the books its manifest lists;\n"
    "a run that stops leaves the folder's previous books as they were.\n";

constexpr const char* kExitCodes =
    "Exit codes: 0 every book written and valid; 1 a book invalid or not written,\n"
    "an owner skipped, no owner with invoices in the period, or the run failed\n"
    "(another run writing in the folder, no installation, an unreadable NIF file,\n"
    "a folder that cannot be written), the reasons on standard error; 2 wrong\n"
    "usage (nothing done).\n";

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Owner(int code) { return format::ZeroPad(code, 4); }

}  // namespace

std::optional<int> ParseBooksCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                                         books::BooksRequest* request) {
  *request = books::BooksRequest{};
  CommandLine line("zovllibres", kDescription);
  line.Number("--year", "YYYY", "the year of the books", 1900, 9999, &request->year);
  line.Required();
  line.Number("--quarter", "Q", "the last quarter the books cover (1 to 4); they start on 1 January", 1, 4,
              &request->quarter);
  line.Required();
  line.Text("--out", "DIR", "the output folder (made when missing)", &request->out_dir);
  line.Required();
  line.Number("--from-owner", "CODE", "the first owner (default 0001)", 0, 9999, &request->from_owner);
  line.Number("--to-owner", "CODE", "the last owner (default 9999)", 0, 9999, &request->to_owner);
  line.Text("--owner-nifs", "FILE", "the NIF file (default owners-nif.csv in ZOVROOT)", &request->nif_file);
  line.Text("--epigraph", "DIGITS", "the IAE group or epigraph of the books' activity (default 8612)",
            &request->epigraph);
  line.Epilogue(kExitCodes);
  if (std::optional<int> stop = line.Parse(args, out, err)) return stop;
  if (request->epigraph.size() < 3 || request->epigraph.size() > 4 || !AllDigits(request->epigraph))
    return line.Misuse(err, "--epigraph takes an IAE group or epigraph of 3 or 4 digits, not " + request->epigraph);
  if (request->from_owner > request->to_owner)
    return line.Misuse(err, "--from-owner " + Owner(request->from_owner) + " lies after --to-owner " +
                                Owner(request->to_owner));
  return std::nullopt;
}

int RunZovllibres(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool on_terminal) {
  books::BooksRequest request;
  if (std::optional<int> stop = ParseBooksCommandLine(args, out, err, &request)) return *stop;
  ProgressBar bar(err, "zovllibres", on_terminal);
  books::BooksProgress progress;
  if (on_terminal) progress = [&bar](int64_t done, int64_t total) { bar.Show(done, total, "owners"); };
  const books::BooksOutcome outcome = books::RunBooks(env, request, out, err, progress);
  bar.Clear();
  return outcome == books::BooksOutcome::kAllValid ? kExitDone : kExitProblems;
}

}  // namespace zov::tools
