#include "books/vat_return/owner_returns.h"

#include "books/vat_return/return_checks.h"
#include "format/dates.h"

namespace zov::books::vat {

namespace {

constexpr OwnOutputWords kReturnWords = {"su declaraci\xA2n", "un titular presenta una sola declaraci\xA2n"};

}  // namespace

std::string_view ReturnStatusName(ReturnStatus status) {
  switch (status) {
    case ReturnStatus::kValid: return "valid";
    case ReturnStatus::kInvalid: return "invalid";
    case ReturnStatus::kNotLiable: return "not liable";
    case ReturnStatus::kSkipped: return "skipped";
    case ReturnStatus::kFailed: return "failed";
  }
  return "";
}

void OwnerReturns::Owner(const OwnerFigures& figures) {
  OwnerOutcome& o = outcome_;
  o = OwnerOutcome();
  o.code = figures.code;
  o.name = ReturnName(figures.stored_name);
  const std::optional<Finding> refused = OwnerNif(nifs_, figures.code, nif_file_name_, kReturnWords, &o.nif);

  PreparedReturn prepared = PrepareReturn(design_, settings_, figures, o.nif);
  o.findings = std::move(prepared.findings);
  if (!prepared.liable) {
    o.status = ReturnStatus::kNotLiable;
    report_(o);
    return;
  }
  if (refused) {
    // The figures its return would have had, for the reports.
    o.values = std::move(prepared.values);
    o.findings.push_back({"NIF", *refused});
    o.status = ReturnStatus::kSkipped;
    report_(o);
    return;
  }
  CheckReturn(design_, settings_, figures, prepared, &o.findings);
  o.values = std::move(prepared.values);
  o.status = HasErrors(o.findings) ? ReturnStatus::kInvalid : ReturnStatus::kValid;

  const std::string file =
      ReturnFileName(o.nif, settings_.period.year, format::QuarterText(settings_.period.last_date()));
  platform::Status s = ReturnBytes(design_, o.values, prepared.annual, &bytes_);
  if (s.ok()) s = WriteReturnFile(fs_, out_dir_ + file, bytes_);
  if (s.ok()) {
    o.file = file;
    written_.push_back(file);
  } else {
    o.status = ReturnStatus::kFailed;
    o.findings.push_back({"", Error("FICHERO", "No se ha podido escribir la declaraci\xA2n: " + s.message())});
  }
  report_(o);
}

}  // namespace zov::books::vat
