#include "tools/zovllibres/book_consumer.h"

#include "format/packed.h"
#include "format/tax_ids.h"
#include "platform/code_page.h"
#include "register/csv_fields.h"

namespace zov::books {

namespace {

std::string Money(int64_t hundredths) { return reg::CsvNumber(hundredths, 0); }

int64_t AmountOf(const Cell& cell) { return cell.is_amount() ? cell.value : 0; }

}  // namespace

BookConsumer::BookConsumer(platform::FileSystem& fs, const BookRunSettings& settings, ReportFile& manifest,
                           ReportFile& validation)
    : fs_(fs), settings_(settings), manifest_(manifest), validation_(validation) {
  book_.epigraph = settings.epigraph;
}

BookConsumer::~BookConsumer() = default;

void BookConsumer::Report(int64_t row, std::string_view invoice, const Finding& finding) {
  const std::string row_text = row > 0 ? std::to_string(row) : std::string();
  validation_.Add({owner_code_, skipped_ ? std::string_view() : std::string_view(file_name_), row_text, invoice,
                   finding.rule, SeverityName(finding.severity), finding.message});
  if (finding.severity == Severity::kError) {
    ++errors_;
  } else {
    ++warnings_;
  }
}

void BookConsumer::Skip(const Finding& reason) {
  skipped_ = true;
  Report(0, "", reason);
}

void BookConsumer::Fail(const platform::Status& status) {
  if (failed_) return;
  failed_ = true;
  xlsx_.reset();
  fs_.DeleteFile(native_path_ + ".part").IgnoreError();
  // The platform's message names the native path; keep the report in code page 850.
  Report(0, "", Error("FICHERO", "No se ha podido escribir el libro: " + platform::Utf8ToCp850(status.message())));
}

void BookConsumer::OwnerStart(const reg::RecordVariables& r) {
  owner_code_ = format::UnpackDigits(r.owner.OwnerCode());
  if (progress_) progress_(owner_code_);
  display_name_ = OwnerDisplayName(r.owner.OwnerName());
  nif_.clear();
  file_name_.clear();
  native_path_.clear();
  skipped_ = false;
  failed_ = false;
  xlsx_.reset();
  rows_ = base_ = vat_ = withheld_ = errors_ = warnings_ = 0;
  invoice_rows_.clear();
  ++totals_.owners;

  const OwnerNifs& nifs = *settings_.nifs;
  auto it = nifs.nif_of.find(owner_code_);
  if (it == nifs.nif_of.end()) {
    Skip(Error("TITULAR", "El propietario no tiene NIF en " + settings_.nif_file_name + ": no se genera su libro"));
    return;
  }
  nif_ = it->second;
  if (format::ClassifyNif(nif_) == format::NifKind::kInvalid) {
    Skip(Error("TITULAR", "NIF del titular '" + nif_ + "' no v\xA0lido: no se genera su libro"));
    return;
  }
  if (auto shared = nifs.shared_with.find(owner_code_); shared != nifs.shared_with.end()) {
    Skip(Error("TITULAR", "El NIF " + nif_ + " figura tambi\x82n para el propietario " + shared->second +
                              ": un titular lleva un solo libro; una los propietarios o corrija " +
                              settings_.nif_file_name));
    return;
  }
  std::vector<Finding> notes;
  book_.type = BookTypeForNif(nif_, &notes);
  file_name_ = BookFileName(settings_.period.year, nif_, book_.type, display_name_);
  const std::string native_name = platform::Cp850ToUtf8(file_name_);
  native_path_ = settings_.out_dir + native_name;
  for (const Finding& n : notes) Report(0, "", n);
  const std::string part = settings_.native_out_dir + native_name + ".part";
  if (platform::Status s = XlsxBook::Start(part, settings_.native_out_dir, book_.type, &xlsx_); !s.ok()) Fail(s);
}

void BookConsumer::Line(const reg::RecordVariables& r, const reg::LineAmounts& amounts) {
  MapLine(r, amounts, book_, &mapped_);
  const std::string invoice = format::UnpackDigits(r.receipt.InvoiceNumber());
  const RowRules rules{book_.type, settings_.period};
  const int64_t first_row = kFirstDataRow + rows_;
  for (int i = 0; i < mapped_.count; ++i) {
    const BookRow& row = mapped_.rows[static_cast<std::size_t>(i)];
    base_ += AmountOf(row[kTaxBase]);
    vat_ += AmountOf(row[kVatAmount]);
    withheld_ += AmountOf(row[kWithholdingAmount]);
    ++rows_;
    if (skipped_) continue;
    const int64_t sheet_row = first_row + i;
    found_.clear();
    ValidateRow(row, rules, &found_);
    for (const Finding& f : found_) Report(sheet_row, invoice, f);
    for (const Finding& w : mapped_.warnings)
      if (w.row == i) Report(sheet_row, invoice, w);
    if (xlsx_ && !failed_) {
      if (platform::Status s = xlsx_->AddRow(row); !s.ok()) Fail(s);
    }
  }
  if (skipped_) return;
  found_.clear();
  ValidateInvoiceRows(std::span<const BookRow>(mapped_.rows.data(), static_cast<std::size_t>(mapped_.count)),
                      &found_);
  auto [it, fresh] = invoice_rows_.emplace(invoice, first_row);
  if (!fresh) {
    found_.push_back(Error("NUMERO", "El n\xA3mero de factura " + invoice + " ya figura en la fila " +
                                         std::to_string(it->second) + ": cada factura lleva un n\xA3mero propio"));
  }
  for (const Finding& f : found_) Report(first_row, invoice, f);
}

void BookConsumer::OwnerEnd(const reg::RecordVariables&) {
  std::string status;
  if (skipped_) {
    status = "skipped";
    ++totals_.skipped;
  } else {
    if (!failed_ && xlsx_) {
      platform::Status s = xlsx_->Finish();
      xlsx_.reset();
      const std::string part = native_path_ + ".part";
      platform::DirEntry entry;
      if (s.ok()) s = fs_.FindFirst(part, &entry);
      if (s.ok() && entry.size >= kImportLimitBytes) {
        Report(0, "", Error("FICHERO", "El libro ocupa " + std::to_string(entry.size) +
                                           " bytes: los servicios de importaci\xA2n admiten menos de 4 MB "
                                           "(4.000.000 bytes)"));
      }
      if (s.ok()) s = fs_.RenameFile(part, native_path_);
      if (!s.ok()) Fail(s);
    }
    if (failed_) {
      status = "failed";
      ++totals_.failed;
    } else {
      status = errors_ == 0 ? "valid" : "invalid";
      ++(errors_ == 0 ? totals_.valid : totals_.invalid);
      totals_.rows += rows_;
    }
  }
  const std::string type = skipped_ || failed_ ? std::string() : std::string(1, BookLetter(book_.type));
  manifest_.Add({owner_code_, display_name_, nif_, type, skipped_ || failed_ ? std::string_view() : file_name_,
                 std::to_string(rows_), Money(base_), Money(vat_), Money(withheld_), std::to_string(errors_),
                 std::to_string(warnings_), status});
}

}  // namespace zov::books
