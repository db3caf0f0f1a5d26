#include "books/vat_return/owner_returns.h"

#include "books/vat_return/return_checks.h"
#include "books/vat_return/return_file.h"
#include "format/tax_ids.h"
#include "platform/code_page.h"

namespace zov::books::vat {

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
  const std::string* nif = nif_of_(figures.code);
  if (nif != nullptr) o.nif = *nif;

  PreparedReturn prepared = PrepareReturn(design_, settings_, figures, o.nif);
  o.findings = std::move(prepared.findings);
  if (!prepared.liable) {
    o.status = ReturnStatus::kNotLiable;
    report_(o);
    return;
  }
  if (nif == nullptr || format::ClassifyNif(*nif) == format::NifKind::kInvalid) {
    o.findings.push_back(VatError("NIF", "TITULAR",
                                  nif == nullptr ? std::string("El propietario no tiene NIF: no se genera su "
                                                               "declaraci\xA2n")
                                                 : "NIF del titular '" + *nif +
                                                       "' no v\xA0lido: no se genera su declaraci\xA2n"));
    o.status = ReturnStatus::kSkipped;
    report_(o);
    return;
  }
  CheckReturn(design_, settings_, figures, prepared, &o.findings);
  o.values = std::move(prepared.values);
  o.status = HasErrors(o.findings) ? ReturnStatus::kInvalid : ReturnStatus::kValid;

  const std::string file = ReturnFileName(o.nif, settings_.period.year, settings_.period.text());
  platform::Status s = ReturnBytes(design_, o.values, prepared.annual, &bytes_);
  if (s.ok()) s = SaveReturnFile(fs_, out_dir_ + platform::Cp850ToUtf8(file), bytes_);
  if (s.ok()) {
    o.file = file;
  } else {
    o.status = ReturnStatus::kFailed;
    o.findings.push_back(VatError("", "FICHERO", "No se ha podido escribir la declaraci\xA2n: " +
                                                     platform::Utf8ToCp850(s.message())));
  }
  report_(o);
}

}  // namespace zov::books::vat
