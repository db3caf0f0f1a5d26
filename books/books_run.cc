#include "books/books_run.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "books/book_consumer.h"
#include "books/run_time.h"
#include "datafiles/data_files.h"
#include "datafiles/record_ops.h"
#include "format/dates.h"
#include "format/format_state.h"
#include "format/packed.h"
#include "platform/code_page.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "register/walk_events.h"
#include "session/session.h"
#include "session/session_setup.h"

namespace zov::books {

namespace {

using platform::Status;

std::string Owner(int code) { return format::ZeroPad(code, 4); }

// Draws "[#####-----]  50 %  12 of 24 owners" on one terminal line.
class ProgressBar {
 public:
  ProgressBar(std::ostream& err, std::vector<std::string> owners) : err_(err), owners_(std::move(owners)) {}
  void At(const std::string& owner) {
    if (owners_.empty()) return;
    const auto done = static_cast<std::size_t>(
        std::lower_bound(owners_.begin(), owners_.end(), owner) - owners_.begin());
    const std::size_t percent = done * 100 / owners_.size();
    if (percent == last_percent_) return;
    last_percent_ = percent;
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = done * kWidth / owners_.size();
    err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] " << percent << " %  "
         << done << " of " << owners_.size() << " owners" << std::flush;
    drawn_ = true;
  }
  void Clear() {
    if (drawn_) err_ << "\r" << std::string(72, ' ') << "\r" << std::flush;
    drawn_ = false;
  }

 private:
  std::ostream& err_;
  std::vector<std::string> owners_;
  std::size_t last_percent_ = 101;
  bool drawn_ = false;
};

struct DataFiles {
  platform::Env& env;
  datafiles::DataFileTable table;
  reg::RecordVariables records;
  bool open = false;
  explicit DataFiles(platform::Env& e) : env(e) {}
  ~DataFiles() {
    if (open) (void)datafiles::ResetDataFiles(env, table);
  }
};

std::string DataFilePath(const session::Session& session, std::string_view name) {
  return session.data_root + "DADES\\" + std::string(name);
}

// The owners of the range, in key order, for the progress bar.
std::vector<std::string> OwnersInRange(DataFiles& files, const reg::RunParameters& params) {
  std::vector<std::string> owners;
  const std::string_view from = std::string_view(params.property_from).substr(0, reg::kOwnerCodeSize);
  const std::string_view to = std::string_view(params.property_to).substr(0, reg::kOwnerCodeSize);
  int16_t status = datafiles::ReadByKey(files.env, files.table, reg::kFileVPropiet, 0, from, 1);
  while (status == datafiles::kStatusOk && files.records.owner.OwnerCode() <= to) {
    owners.push_back(format::UnpackDigits(files.records.owner.OwnerCode()));
    status = datafiles::ReadStep(files.env, files.table, reg::kFileVPropiet, 1);
  }
  return owners;
}

}  // namespace

int RunBooks(platform::Env& env, const BooksRequest& request, std::ostream& out, std::ostream& err, bool progress) {
  auto cannot_run = [&err](const std::string& why) {
    err << "zovllibres: " << why << "\n";
    return kExitCannotRun;
  };
  platform::FileSystem& fs = *env.fs;

  // The run's time, once for every book.
  BookRunSettings settings;
  if (Status s = ReadRunTime(*env.environment, *env.clock, &settings.time); !s.ok()) return cannot_run(s.message());

  // The installation, found as the register finds it.
  session::Session session;
  format::FormatState format_state;
  session::SetUpSession(env, session, format_state);
  if (session.data_root.empty()) return cannot_run("ZOVROOT is not set: it names the installation to read");
  for (int16_t number : reg::kWalkFiles) {
    const std::string path = DataFilePath(session, reg::FindDataFileSpec(number)->name) + ".dat";
    platform::DirEntry entry;
    if (!fs.FindFirst(path, &entry).ok() || (entry.attributes & platform::kAttrDirectory) != 0)
      return cannot_run("no installation in " + session.data_root + ": " + path + " is missing");
  }

  // The owners' NIFs.
  const std::string nif_path =
      request.nif_file.empty() ? session.data_root + std::string(kDefaultNifFile) : request.nif_file;
  std::string nif_text;
  if (Status s = fs.ReadFile(nif_path, &nif_text); !s.ok())
    return cannot_run("cannot read the owners' NIF file: " + s.message());
  OwnerNifs nifs;
  if (Status s = ParseOwnerNifs(nif_text, nif_path, &nifs); !s.ok()) return cannot_run(s.message());

  // The output folder and the two reports, before anything is read.
  std::string out_dir = request.out_dir;
  while (out_dir.size() > 1 && (out_dir.back() == '/' || out_dir.back() == '\\')) out_dir.pop_back();
  platform::DirEntry out_entry;
  if (!fs.FindFirst(out_dir, &out_entry).ok()) {
    if (Status s = fs.CreateDirectory(out_dir); !s.ok())
      return cannot_run("cannot make the output folder: " + s.message());
  } else if ((out_entry.attributes & platform::kAttrDirectory) == 0) {
    return cannot_run(out_dir + " is not a folder");
  }
  settings.out_dir = out_dir + "/";
  ReportFile manifest(fs, settings.out_dir + "manifest.csv");
  ReportFile validation(fs, settings.out_dir + "validation.csv");
  if (Status s = manifest.Open(kManifestHeading); !s.ok())
    return cannot_run("cannot write in the output folder: " + s.message());
  if (Status s = validation.Open(kValidationHeading); !s.ok())
    return cannot_run("cannot write in the output folder: " + s.message());

  // The data files the walk reads.
  DataFiles files(env);
  for (int16_t number : reg::kWalkFiles) {
    const int16_t status = datafiles::OpenDataFile(env, session, files.table, number,
                                                   DataFilePath(session, reg::FindDataFileSpec(number)->name),
                                                   files.records.ForFile(number));
    files.open = true;
    if (status != datafiles::kStatusOk)
      return cannot_run("cannot open the data files: " + platform::Cp850ToUtf8(files.table.fatal_message));
  }

  // The register's selection over the book's period: every invoice of every
  // class from 1 January to the quarter's end, owners flagged S and N both.
  settings.period = BookPeriod{request.year, request.quarter};
  settings.epigraph = request.epigraph;
  settings.nifs = &nifs;
  settings.nif_file_name = platform::Utf8ToCp850(nif_path);
  reg::RunParameters params;
  params.date_from = format::PackDigits(format::ZeroPad(settings.period.first_date(), 8));
  params.date_to = format::PackDigits(format::ZeroPad(settings.period.last_date(), 8));
  params.receipt_key = reg::kReceiptKeyByIssueDate;
  params.property_from = reg::PropertyBound(Owner(request.from_owner), "000100010001");
  params.property_to = reg::PropertyBound(Owner(request.to_owner), "999999999999");
  params.class_from = "";
  params.class_to = "\xFF\xFF";
  params.include_flag_s = params.include_flag_n = true;

  BookConsumer books(fs, settings, manifest, validation);
  ProgressBar bar(err, progress ? OwnersInRange(files, params) : std::vector<std::string>());
  if (progress) books.OnOwner([&bar](const std::string& owner) { bar.At(owner); });
  reg::WalkConsumer* consumers[] = {&books};
  // The rows are mapped, checked and written on a second thread while the
  // walk reads on.
  auto replica = std::make_unique<reg::RecordVariables>(files.records);
  const reg::WalkFailure walk =
      reg::WalkWithConsumerThread(env, files.table, files.records, params, *replica, consumers);
  bar.Clear();
  if (!walk.ok()) {
    // Books that miss invoices must not be taken for the quarter's.
    manifest.Abandon();
    validation.Abandon();
    err << "zovllibres: " << datafiles::DataFileStatusText(walk.path, walk.status) << ": run stopped; the books "
           "already written are complete, no manifest or validation report was written\n";
    return kExitCannotRun;
  }

  const BookTotals& t = books.totals();
  const std::string period = format::DateNumberSlashText(settings.period.first_date()) + " to " +
                             format::DateNumberSlashText(settings.period.last_date());
  if (t.owners == 0) {
    manifest.Abandon();
    validation.Abandon();
    err << "zovllibres: no owner from " << Owner(request.from_owner) << " to " << Owner(request.to_owner)
        << " has invoices from " << period << ": no books written\n";
    return kExitNotAllValid;
  }
  if (Status s = validation.Commit(); !s.ok()) {
    err << "zovllibres: the validation report is not written: " << s.message() << "\n";
    return kExitNotAllValid;
  }
  if (Status s = manifest.Commit(); !s.ok()) {
    err << "zovllibres: the manifest is not written: " << s.message() << "\n";
    return kExitNotAllValid;
  }
  out << "zovllibres: " << t.books() << " books for " << period << " in " << settings.out_dir << ": " << t.valid
      << " valid, " << t.invalid << " invalid; " << t.skipped << " owners skipped, " << t.failed
      << " books not written; " << t.rows << " rows; see manifest.csv and validation.csv\n";
  return t.invalid + t.skipped + t.failed == 0 ? kExitAllValid : kExitNotAllValid;
}

}  // namespace zov::books
