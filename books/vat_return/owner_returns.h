// What becomes of each owner's figures: the owner is not liable, skipped
// (no usable NIF: nif_file.h), or gets a return that is prepared, checked
// and written into the output folder among the run's returns (valid,
// invalid, or failed when it could not be written). Every outcome goes to
// `report`, in the owners' order.
//
//   ReturnFiles files(fs);
//   OwnerReturns returns(files, *design, settings, out_dir, nifs, "owners-nif.csv", report);
//   VatConsumer consumer(settings.period, [&](const OwnerFigures& f) { returns.Owner(f); });
#ifndef ZOV_BOOKS_VAT_RETURN_OWNER_RETURNS_H_
#define ZOV_BOOKS_VAT_RETURN_OWNER_RETURNS_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "books/nif_file.h"
#include "books/vat_return/box_finding.h"
#include "books/vat_return/design.h"
#include "books/vat_return/owner_figures.h"
#include "books/vat_return/prepare_return.h"
#include "books/vat_return/return_file.h"
#include "books/vat_return/return_values.h"

namespace zov::books::vat {

enum class ReturnStatus : uint8_t { kValid, kInvalid, kNotLiable, kSkipped, kFailed };

// "valid", "invalid", "not liable", "skipped", "failed".
std::string_view ReturnStatusName(ReturnStatus status);

struct OwnerOutcome {
  std::string code;
  std::string name;  // as the return carries it (code page 850)
  std::string nif;
  std::string file;  // the file's name in the output folder; empty when none was written
  ReturnStatus status = ReturnStatus::kNotLiable;
  ReturnValues values;  // the return's, when one was prepared (skipped owners too)
  std::vector<BoxFinding> findings;
};

class OwnerReturns {
 public:
  using Report = std::function<void(const OwnerOutcome&)>;

  // `out_dir` ends in a separator; `nif_file_name` names the NIF file in
  // messages (code page 850).
  OwnerReturns(ReturnFiles& files, const Design& design, const ReturnSettings& settings, std::string out_dir,
               const OwnerNifs& nifs, std::string nif_file_name, Report report)
      : files_(files), design_(design), settings_(settings), out_dir_(std::move(out_dir)), nifs_(nifs),
        nif_file_name_(std::move(nif_file_name)), report_(std::move(report)) {}

  void Owner(const OwnerFigures& figures);

 private:
  ReturnFiles& files_;
  const Design& design_;
  const ReturnSettings& settings_;
  std::string out_dir_;
  const OwnerNifs& nifs_;
  std::string nif_file_name_;
  Report report_;
  OwnerOutcome outcome_;  // reused for every owner
  std::string bytes_;
};

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_OWNER_RETURNS_H_
