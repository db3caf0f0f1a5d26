// An output folder that a program fills with a set of files described by a
// manifest (the books and their reports; a return's files), replaced as a
// whole by each run: after a run the folder holds exactly the set its
// manifest describes, and a run that stops in any way (a failure, a kill at
// any moment) leaves the previous complete set or the new complete set.
//
// The contract, for a program with its own manifest and file set:
//
//   - Open makes the folder when missing (race-free: a folder that another
//     run made meanwhile is taken as it is) and takes its lock,
//     "<program>.lck" in it, without waiting: a second run into the same
//     folder is refused at once (Busy, the message naming the run that holds
//     it: its process and start) and has changed nothing. The lock is the
//     system's advisory lock, released however the holder ends.
//   - Holding the lock, Open first finishes a commit that a stopped run
//     left (its journal, "<program>.journal"), then empties the staging
//     folder "<program>.new" of whatever a stopped run left there.
//   - The run writes each new file complete at NewFile(name), in the staging
//     folder, created new (it need not sync it). Nothing in the folder's own
//     set changes while the run works; Abandon (or destroying the folder
//     uncommitted) removes the staged files and leaves the set as it was.
//   - Commit(names) replaces the set with the staged files `names` (the
//     manifest among them): it syncs them all together, reads the previous
//     set from the previous manifest (spec.listed_files), writes and syncs
//     the journal (which files to delete, which to rename), then deletes
//     the previous set's files that the new one does not have, renames the
//     new files into place (the manifest last), and removes the journal.
//     No data is written between the journal and its removal: that window
//     holds renames and deletions only. A folder holding a journal is a
//     commit cut short: the next Open into it finishes it first.
//   - Files that are not in the previous manifest's list, and not the
//     reserved names above, are never touched: a user's own files stay.
//
//   OutputFolderSpec spec{"zovllibres", "manifest.csv", ListedBooks};
//   std::unique_ptr<OutputFolder> folder;
//   Status s = OutputFolder::Open(fs, clock, "/srv/books", spec, LockStartNote(clock), &folder);
//   if (s.IsBusy()) ... s.message() names the run that holds the folder;
//   write folder->NewFile("a.xlsx"), folder->NewFile("manifest.csv"), ...;
//   s = folder->Commit({"a.xlsx", "manifest.csv"});
//
// One thread opens, commits and abandons; NewFile may be called from any.
#ifndef ZOV_BOOKS_OUTPUT_FOLDER_H_
#define ZOV_BOOKS_OUTPUT_FOLDER_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace zov::books {

struct OutputFolderSpec {
  // Names the lock, the journal and the staging folder, and the messages.
  std::string program;
  // The manifest's file name; it is renamed into place last.
  std::string manifest;
  // The names of the files a manifest lists, from its bytes (the reports
  // beside it need not be listed: they are in every new set). Names that
  // are not plain file names, and the reserved ones, are ignored.
  std::function<std::vector<std::string>(std::string_view manifest_bytes)> listed_files;
  // How the first line of this program's manifest begins. A folder whose
  // manifest begins otherwise holds another program's set (the books' and
  // the returns' manifests share a name): Open refuses it, as replacing that
  // manifest would leave the other set's files listed nowhere. Empty: any.
  std::string manifest_heading;
};

class OutputFolder {
 public:
  // `dir` is the folder as the user named it; `note` goes into the lock
  // file for others to read (platform::LockStartNote). Failures carry a
  // whole message naming the folder as the system writes it: Busy when
  // another run holds the folder; InvalidArgument when `dir` or the staging
  // folder's name is not a folder, or the folder holds another program's
  // manifest; else the failing call's status.
  // `clock` only times the short wait for a new holder's line, so that a
  // refusal names the run it met.
  [[nodiscard]] static platform::Status Open(platform::FileSystem& fs, platform::Clock& clock, std::string_view dir,
                                             const OutputFolderSpec& spec, std::string_view note,
                                             std::unique_ptr<OutputFolder>* folder);
  // Abandons what is staged unless Commit has begun (see Abandon); releases
  // the lock.
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  // Where the new file `name` (a plain file name) is written.
  std::string NewFile(std::string_view name) const { return staging_ + std::string(name); }
  // The folder as the system writes it, for messages.
  const std::string& shown() const { return shown_; }

  // Replaces the folder's set with the staged files `names`, which must
  // hold the manifest, be plain file names and exist in the staging folder
  // (anything else staged is dropped). On failure before the journal is
  // written, the previous set stands; after it, the journal stays and the
  // next Open finishes the commit (the message says so).
  [[nodiscard]] platform::Status Commit(const std::vector<std::string>& names);

  // Removes everything staged; the folder keeps its set. The staged files
  // must be closed by then: where an open file cannot be removed (Windows),
  // it and the staging folder would stay until the next run clears them.
  void Abandon();

 private:
  OutputFolder(platform::FileSystem& fs, const OutputFolderSpec& spec, std::string dir);
  platform::Status Recover();
  platform::Status ClearStaging();
  platform::Status Replay(const std::vector<std::string>& deletions, const std::vector<std::string>& renames);
  bool Reserved(std::string_view name) const;

  platform::FileSystem& fs_;
  const OutputFolderSpec spec_;
  const std::string dir_;      // ends in a separator
  const std::string staging_;  // ends in a separator
  const std::string journal_;
  std::string shown_;
  // kOpen only once the staging folder is this run's own (under its lock).
  enum class Stage { kOpen, kCommitting, kDone } stage_ = Stage::kDone;
  std::unique_ptr<platform::FileLock> lock_;
};

// Whether `name` is a plain file name in a folder: not empty, not "." or
// "..", no separator ("\", "/", ":") and no control byte.
bool IsPlainFileName(std::string_view name);

}  // namespace zov::books

#endif  // ZOV_BOOKS_OUTPUT_FOLDER_H_
