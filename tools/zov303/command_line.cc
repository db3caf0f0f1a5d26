#include "tools/zov303/command_line.h"

#include <algorithm>
#include <ostream>

#include "books/vat_return/design.h"
#include "books/vat_return/vat_returns_run.h"
#include "format/chars.h"
#include "format/packed.h"
#include "tools/support/command_line.h"
#include "tools/support/progress_bar.h"

namespace zov::tools {

namespace {

constexpr const char* kDescription =
    "Writes, for every owner with invoices from 1 January to the end of the\n"
    "quarter, the quarterly VAT return (model 303) that the tax agency's form\n"
    "imports: one file per liable owner, \"<NIF>_303_<year>_<quarter>T.txt\", in\n"
    "the agency's record design for the year, with the output VAT of the\n"
    "quarter's invoices by rate as the register computes it and, in the fourth\n"
    "quarter, the year's figures of the annual page. Beside them manifest.csv\n"
    "(one line per owner: file, status, boxes, result) and validation.csv (what\n"
    "the checks found). The installation is read as the register reads it\n"
    "(ZOVROOT, ZOVTMP); the owners' NIFs come from owners-nif.csv in it.\n"
    "\n"
    "The returns carry no deductible VAT, compensations or bank details: add\n"
    "them in the agency's form before filing.\n";

constexpr const char* kExitCodes =
    "Exit codes: 0 every return written is valid; 1 a return is invalid or\n"
    "not written, an owner was skipped (no usable NIF), no owner is liable, or\n"
    "the run could not start or stopped (the reason on standard error); 2 wrong\n"
    "usage (nothing done).\n";

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), format::IsDigit); }

}  // namespace

int RunZov303(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool terminal) {
  books::vat::VatRunRequest request;
  CommandLine line("zov303", kDescription);
  line.Number("--year", "YYYY", "the year of the returns", 1900, 9999, &request.year);
  line.Required();
  line.Number("--quarter", "Q", "the quarter of the returns", 1, 4, &request.quarter);
  line.Required();
  line.Text("--out", "DIR", "the folder the returns and reports go to (made when missing)", &request.out_dir);
  line.Required();
  line.Number("--from-owner", "CODE", "the first owner (default 0001)", 0, 9999, &request.from_owner);
  line.Number("--to-owner", "CODE", "the last owner (default 9999)", 0, 9999, &request.to_owner);
  line.Text("--owner-nifs", "FILE", "the owners' NIFs, \"owner code;NIF\" lines (default: owners-nif.csv of the installation)",
            &request.nif_file);
  line.Text("--epigraph", "DIGITS", "the IAE epigraph of the letting for the annual page (default 8612)",
            &request.epigraph);
  line.Epilogue(kExitCodes);
  if (std::optional<int> stop = line.Parse(args, out, err)) return *stop;
  if (request.epigraph.size() < 3 || request.epigraph.size() > 4 || !AllDigits(request.epigraph))
    return line.Misuse(err, "--epigraph takes an IAE group or epigraph of 3 or 4 digits, not " + request.epigraph);
  if (request.from_owner > request.to_owner)
    return line.Misuse(err, "--from-owner " + format::ZeroPad(request.from_owner, 4) + " lies after --to-owner " +
                                format::ZeroPad(request.to_owner, 4));
  const books::vat::Design* design = nullptr;
  if (platform::Status s = books::vat::DesignForYear(request.year, &design); !s.ok())
    return line.Misuse(err, s.message());

  ProgressBar bar(err, "zov303", terminal);
  books::vat::VatRunProgress progress;
  if (terminal) progress = [&bar](uint64_t done, uint64_t total) { bar.Show(done, total, "owners"); };
  books::vat::VatRunResult result;
  const platform::Status s = books::vat::RunVatReturns(env, request, progress, &result);
  bar.Clear();
  if (!s.ok()) {
    err << "zov303: " << s.message() << "\n";
    return kExitProblems;
  }
  out << "zov303: " << result.summary << "\n";
  return result.all_valid() ? kExitDone : kExitProblems;
}

}  // namespace zov::tools
