#include "books/books_run.h"

#include <algorithm>
#include <memory>
#include <ostream>

#include "books/book_consumer.h"
#include "books/run_setup.h"
#include "books/run_time.h"
#include "datafiles/data_files.h"
#include "format/dates.h"
#include "format/packed.h"
#include "platform/code_page.h"
#include "register/walk_events.h"

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

  // The installation, found as the register finds it, its NIF file and
  // the output folder with the two reports, before anything is read.
  RunSetUp setup(env);
  if (Status s = setup.FindInstallation(); !s.ok()) return cannot_run(s.message());
  if (Status s = setup.ReadNifs(request.nif_file); !s.ok()) return cannot_run(s.message());
  if (Status s = MakeOutputFolder(fs, request.out_dir, &settings.out_dir); !s.ok()) return cannot_run(s.message());
  ReportFile manifest(fs, settings.out_dir + "manifest.csv");
  ReportFile validation(fs, settings.out_dir + "validation.csv");
  if (Status s = manifest.Open(kManifestHeading); !s.ok())
    return cannot_run("cannot write in the output folder: " + s.message());
  if (Status s = validation.Open(kValidationHeading); !s.ok())
    return cannot_run("cannot write in the output folder: " + s.message());
  if (Status s = setup.OpenDataFiles(); !s.ok()) return cannot_run(platform::Cp850ToUtf8(s.message()));

  // The register's selection over the book's period: every invoice of every
  // class from 1 January to the quarter's end, owners flagged S and N both.
  settings.period = BookPeriod{request.year, request.quarter};
  settings.epigraph = request.epigraph;
  settings.nifs = &setup.nifs();
  settings.nif_file_name = platform::Utf8ToCp850(setup.nif_path());
  const reg::RunParameters params =
      YearSelection(settings.period.last_date(), request.from_owner, request.to_owner);

  BookConsumer books(fs, settings, manifest, validation);
  ProgressBar bar(err, progress ? setup.OwnersInRange(params) : std::vector<std::string>());
  if (progress) books.OnOwner([&bar](const std::string& owner) { bar.At(owner); });
  reg::WalkConsumer* consumers[] = {&books};
  // The rows are mapped, checked and written on a second thread while the
  // walk reads on.
  auto replica = std::make_unique<reg::RecordVariables>(setup.records());
  const reg::WalkFailure walk =
      reg::WalkWithConsumerThread(env, setup.table(), setup.records(), params, *replica, consumers);
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
