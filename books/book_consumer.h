// The walk's consumer that writes the tax agency's record book of each owner
// with invoices in the period: it maps every register line to its rows,
// checks each row before writing it, writes the book among the output
// folder's new files (output_folder.h) and completes it at the owner's end,
// and adds the owner's line to the manifest and every finding to the
// validation report, in the owners' order. The books completed are the new
// set's (written()), which the run commits with the reports.
//
// An owner without a NIF in the agency's file, with an invalid one, or with
// one that another owner has too, gets no book: it is listed as skipped, with
// the rows and totals its book would have had.
//
//   BookConsumer books(fs, settings, manifest, validation);
//   reg::WalkConsumer* consumers[] = {&books};
//   reg::WalkWithConsumerThread(env, files, records, params, replica, consumers);
//   books.totals().valid ...; books.written() ...
#ifndef ZOV_BOOKS_BOOK_CONSUMER_H_
#define ZOV_BOOKS_BOOK_CONSUMER_H_

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "books/book_mapping.h"
#include "books/book_validation.h"
#include "books/nif_file.h"
#include "books/output_folder.h"
#include "books/report_file.h"
#include "books/xlsx_book.h"
#include "platform/file_system.h"
#include "register/walk_events.h"

namespace zov::books {

// The import services take files of at most 4 MB; stay under 4,000,000 bytes.
inline constexpr uint64_t kImportLimitBytes = 4000000;

// The reports' names, beside the books.
inline constexpr std::string_view kManifestName = "manifest.csv";
inline constexpr std::string_view kValidationName = "validation.csv";

// The manifest's and the validation report's heading lines. The manifest's
// last column, the period its books cover, came last so that readers of
// the columns before it by position read them where they were.
inline constexpr std::array<std::string_view, 13> kManifestHeading = {
    "owner code", "name", "NIF", "book type", "file", "rows", "total base", "total VAT", "total withholding",
    "errors", "warnings", "status", "period"};
inline constexpr std::size_t kManifestFileColumn = 4;

// The books a manifest lists (its bytes): the file column of every line
// after the heading, where it names a book; none when the heading is not
// the manifest's.
std::vector<std::string> ManifestBooks(std::string_view manifest);
inline constexpr std::array<std::string_view, 7> kValidationHeading = {
    "owner", "file", "row", "invoice", "rule", "severity", "message"};

struct BookRunSettings {
  BookPeriod period;
  std::string period_text;  // "01/01/2026 to 31/12/2026", the manifest's last column
  std::string epigraph = "8612";
  const OutputFolder* folder = nullptr;  // where the books go
  const OwnerNifs* nifs = nullptr;
  std::string nif_file_name;  // for messages
  RunTime time;               // the books' creation time
};

struct BookTotals {
  int64_t owners = 0;  // owners with invoices in the period
  int64_t valid = 0;
  int64_t invalid = 0;
  int64_t skipped = 0;
  int64_t failed = 0;  // the book could not be written
  int64_t rows = 0;    // rows written to books
  int64_t books() const { return valid + invalid; }
};

class BookConsumer final : public reg::WalkConsumer {
 public:
  BookConsumer(platform::FileSystem& fs, const BookRunSettings& settings, ReportFile& manifest,
               ReportFile& validation);
  ~BookConsumer() override;

  // Called with the owner's 4-digit code at each owner start.
  void OnOwner(std::function<void(const std::string&)> progress) { progress_ = std::move(progress); }

  void OwnerStart(const reg::RecordVariables& records) override;
  void GroupStart(const reg::RecordVariables&) override {}
  void PropertyStart(const reg::RecordVariables&) override {}
  void Line(const reg::RecordVariables& records, const reg::LineAmounts& amounts) override;
  void OwnerEnd(const reg::RecordVariables& records) override;

  const BookTotals& totals() const { return totals_; }
  // The file names of the books completed, in the owners' order.
  const std::vector<std::string>& written() const { return written_; }

 private:
  // A finding held with its owner until the owner's book is done, so that
  // a failure to write the book can still be reported before them.
  struct HeldFinding {
    int64_t row;
    std::string invoice;
    Finding finding;
  };
  struct Owner {
    std::string code;
    std::string display_name;
    std::string nif;
    BookType type = BookType::kUnified;
    std::string file_name;  // code page 850, for the reports
    bool skipped = false;
    bool failed = false;
    int64_t rows = 0;
    int64_t base = 0;
    int64_t vat = 0;
    int64_t withheld = 0;
    int64_t errors = 0;
    int64_t warnings = 0;
    std::vector<HeldFinding> findings;
    std::unique_ptr<XlsxBook> xlsx;
  };

  void Report(Owner& o, int64_t row, std::string_view invoice, Finding finding);
  void Skip(const Finding& reason);
  void Fail(Owner& o, const platform::Status& status);
  // Completes the book and puts it in place.
  void Settle(Owner& o);
  void Emit(Owner& o);

  platform::FileSystem& fs_;
  const BookRunSettings& settings_;
  ReportFile& manifest_;
  ReportFile& validation_;
  std::function<void(const std::string&)> progress_;
  BookTotals totals_;
  std::vector<std::string> written_;

  Owner current_;
  BookSettings book_;
  // Invoice number -> the sheet row of its first line, for the current owner.
  std::unordered_map<std::string, int64_t> invoice_rows_;

  // Reused for every line.
  LineRows mapped_;
  std::vector<Finding> found_;
};

}  // namespace zov::books

#endif  // ZOV_BOOKS_BOOK_CONSUMER_H_
