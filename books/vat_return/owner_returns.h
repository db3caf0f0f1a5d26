// What becomes of each owner's figures: the owner is not liable, skipped
// (no usable NIF: nif_file.h), or gets a return that is prepared, checked
// and written into the output folder among the run's returns (valid,
// invalid, or failed when it could not be written). Every outcome goes to
// `report`, in the owners' order.
//
//   OwnerReturns returns(fs, *design, settings, folder->NewFile(""), nifs, "owners-nif.csv", report);
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

  // The returns are written new in `out_dir` (an output folder's staging
  // folder), which ends in a separator; `nif_file_name` names the NIF file
  // in messages (code page 850).
  OwnerReturns(platform::FileSystem& fs, const Design& design, const ReturnSettings& settings, std::string out_dir,
               const OwnerNifs& nifs, std::string nif_file_name, Report report)
      : fs_(fs), design_(design), settings_(settings), out_dir_(std::move(out_dir)), nifs_(nifs),
        nif_file_name_(std::move(nif_file_name)), report_(std::move(report)) {}

  void Owner(const OwnerFigures& figures);

  // The names of the returns written, in the owners' order.
  const std::vector<std::string>& written() const { return written_; }

 private:
  platform::FileSystem& fs_;
  const Design& design_;
  const ReturnSettings& settings_;
  std::string out_dir_;
  const OwnerNifs& nifs_;
  std::string nif_file_name_;
  Report report_;
  std::vector<std::string> written_;
  OwnerOutcome outcome_;  // reused for every owner
  std::string bytes_;
};

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_OWNER_RETURNS_H_
