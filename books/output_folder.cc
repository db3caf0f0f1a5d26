#include "books/output_folder.h"

#include <algorithm>
#include <set>

namespace zov::books {

namespace {

using platform::Status;

// The journal: a first line naming it, one line per step, and a last line
// that only a journal written whole has. Names are code page 850, as every
// name inside; a plain file name holds no line end.
constexpr std::string_view kJournalEnd = "end";
constexpr std::string_view kDeleteStep = "delete ";
constexpr std::string_view kRenameStep = "rename ";

std::string JournalHeading(const std::string& program) { return program + " commit"; }

// `dir` without the separators at its end (a root keeps its own).
std::string WithoutEndSeparators(std::string_view dir) {
  std::string d(dir);
  while (d.size() > 1 && platform::IsNameSeparator(d.back()) && d[d.size() - 2] != ':') d.pop_back();
  return d;
}

// The names of a folder's entries that are not folders, and of those that
// are, exactly as stored.
Status Entries(platform::FileSystem& fs, const std::string& dir, std::set<std::string>* files,
               std::set<std::string>* folders = nullptr) {
  std::vector<platform::DirEntry> entries;
  if (Status s = fs.ListDirectory(dir, &entries); !s.ok()) return s;
  for (const platform::DirEntry& e : entries) {
    if ((e.attributes & platform::kAttrDirectory) == 0) {
      files->insert(e.name);
    } else if (folders != nullptr) {
      folders->insert(e.name);
    }
  }
  return Status::Ok();
}

Status WithContext(const Status& s, const std::string& context) {
  return Status::Error(s.code(), context + ": " + s.message());
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return platform::IsNameSeparator(c) || static_cast<unsigned char>(c) < 32 || c == '\x7F';
  });
}

OutputFolder::OutputFolder(platform::FileSystem& fs, const OutputFolderSpec& spec, std::string dir)
    : fs_(fs),
      spec_(spec),
      dir_(dir + "/"),
      staging_(dir_ + spec.program + ".new/"),
      journal_(dir_ + spec.program + ".journal"),
      shown_(fs.Resolve(dir)) {}

OutputFolder::~OutputFolder() {
  if (stage_ == Stage::kOpen) Abandon();
}

Status OutputFolder::Open(platform::FileSystem& fs, platform::Clock& clock, std::string_view dir,
                          const OutputFolderSpec& spec, std::string_view note, std::unique_ptr<OutputFolder>* folder) {
  const std::string d = WithoutEndSeparators(dir);
  std::unique_ptr<OutputFolder> f(new OutputFolder(fs, spec, d));
  // Made here, or by another run a moment ago: either way a folder.
  if (const Status made = fs.CreateDirectory(d); !made.ok()) {
    platform::DirEntry entry;
    if (!fs.FindFirst(d, &entry).ok()) return WithContext(made, "cannot make the output folder " + f->shown_);
    if ((entry.attributes & platform::kAttrDirectory) == 0)
      return Status::InvalidArgument(f->shown_ + " is not a folder");
  }
  // Another program's set is left alone, and nothing of this run is made
  // beside it.
  std::string manifest;
  if (!spec.manifest_heading.empty() && fs.ReadFile(f->dir_ + spec.manifest, &manifest).ok() &&
      !manifest.starts_with(spec.manifest_heading)) {
    return Status::InvalidArgument(f->shown_ + " holds another program's " + spec.manifest + ": " + spec.program +
                                   " needs a folder of its own");
  }
  const std::string lock_file = f->dir_ + spec.program + ".lck";
  if (Status s = fs.TryLockFile(lock_file, note, &f->lock_); !s.ok()) {
    if (!s.IsBusy()) return WithContext(s, "cannot lock the output folder " + f->shown_);
    // The holder writes its line right after taking the lock: a run that
    // met it in between waits a moment for the line, to name it.
    constexpr int kHolderLineTries = 20, kHolderLinePauseMillis = 50;
    std::string holder = platform::ReadLockHolder(fs, lock_file);
    for (int i = 0; holder.empty() && i < kHolderLineTries; ++i) {
      clock.SleepMillis(kHolderLinePauseMillis);
      holder = platform::ReadLockHolder(fs, lock_file);
    }
    return Status::Busy("another run of " + spec.program + " is writing in " + f->shown_ + " (" +
                        (holder.empty() ? std::string("its holder is not known") : holder) + ")");
  }
  // Until the staging folder is this run's own, nothing in it may go: it
  // may be another run's, or hold the files of a journal not yet finished.
  if (Status s = f->Recover(); !s.ok())
    return WithContext(s, "cannot finish the commit that a stopped run left in " + f->shown_);
  if (Status s = f->ClearStaging(); !s.ok()) return s;
  f->stage_ = Stage::kOpen;
  *folder = std::move(f);
  return Status::Ok();
}

bool OutputFolder::Reserved(std::string_view name) const {
  const std::string& p = spec_.program;
  return name == p + ".lck" || name == p + ".journal" || name == p + ".new";
}

// Finishes a commit that a journal records. A journal without its last
// line was cut while being written: the commit never began, and the
// previous set stands.
Status OutputFolder::Recover() {
  std::string text;
  if (Status s = fs_.ReadFile(journal_, &text); !s.ok()) return s.IsNotFound() ? Status::Ok() : s;
  std::vector<std::string> deletions, renames;
  bool whole = false;
  std::size_t start = 0;
  for (int line = 0; start < text.size(); ++line) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view l = std::string_view(text).substr(start, end - start);
    start = end + 1;
    if (line == 0) {
      if (l != JournalHeading(spec_.program)) break;
    } else if (l == kJournalEnd) {
      whole = start >= text.size();
      break;
    } else if (l.starts_with(kDeleteStep) && IsPlainFileName(l.substr(kDeleteStep.size()))) {
      deletions.emplace_back(l.substr(kDeleteStep.size()));
    } else if (l.starts_with(kRenameStep) && IsPlainFileName(l.substr(kRenameStep.size()))) {
      renames.emplace_back(l.substr(kRenameStep.size()));
    } else {
      break;
    }
  }
  if (whole) {
    if (Status s = Replay(deletions, renames); !s.ok()) return s;
  }
  if (Status s = fs_.DeleteFile(journal_); !s.ok() && !s.IsNotFound()) return s;
  return Status::Ok();
}

// The steps of a journal, again from wherever a stopped run left them:
// the deletions come before every rename, so a rename already made (its
// staged file gone) means the deletions are done, and no deletion ever
// meets a new file of the same name, whatever the system's letter case.
Status OutputFolder::Replay(const std::vector<std::string>& deletions, const std::vector<std::string>& renames) {
  std::set<std::string> staged;
  if (Status s = Entries(fs_, staging_, &staged); !s.ok() && !s.IsNotFound()) return s;
  const bool renaming = std::any_of(renames.begin(), renames.end(),
                                    [&](const std::string& r) { return staged.count(r) == 0; });
  if (!renaming) {
    std::set<std::string> present;
    if (Status s = Entries(fs_, dir_, &present); !s.ok()) return s;
    for (const std::string& d : deletions) {
      if (present.count(d) == 0 || Reserved(d)) continue;
      if (Status s = fs_.DeleteFile(dir_ + d); !s.ok() && !s.IsNotFound()) return s;
    }
  }
  for (const std::string& r : renames) {
    if (staged.count(r) == 0 || Reserved(r)) continue;
    if (Status s = fs_.RenameToExactName(staging_ + r, dir_ + r); !s.ok()) return s;
  }
  return fs_.SyncDirectoryOf(dir_ + spec_.manifest);
}

// Makes the staging folder, empty: what a stopped run left there goes.
Status OutputFolder::ClearStaging() {
  const std::string folder = WithoutEndSeparators(staging_);
  platform::DirEntry entry;
  if (!fs_.FindFirst(folder, &entry).ok()) {
    if (Status s = fs_.CreateDirectory(folder); !s.ok())
      return WithContext(s, "cannot make the staging folder in " + shown_);
    return Status::Ok();
  }
  if ((entry.attributes & platform::kAttrDirectory) == 0)
    return Status::InvalidArgument(fs_.Resolve(folder) + " is not a folder; it is " + spec_.program +
                                   "'s own name: remove it");
  std::set<std::string> files, folders;
  Status s = Entries(fs_, staging_, &files, &folders);
  for (const std::string& f : files) {
    if (s.ok()) s = fs_.DeleteFile(staging_ + f);
  }
  for (const std::string& f : folders) {
    if (s.ok()) s = fs_.RemoveDirectory(staging_ + f);
  }
  if (!s.ok()) return WithContext(s, "cannot empty " + fs_.Resolve(folder) + " of what a stopped run left");
  return Status::Ok();
}

void OutputFolder::Abandon() {
  if (stage_ != Stage::kOpen) return;
  stage_ = Stage::kDone;
  std::set<std::string> files;
  if (Entries(fs_, staging_, &files).ok()) {
    for (const std::string& f : files) fs_.DeleteFile(staging_ + f).IgnoreError();
  }
  fs_.RemoveDirectory(WithoutEndSeparators(staging_)).IgnoreError();
}

Status OutputFolder::Commit(const std::vector<std::string>& names) {
  if (stage_ != Stage::kOpen) return Status::InvalidArgument(shown_ + ": the folder was committed or abandoned");
  auto failed = [this](const Status& s, const std::string& what) {
    Abandon();
    return Status::Error(s.code(), what + ": " + s.message() + "; nothing in " + shown_ + " changed");
  };
  std::set<std::string> staged;
  if (Status s = Entries(fs_, staging_, &staged); !s.ok()) return failed(s, "cannot list the new files");
  const std::set<std::string> fresh(names.begin(), names.end());
  for (const std::string& n : names) {
    if (!IsPlainFileName(n) || Reserved(n) || staged.count(n) == 0)
      return failed(Status::InvalidArgument(n), "not a new file of this run");
  }
  if (fresh.count(spec_.manifest) == 0 || fresh.size() != names.size())
    return failed(Status::InvalidArgument(spec_.manifest), "the new set needs its manifest once");

  // The new files' data and names durable before anything is replaced.
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back(NewFile(n));
  Status s = fs_.SyncFiles(paths);
  if (s.ok()) s = fs_.SyncDirectoryOf(NewFile(spec_.manifest));
  if (!s.ok()) return failed(s, "cannot make the new files durable");

  // The previous set, as its manifest lists it.
  std::string previous;
  if (Status r = fs_.ReadFile(dir_ + spec_.manifest, &previous); !r.ok() && !r.IsNotFound())
    return failed(r, "cannot read the previous manifest");
  std::vector<std::string> deletions;
  for (std::string& n : spec_.listed_files(previous)) {
    if (IsPlainFileName(n) && !Reserved(n) && fresh.count(n) == 0 &&
        std::find(deletions.begin(), deletions.end(), n) == deletions.end())
      deletions.push_back(std::move(n));
  }
  std::vector<std::string> renames;
  for (const std::string& n : names) {
    if (n != spec_.manifest) renames.push_back(n);
  }
  renames.push_back(spec_.manifest);

  std::string journal = JournalHeading(spec_.program) + "\n";
  for (const std::string& d : deletions) journal += std::string(kDeleteStep) + d + "\n";
  for (const std::string& r : renames) journal += std::string(kRenameStep) + r + "\n";
  journal += std::string(kJournalEnd) + "\n";
  std::unique_ptr<platform::ByteFile> file;
  s = fs_.OpenByteFile(journal_, platform::OpenMode::kCreateNew, &file);
  if (s.ok()) s = file->Write(0, journal);
  if (s.ok()) s = file->Sync();
  if (file) {
    const Status closed = file->Close();
    if (s.ok()) s = closed;
  }
  if (s.ok()) s = fs_.SyncDirectoryOf(journal_);
  if (!s.ok()) {
    fs_.DeleteFile(journal_).IgnoreError();
    return failed(s, "cannot write the commit's journal");
  }

  // From here on the journal decides: only renames and deletions.
  stage_ = Stage::kCommitting;
  s = Replay(deletions, renames);
  if (s.ok()) s = fs_.DeleteFile(journal_);
  if (!s.ok()) {
    return Status::Error(s.code(), "the commit in " + shown_ + " stopped before its end: " + s.message() +
                                       "; its journal " + spec_.program +
                                       ".journal stays, and the next run into the folder finishes the commit");
  }
  stage_ = Stage::kDone;
  // Whatever was staged and not named goes with the staging folder.
  staged.clear();
  if (Entries(fs_, staging_, &staged).ok()) {
    for (const std::string& f : staged) fs_.DeleteFile(staging_ + f).IgnoreError();
  }
  fs_.RemoveDirectory(WithoutEndSeparators(staging_)).IgnoreError();
  return Status::Ok();
}

}  // namespace zov::books
