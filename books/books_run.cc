#include "books/books_run.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

#include "books/book_consumer.h"
#include "books/run_setup.h"
#include "books/run_time.h"
#include "datafiles/data_files.h"
#include "format/dates.h"
#include "format/packed.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "register/walk_events.h"

namespace zov::books {

namespace {

using platform::Status;

std::string Owner(int code) { return format::ZeroPad(code, 4); }

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

  // The installation, found as the register finds it, and its NIF file.
  RunSetUp setup(env);
  if (Status s = setup.FindInstallation(); !s.ok()) return failed(s.message());
  if (Status s = setup.ReadNifs(request.nif_file); !s.ok()) return failed(s.message());

  // The output folder, the run's alone from here on, and the two reports
  // among its new files, before anything is read.
  const OutputFolderSpec folder_spec{"zovllibres", std::string(kManifestName), ManifestBooks,
                                     ManifestHeadingStart(kManifestHeading, kManifestFileColumn + 1)};
  std::unique_ptr<OutputFolder> folder;
  if (Status s = OutputFolder::Open(fs, *env.clock, request.out_dir, folder_spec, platform::LockStartNote(*env.clock), &folder);
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
  if (Status s = setup.OpenDataFiles(); !s.ok()) return failed(s.message());

  // The register's selection over the book's period: every invoice of every
  // class from 1 January to the quarter's end, owners flagged S and N both.
  settings.period = BookPeriod{request.year, request.quarter};
  const std::string period = format::DateNumberSlashText(settings.period.first_date()) + " to " +
                             format::DateNumberSlashText(settings.period.last_date());
  settings.period_text = period;
  settings.epigraph = request.epigraph;
  settings.nifs = &setup.nifs();
  settings.nif_file_name = setup.nif_path();
  const reg::RunParameters params =
      YearSelection(settings.period.last_date(), request.from_owner, request.to_owner);

  BookConsumer books(fs, settings, manifest, validation);
  if (progress) {
    std::vector<std::string> owners = setup.OwnersInRange(params);
    books.OnOwner([&progress, owners = std::move(owners)](const std::string& owner) {
      const auto done = std::lower_bound(owners.begin(), owners.end(), owner) - owners.begin();
      progress(done, static_cast<int64_t>(owners.size()));
    });
  }
  reg::WalkConsumer* consumers[] = {&books};
  // The rows are mapped, checked and written on a second thread while the
  // walk reads on.
  auto replica = std::make_unique<reg::RecordVariables>(setup.records());
  const reg::WalkFailure walk =
      reg::WalkWithConsumerThread(env, setup.table(), setup.records(), params, *replica, consumers);
  if (!walk.ok()) {
    // Books that miss invoices must not be taken for the quarter's: what is
    // staged goes with the folder, after every file of the run is closed
    // (declared after it; an open file cannot be removed everywhere).
    return failed(datafiles::DataFileStatusText(walk.path, walk.status) + ": run stopped" + kept);
  }

  const BookTotals& t = books.totals();
  if (t.owners == 0) {
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
