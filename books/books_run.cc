#include "books/books_run.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

#include "books/book_consumer.h"
#include "books/run_time.h"
#include "datafiles/data_files.h"
#include "datafiles/record_ops.h"
#include "format/dates.h"
#include "format/format_state.h"
#include "format/packed.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "register/walk_events.h"
#include "session/session.h"
#include "session/session_setup.h"

namespace zov::books {

namespace {

using platform::Status;

std::string Owner(int code) { return format::ZeroPad(code, 4); }

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

BooksOutcome RunBooks(platform::Env& env, const BooksRequest& request, std::ostream& out, std::ostream& err,
                      const BooksProgress& progress) {
  auto failed = [&err](const std::string& why) {
    err << "zovllibres: " << why << "\n";
    return BooksOutcome::kProblems;
  };
  platform::FileSystem& fs = *env.fs;

  // The run's time, once for every book.
  BookRunSettings settings;
  if (Status s = ReadRunTime(*env.environment, *env.clock, &settings.time); !s.ok()) return failed(s.message());

  // The installation, found as the register finds it.
  session::Session session;
  format::FormatState format_state;
  session::SetUpSession(env, session, format_state);
  if (session.data_root.empty()) return failed("ZOVROOT is not set: it names the installation to read");
  for (int16_t number : reg::kWalkFiles) {
    const std::string path = DataFilePath(session, reg::FindDataFileSpec(number)->name) + ".dat";
    platform::DirEntry entry;
    if (!fs.FindFirst(path, &entry).ok() || (entry.attributes & platform::kAttrDirectory) != 0)
      return failed("no installation in " + fs.Resolve(session.data_root) + ": " + fs.Resolve(path) + " is missing");
  }

  // The owners' NIFs (the file's text goes once they are read).
  const std::string nif_path =
      request.nif_file.empty() ? session.data_root + std::string(kDefaultNifFile) : request.nif_file;
  OwnerNifs nifs;
  {
    std::string nif_text;
    if (Status s = fs.ReadFile(nif_path, &nif_text); !s.ok())
      return failed("cannot read the owners' NIF file: " + s.message());
    if (Status s = ParseOwnerNifs(nif_text, fs.Resolve(nif_path), &nifs); !s.ok()) return failed(s.message());
  }

  // The output folder, the run's alone from here on, and the two reports
  // among its new files, before anything is read.
  const OutputFolderSpec folder_spec{"zovllibres", std::string(kManifestName), ManifestBooks};
  std::unique_ptr<OutputFolder> folder;
  if (Status s = OutputFolder::Open(fs, request.out_dir, folder_spec, platform::LockStartNote(*env.clock), &folder);
      !s.ok()) {
    return failed(s.message() + (s.IsBusy() ? ": stopped, nothing written" : ""));
  }
  settings.folder = folder.get();
  ReportFile manifest(fs, folder->NewFile(kManifestName));
  ReportFile validation(fs, folder->NewFile(kValidationName));
  if (Status s = manifest.Open(kManifestHeading); !s.ok())
    return failed("cannot write in the output folder: " + s.message());
  if (Status s = validation.Open(kValidationHeading); !s.ok())
    return failed("cannot write in the output folder: " + s.message());
  const std::string kept = "; nothing in " + folder->shown() + " changed";

  // The data files the walk reads.
  DataFiles files(env);
  for (int16_t number : reg::kWalkFiles) {
    const int16_t status = datafiles::OpenDataFile(env, session, files.table, number,
                                                   DataFilePath(session, reg::FindDataFileSpec(number)->name),
                                                   files.records.ForFile(number));
    files.open = true;
    if (status != datafiles::kStatusOk) return failed("cannot open the data files: " + files.table.fatal_message);
  }

  // The register's selection over the book's period: every invoice of every
  // class from 1 January to the quarter's end, owners flagged S and N both.
  settings.period = BookPeriod{request.year, request.quarter};
  const std::string period = format::DateNumberSlashText(settings.period.first_date()) + " to " +
                             format::DateNumberSlashText(settings.period.last_date());
  settings.period_text = period;
  settings.epigraph = request.epigraph;
  settings.nifs = &nifs;
  settings.nif_file_name = fs.Resolve(nif_path);
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
  if (progress) {
    std::vector<std::string> owners = OwnersInRange(files, params);
    books.OnOwner([&progress, owners = std::move(owners)](const std::string& owner) {
      const auto done = std::lower_bound(owners.begin(), owners.end(), owner) - owners.begin();
      progress(done, static_cast<int64_t>(owners.size()));
    });
  }
  reg::WalkConsumer* consumers[] = {&books};
  // The rows are mapped, checked and written on a second thread while the
  // walk reads on.
  auto replica = std::make_unique<reg::RecordVariables>(files.records);
  const reg::WalkFailure walk =
      reg::WalkWithConsumerThread(env, files.table, files.records, params, *replica, consumers);
  if (!walk.ok()) {
    // Books that miss invoices must not be taken for the quarter's.
    folder->Abandon();
    return failed(datafiles::DataFileStatusText(walk.path, walk.status) + ": run stopped" + kept);
  }

  const BookTotals& t = books.totals();
  if (t.owners == 0) {
    folder->Abandon();
    return failed("no owner from " + Owner(request.from_owner) + " to " + Owner(request.to_owner) +
                  " has invoices from " + period + ": no books written" + kept);
  }
  if (Status s = validation.Finish(); !s.ok()) return failed("the validation report is not written: " + s.message() + kept);
  if (Status s = manifest.Finish(); !s.ok()) return failed("the manifest is not written: " + s.message() + kept);
  std::vector<std::string> set = books.written();
  set.push_back(std::string(kValidationName));
  set.push_back(std::string(kManifestName));
  if (Status s = folder->Commit(set); !s.ok()) return failed(s.message());
  out << "zovllibres: " << t.books() << " books for " << period << " in " << folder->shown() << ": " << t.valid
      << " valid, " << t.invalid << " invalid; " << t.skipped << " owners skipped, " << t.failed
      << " books not written; " << t.rows << " rows; see manifest.csv and validation.csv\n";
  return t.invalid + t.skipped + t.failed == 0 ? BooksOutcome::kAllValid : BooksOutcome::kProblems;
}

}  // namespace zov::books
