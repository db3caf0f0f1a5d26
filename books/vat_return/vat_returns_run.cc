#include "books/vat_return/vat_returns_run.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "books/output_folder.h"
#include "books/report_file.h"
#include "books/run_setup.h"
#include "books/vat_return/design.h"
#include "books/vat_return/owner_returns.h"
#include "books/vat_return/vat_consumer.h"
#include "datafiles/data_files.h"
#include "format/dates.h"
#include "format/number_field.h"
#include "format/packed.h"
#include "output/report_fields.h"
#include "register/walk_events.h"

namespace zov::books::vat {

namespace {

using platform::Status;

constexpr std::string_view kBeforeFiling = "add deductible VAT in the agency's form";

// The boxes of the manifest, in the design's order of roles: each rate row's
// base and quota, the modifications, the totals and results up to the one
// before the final result, and the annual page's.
std::vector<std::string_view> ManifestBoxes(const Design& design) {
  std::vector<std::string_view> boxes;
  for (const RateRow& row : design.rates) {
    boxes.push_back(row.base);
    boxes.push_back(row.quota);
  }
  const Boxes& b = design.boxes;
  for (std::string_view box : {b.modified_base, b.modified_quota, b.total_output, b.total_deductible,
                               b.general_result, b.sum_of_results, b.state_share, b.return_result, b.year_general,
                               b.year_exempt, b.year_volume})
    boxes.push_back(box);
  return boxes;
}

constexpr std::string_view kManifestName = "manifest.csv";
constexpr std::string_view kValidationName = "validation.csv";
constexpr std::size_t kFileColumn = 3;

// The returns a manifest of this program lists.
std::vector<std::string> ManifestReturns(std::string_view manifest) {
  std::vector<std::string> returns;
  const auto records = output::ReadReportRecords(manifest);
  if (records.empty() || records[0].size() <= kFileColumn || records[0][kFileColumn] != kReturnManifestHead[kFileColumn])
    return returns;
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].size() > kFileColumn && records[i][kFileColumn].ends_with(".txt"))
      returns.push_back(records[i][kFileColumn]);
  }
  return returns;
}

// An amount of the return as the reports write it; empty when the return
// has none (no return was prepared, or the box is not of its period).
std::string AmountText(const ReturnValues& values, std::string_view box) {
  const int64_t* amount = values.FindAmount(box);
  return amount == nullptr ? std::string() : format::HundredthsText(*amount);
}

// Writes each owner's outcome to the two reports and counts it.
class Reports {
 public:
  Reports(const Design& design, std::string period, ReportFile& manifest, ReportFile& validation,
          VatRunResult& result)
      : design_(design),
        period_(std::move(period)),
        boxes_(ManifestBoxes(design)),
        manifest_(manifest),
        validation_(validation),
        result_(result) {}

  [[nodiscard]] Status Open() {
    std::vector<std::string> heading(kReturnManifestHead.begin(), kReturnManifestHead.end());
    for (std::string_view box : boxes_) heading.push_back("[" + std::string(box) + "]");
    heading.insert(heading.end(), kReturnManifestTail.begin(), kReturnManifestTail.end());
    const std::vector<std::string_view> names(heading.begin(), heading.end());
    if (Status s = manifest_.Open(names); !s.ok()) return s;
    return validation_.Open(kReturnValidationHeading);
  }

  void Add(const OwnerOutcome& o) {
    ++result_.owners;
    int64_t errors = 0, warnings = 0;
    for (const BoxFinding& f : o.findings) {
      ++(f.finding.severity == Severity::kError ? errors : warnings);
      validation_.Add({o.code, f.box, f.finding.rule, SeverityName(f.finding.severity), f.finding.message});
    }
    switch (o.status) {
      case ReturnStatus::kValid: ++result_.valid; break;
      case ReturnStatus::kInvalid: ++result_.invalid; break;
      case ReturnStatus::kNotLiable: ++result_.not_liable; break;
      case ReturnStatus::kSkipped: ++result_.skipped; break;
      case ReturnStatus::kFailed: ++result_.failed; break;
    }
    // The amounts first, then the views of the fields into them.
    texts_.clear();
    for (std::string_view box : boxes_) texts_.push_back(AmountText(o.values, box));
    texts_.push_back(AmountText(o.values, design_.boxes.final_result));
    texts_.push_back(std::to_string(errors));
    texts_.push_back(std::to_string(warnings));
    const std::string* type = o.values.FindText("TIPO_DECLARACION");
    fields_.assign({o.code, o.name, o.nif, o.file, ReturnStatusName(o.status)});
    for (std::size_t i = 0; i <= boxes_.size(); ++i) fields_.push_back(output::ReportField::Number(texts_[i]));
    fields_.push_back(type == nullptr ? std::string_view() : std::string_view(*type));
    fields_.push_back(period_);
    fields_.push_back(output::ReportField::Number(texts_[boxes_.size() + 1]));
    fields_.push_back(output::ReportField::Number(texts_[boxes_.size() + 2]));
    fields_.push_back(o.file.empty() ? std::string_view() : kBeforeFiling);
    manifest_.Add(fields_);
  }

 private:
  const Design& design_;
  const std::string period_;
  const std::vector<std::string_view> boxes_;
  ReportFile& manifest_;
  ReportFile& validation_;
  VatRunResult& result_;
  std::vector<std::string> texts_;  // what fields_ views, besides the outcome
  std::vector<output::ReportField> fields_;
};

}  // namespace

Status RunVatReturns(platform::Env& env, const VatRunRequest& request, const VatRunProgress& progress,
                     VatRunResult* result) {
  *result = VatRunResult();
  platform::FileSystem& fs = *env.fs;
  const Design* design = nullptr;
  if (Status s = DesignForYear(request.year, &design); !s.ok()) return s;
  const BookPeriod period{request.year, request.quarter};
  if (request.quarter < 1 || request.quarter > 4)
    return Status::InvalidArgument("the quarter must be 1 to 4, not " + std::to_string(request.quarter));
  const std::string period_text = format::QuarterText(period.last_date()) + " " + std::to_string(period.year);

  // The installation and its NIF file; then the output folder, the run's
  // alone from here on, with the two reports among its new files, before
  // anything is read.
  RunSetUp setup(env);
  if (Status s = setup.FindInstallation(); !s.ok()) return s;
  if (Status s = setup.ReadNifs(request.nif_file); !s.ok()) return s;
  const OutputFolderSpec folder_spec{"zov303", std::string(kManifestName), ManifestReturns,
                                     ManifestHeadingStart(kReturnManifestHead, kReturnManifestHead.size())};
  std::unique_ptr<OutputFolder> folder;
  if (Status s = OutputFolder::Open(fs, *env.clock, request.out_dir, folder_spec, platform::LockStartNote(*env.clock), &folder);
      !s.ok()) {
    return s.IsBusy() ? Status::Busy(s.message() + ": stopped, nothing written") : s;
  }
  ReportFile manifest(fs, folder->NewFile(kManifestName));
  ReportFile validation(fs, folder->NewFile(kValidationName));
  Reports reports(*design, period_text, manifest, validation, *result);
  if (Status s = reports.Open(); !s.ok()) return Status::IoError("cannot write in the output folder: " + s.message());
  const std::string kept = "; nothing in " + folder->shown() + " changed";
  if (Status s = setup.OpenDataFiles(); !s.ok()) return Status::Error(s.code(), s.message() + kept);

  const ReturnSettings settings{period, request.epigraph};
  const reg::RunParameters params = YearSelection(period.last_date(), request.from_owner, request.to_owner);
  const std::vector<std::string> owners = progress ? setup.OwnersInRange(params) : std::vector<std::string>();
  OwnerReturns returns(fs, *design, settings, folder->NewFile(""), setup.nifs(), setup.nif_path(),
                       [&](const OwnerOutcome& o) {
                         reports.Add(o);
                         if (!progress) return;
                         const auto done = std::upper_bound(owners.begin(), owners.end(), o.code) - owners.begin();
                         progress(static_cast<uint64_t>(done), owners.size());
                       });
  VatConsumer consumer(period, [&returns](const OwnerFigures& f) { returns.Owner(f); });
  reg::WalkConsumer* consumers[] = {&consumer};
  // The returns are prepared, checked and written on a second thread while
  // the walk reads on.
  auto replica = std::make_unique<reg::RecordVariables>(setup.records());
  const reg::WalkFailure walk =
      reg::WalkWithConsumerThread(env, setup.table(), setup.records(), params, *replica, consumers);
  if (!walk.ok()) {
    // Returns and reports that miss owners must not be taken for the
    // quarter's: the folder keeps its previous set, and what is staged goes
    // with it, after every file of the run is closed (declared after it; an
    // open file cannot be removed everywhere).
    return Status::IoError(datafiles::DataFileStatusText(walk.path, walk.status) + ": run stopped" + kept);
  }
  if (result->owners == 0) {
    return Status::NotFound("no owner from " + format::ZeroPad(request.from_owner, 4) + " to " +
                            format::ZeroPad(request.to_owner, 4) + " has invoices from " +
                            format::DateNumberSlashText(period.first_date()) + " to " +
                            format::DateNumberSlashText(period.last_date()) + ": no returns written" + kept);
  }
  // The returns and the reports that describe them, in place as one set.
  if (Status s = validation.Finish(); !s.ok())
    return Status::IoError("the validation report is not written: " + s.message() + kept);
  if (Status s = manifest.Finish(); !s.ok()) return Status::IoError("the manifest is not written: " + s.message() + kept);
  std::vector<std::string> set = returns.written();
  set.push_back(std::string(kValidationName));
  set.push_back(std::string(kManifestName));
  if (Status s = folder->Commit(set); !s.ok()) return s;
  const VatRunResult& r = *result;
  result->summary = std::to_string(r.returns()) + " returns of " + period_text + " (" + std::string(design->name) +
                    ") in " + folder->shown() + ": " + std::to_string(r.valid) + " valid, " +
                    std::to_string(r.invalid) + " invalid; " + std::to_string(r.not_liable) +
                    " owners not liable, " + std::to_string(r.skipped) + " skipped, " + std::to_string(r.failed) +
                    " returns not written; deductible VAT is not in them: add it in the agency's form before "
                    "filing; see manifest.csv and validation.csv";
  return Status::Ok();
}

}  // namespace zov::books::vat
