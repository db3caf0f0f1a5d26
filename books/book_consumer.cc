#include "books/book_consumer.h"

#include "format/number_field.h"
#include "format/packed.h"
#include "format/tax_ids.h"

namespace zov::books {

using format::HundredthsText;

namespace {

int64_t AmountOf(const Cell& cell) { return cell.is_amount() ? cell.value : 0; }

}  // namespace

std::vector<std::string> ManifestBooks(std::string_view manifest) {
  std::vector<std::string> books;
  const auto records = output::ReadReportRecords(manifest);
  if (records.empty() || records[0].empty() || records[0][0] != kManifestHeading[0]) return books;
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].size() > kManifestFileColumn && records[i][kManifestFileColumn].ends_with(".xlsx"))
      books.push_back(records[i][kManifestFileColumn]);
  }
  return books;
}

BookConsumer::BookConsumer(platform::FileSystem& fs, const BookRunSettings& settings, ReportFile& manifest,
                           ReportFile& validation)
    : fs_(fs), settings_(settings), manifest_(manifest), validation_(validation) {
  book_.epigraph = settings.epigraph;
}

// A walk that stopped early leaves no book behind it: the book being
// written takes its file with it, and the output folder the others.
BookConsumer::~BookConsumer() = default;

void BookConsumer::Report(Owner& o, int64_t row, std::string_view invoice, Finding finding) {
  ++(finding.severity == Severity::kError ? o.errors : o.warnings);
  o.findings.push_back({row, std::string(invoice), std::move(finding)});
}

void BookConsumer::Skip(const Finding& reason) {
  current_.skipped = true;
  Report(current_, 0, "", reason);
}

void BookConsumer::Fail(Owner& o, const platform::Status& status) {
  if (o.failed) return;
  o.failed = true;
  o.xlsx.reset();
  Report(o, 0, "", Error("FICHERO", "No se ha podido escribir el libro: " + status.message()));
}

void BookConsumer::OwnerStart(const reg::RecordVariables& r) {
  current_ = Owner();
  // Every figure of the owner's, the rows of an owner who gets no book
  // included, follows from this owner alone: never the book type of the
  // owner before.
  book_.type = current_.type;
  current_.code = format::UnpackDigits(r.owner.OwnerCode());
  if (progress_) progress_(current_.code);
  current_.display_name = OwnerDisplayName(r.owner.OwnerName());
  invoice_rows_.clear();
  ++totals_.owners;

  if (std::optional<Finding> refused =
          OwnerNif(*settings_.nifs, current_.code, settings_.nif_file_name, kBookWords, &current_.nif)) {
    Skip(*refused);
    return;
  }
  std::vector<Finding> notes;
  book_.type = current_.type = BookTypeForNif(current_.nif, &notes);
  current_.file_name = BookFileName(settings_.period.year, current_.nif, book_.type, current_.display_name);
  for (Finding& n : notes) Report(current_, 0, "", std::move(n));
  if (platform::Status s =
          XlsxBook::Start(fs_, settings_.folder->NewFile(current_.file_name), book_.type, settings_.time, &current_.xlsx);
      !s.ok())
    Fail(current_, s);
}

void BookConsumer::Line(const reg::RecordVariables& r, const reg::LineAmounts& amounts) {
  Owner& o = current_;
  MapLine(r, amounts, book_, &mapped_);
  const std::string invoice = format::UnpackDigits(r.receipt.InvoiceNumber());
  const RowRules rules{book_.type, settings_.period};
  const int64_t first_row = kFirstDataRow + o.rows;
  for (int i = 0; i < mapped_.count; ++i) {
    const BookRow& row = mapped_.rows[static_cast<std::size_t>(i)];
    o.base += AmountOf(row[kTaxBase]);
    o.vat += AmountOf(row[kVatAmount]);
    o.withheld += AmountOf(row[kWithholdingAmount]);
    ++o.rows;
    if (o.skipped) continue;
    const int64_t sheet_row = first_row + i;
    found_.clear();
    ValidateRow(row, rules, &found_);
    for (Finding& f : found_) Report(o, sheet_row, invoice, std::move(f));
    for (const Finding& w : mapped_.warnings)
      if (w.row == i) Report(o, sheet_row, invoice, w);
    if (o.xlsx && !o.failed) {
      if (platform::Status s = o.xlsx->AddRow(row); !s.ok()) Fail(o, s);
    }
  }
  if (o.skipped) return;
  found_.clear();
  ValidateInvoiceRows(std::span<const BookRow>(mapped_.rows.data(), static_cast<std::size_t>(mapped_.count)),
                      &found_);
  auto [it, fresh] = invoice_rows_.emplace(invoice, first_row);
  if (!fresh) {
    found_.push_back(Error("NUMERO", "El n\xA3mero de factura " + invoice + " ya figura en la fila " +
                                         std::to_string(it->second) + ": cada factura lleva un n\xA3mero propio"));
  }
  for (Finding& f : found_) Report(o, first_row, invoice, std::move(f));
}

void BookConsumer::OwnerEnd(const reg::RecordVariables&) {
  if (!current_.skipped && !current_.failed && current_.xlsx) Settle(current_);
  Emit(current_);
}

void BookConsumer::Settle(Owner& o) {
  uint64_t size = 0;
  platform::Status s = o.xlsx->Finish(&size);
  if (s.ok() && size >= kImportLimitBytes) {
    Report(o, 0, "", Error("FICHERO", "El libro ocupa " + std::to_string(size) +
                                          " bytes: los servicios de importaci\xA2n admiten menos de 4 MB "
                                          "(4.000.000 bytes)"));
  }
  o.xlsx.reset();
  if (!s.ok()) {
    Fail(o, s);
    return;
  }
  written_.push_back(o.file_name);
}

void BookConsumer::Emit(Owner& o) {
  const std::string_view file = o.skipped ? std::string_view() : std::string_view(o.file_name);
  for (const HeldFinding& h : o.findings) {
    const std::string row_text = h.row > 0 ? std::to_string(h.row) : std::string();
    validation_.Add({o.code, file, output::ReportField::Number(row_text), h.invoice, h.finding.rule,
                     SeverityName(h.finding.severity), h.finding.message});
  }
  std::string status;
  if (o.skipped) {
    status = "skipped";
    ++totals_.skipped;
  } else if (o.failed) {
    status = "failed";
    ++totals_.failed;
  } else {
    status = o.errors == 0 ? "valid" : "invalid";
    ++(o.errors == 0 ? totals_.valid : totals_.invalid);
    totals_.rows += o.rows;
  }
  const std::string type = o.skipped || o.failed ? std::string() : std::string(1, BookLetter(o.type));
  using output::ReportField;
  const std::string rows = std::to_string(o.rows), base = HundredthsText(o.base), vat = HundredthsText(o.vat),
                    withheld = HundredthsText(o.withheld), errors = std::to_string(o.errors),
                    warnings = std::to_string(o.warnings);
  manifest_.Add({o.code, o.display_name, o.nif, type, o.skipped || o.failed ? std::string_view() : o.file_name,
                 ReportField::Number(rows), ReportField::Number(base), ReportField::Number(vat),
                 ReportField::Number(withheld), ReportField::Number(errors), ReportField::Number(warnings), status,
                 settings_.period_text});
  o.findings.clear();
}

}  // namespace zov::books
