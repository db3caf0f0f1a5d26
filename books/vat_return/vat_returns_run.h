// The VAT returns' run (zov303): for every owner of the range with invoices
// from 1 January to the end of the chosen quarter, the owner's return of the
// quarter in the agency's record design for the year, checked before it is
// written, with a manifest and a validation report beside the returns. It
// reads the installation as the record books do (run_setup.h) and walks the
// register's own selection, owners flagged S and N both, so that a return
// and the register's VAT summary by rate never disagree.
//
//   VatRunRequest request{.year = 2026, .quarter = 4, .out_dir = "returns"};
//   VatRunResult result;
//   Status s = RunVatReturns(env, request, nullptr, &result);
//   if (!s.ok()) err << "zov303: " << s.message() << "\n";       // nothing to file
//   else out << "zov303: " << result.summary << "\n";            // result.all_valid()?
//
// What the folder gets: one file per liable owner with a usable NIF
// (return_file.h), manifest.csv (one line per owner with invoices: its
// file, status, the boxes the return fills, the result, the period, what
// remains to be added before filing) and validation.csv (one line per
// finding: owner, box, rule, severity, message), both as report_file.h
// writes them. The return carries no deductible VAT, compensations or bank
// details: the user adds them in the agency's form.
//
// The folder is replaced as a whole (books/output_folder.h): after a run it
// holds exactly the set its manifest lists, and a run that fails or stops
// in any way leaves the previous set as it was. A second run into the same
// folder is refused at once (Busy). Each failure is one line of text, code
// page 850, in the Status.
#ifndef ZOV_BOOKS_VAT_RETURN_VAT_RETURNS_RUN_H_
#define ZOV_BOOKS_VAT_RETURN_VAT_RETURNS_RUN_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/env.h"
#include "platform/status.h"

namespace zov::books::vat {

struct VatRunRequest {
  int year = 0;
  int quarter = 0;
  std::string out_dir;  // code page 850
  int from_owner = 1;
  int to_owner = 9999;
  std::string nif_file;  // empty: the installation's owners-nif.csv
  std::string epigraph = "8612";
};

struct VatRunResult {
  int64_t owners = 0;  // owners with invoices from 1 January to the quarter's end
  int64_t valid = 0;
  int64_t invalid = 0;
  int64_t not_liable = 0;
  int64_t skipped = 0;
  int64_t failed = 0;  // the return could not be written
  // The run's one summary line, code page 850, without line end.
  std::string summary;

  int64_t returns() const { return valid + invalid; }
  // Every return written is valid, no owner was skipped or failed, and at
  // least one return was written.
  bool all_valid() const { return returns() > 0 && invalid + skipped + failed == 0; }
};

// The manifest's and the validation report's fixed columns; the manifest
// has a column per box of the design's return between "status" and
// "result".
inline constexpr std::array<std::string_view, 5> kReturnManifestHead = {"owner code", "name", "NIF", "file",
                                                                        "status"};
inline constexpr std::array<std::string_view, 6> kReturnManifestTail = {"result", "declaration type", "period",
                                                                        "errors", "warnings", "before filing"};
inline constexpr std::array<std::string_view, 5> kReturnValidationHeading = {"owner", "box", "rule", "severity",
                                                                             "message"};

// Told after each owner: `done` owners of the range's `total`. Called from
// the thread that writes the returns, never from two threads at once.
using VatRunProgress = std::function<void(uint64_t done, uint64_t total)>;

// The whole run; `progress` may be empty (the owners of the range are then
// not counted in advance).
[[nodiscard]] platform::Status RunVatReturns(platform::Env& env, const VatRunRequest& request,
                                             const VatRunProgress& progress, VatRunResult* result);

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_VAT_RETURNS_RUN_H_
