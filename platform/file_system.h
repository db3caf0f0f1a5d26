// Files and directories, the only way the program touches the file system.
//
// Names are the suite's: "\" and "/" both separate directories, and a
// component that does not exist with its exact letter case is matched to an
// existing one that differs only in case (the suite's files come from a
// case-insensitive system); that match never lands on a symbolic link, so a
// link planted under another letter case is not taken for the file. New
// files keep the case they are given.
//
// Names are code page 850 text, as all text inside the program; each
// implementation converts them to the system's names and back at its own
// edge. A directory entry whose name code page 850 cannot hold is not
// listed (the program could not name it), and a current directory such a
// name is InvalidArgument.
//
// Only regular files are opened: a FIFO, a device or a directory in place of
// a file is InvalidArgument at once (never a wait for a writer that does not
// come). Files opened for writing from the start (kCreateNew,
// kCreateTruncate, OpenAppendFile) are never opened through a link: a link
// under the exact name is InvalidArgument.
//
//   std::unique_ptr<ByteFile> f;
//   Status s = fs.OpenByteFile(root + "DADES\\VParam.tab", OpenMode::kReadWriteCreate, &f);
#ifndef ZOV_PLATFORM_FILE_SYSTEM_H_
#define ZOV_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/status.h"

namespace zov::platform {

// Directory-entry attributes, with the bit values the suite's code expects.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrVolumeLabel = 0x08,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct DirEntry {
  std::string name;     // the entry's name as stored, without directory
  uint32_t attributes;  // FileAttribute bits
  uint64_t size;
};

enum class OpenMode {
  kReadOnly,         // must exist
  kReadWriteCreate,  // created empty when missing; content kept
  kCreateTruncate,   // created or emptied, for writing; owner-only when created
  // Created here, empty, for writing, readable and writable by its owner
  // only; AlreadyExists when any entry (a link included) has the name. The
  // directory is matched without regard to case, the last component is
  // taken exactly as given and no directory is listed: the cheap, race-free
  // way to take a fresh name.
  kCreateNew,
  // As kCreateNew, but with the permissions any new file gets here (0644
  // less the umask on POSIX): for settings files that the other users of an
  // installation read, which hold no tax data.
  kCreateNewShared,
};

// A file open for byte access at explicit positions. Closed by Close() or the
// destructor; a write is only known to be durable after Sync() returned ok.
class ByteFile {
 public:
  virtual ~ByteFile() = default;
  // Reads up to n bytes at offset into *out (replacing it); fewer at the end.
  virtual Status Read(uint64_t offset, std::size_t n, std::string* out) = 0;
  virtual Status Write(uint64_t offset, std::string_view data) = 0;
  virtual Status Size(uint64_t* size) = 0;
  virtual Status Sync() = 0;
  virtual Status Close() = 0;
};

// A file open for appending: each Append writes its data at the end of the
// file at once (no buffering in the program), so readers see whole lines.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  virtual Status Append(std::string_view data) = 0;
  virtual Status Close() = 0;
};

// Appends to a file opened as a ByteFile, from `offset` on (its size, for
// a file that is only appended to). Closing it closes the file.
std::unique_ptr<AppendFile> AppendToByteFile(std::unique_ptr<ByteFile> file, uint64_t offset);

// A lock taken with FileSystem::TryLockFile. Destroying it releases the
// lock; the lock file stays, as the place of the next lock.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The path the system knows a suite name by, as code page 850 text:
  // separators converted, each component matched without regard to case
  // when the exact one is missing. For naming a file to another program or
  // library (whose own edge converts it) and in messages.
  virtual std::string Resolve(std::string_view name) = 0;

  virtual Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) = 0;
  // The whole file, read through OpenByteFile.
  virtual Status ReadFile(std::string_view name, std::string* contents);
  // Creates or empties the file and writes data through OpenByteFile (not
  // atomic: see WriteFileAtomically for files other programs read at any
  // moment).
  virtual Status WriteFile(std::string_view name, std::string_view data);
  // Opens the file for appending, creating it when missing.
  virtual Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) = 0;
  virtual Status DeleteFile(std::string_view name) = 0;
  // Atomically replaces `to` (when it exists) with `from`.
  virtual Status RenameFile(std::string_view from, std::string_view to) = 0;
  // The same, with `to`'s last component taken exactly as given, like a new
  // name: an entry that differs from it only in letter case is not looked
  // for (that costs a listing of the folder) and is left alone. For names a
  // program makes itself. Where names ignore case anyway, RenameFile.
  virtual Status RenameToExactName(std::string_view from, std::string_view to) { return RenameFile(from, to); }
  // Gives `from` the name `to` only while nothing has that name: when any
  // entry (a link included) has it, AlreadyExists and nothing changed; an
  // existing entry is never replaced, even by a rename racing with this
  // one. `to`'s last component is taken exactly as given, as in
  // RenameToExactName. For a file that gets its final name only once
  // complete, where another file of that name must stay as it is. Files
  // always; a directory where the system renames one without replacing
  // (Linux, Windows).
  virtual Status RenameNoReplace(std::string_view from, std::string_view to) = 0;
  // The first entry matching pattern, whose last component may hold the
  // wildcards "*" and "?" (matched without regard to case). NotFound if none.
  // A symbolic link is described as itself: never with kAttrDirectory.
  virtual Status FindFirst(std::string_view pattern, DirEntry* entry) = 0;
  // Every entry of a directory except "." and "..", in no particular order.
  virtual Status ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) = 0;
  virtual Status GetCurrentDirectory(std::string* dir) = 0;
  virtual Status SetCurrentDirectory(std::string_view dir) = 0;
  virtual Status CreateDirectory(std::string_view dir) = 0;
  // Removes an empty directory (never what a link points to).
  virtual Status RemoveDirectory(std::string_view dir) = 0;
  // Makes the directory entries of the directory holding `name` durable (the
  // names it holds after creations, renames and deletions).
  virtual Status SyncDirectoryOf(std::string_view name) = 0;
  // Makes the data of every named file durable, as ByteFile::Sync does for
  // one open file, all of them together: the system's implementations sync
  // several files at once (SyncInParallel), so that the system writes them
  // in one go, far faster than thousands of syncs one after another. Each
  // must name an existing regular file. Every file is tried; the first
  // failure is returned. The base implementation opens each for reading
  // and syncs it, one after another.
  virtual Status SyncFiles(const std::vector<std::string>& names);
  // Gives file `to` the permissions of file `from` and, where the system
  // allows it, its owner and group (a replacement then looks like the file it
  // replaces). An owner the caller may not give is left as it is.
  virtual Status CopyPermissions(std::string_view from, std::string_view to) = 0;

  // Takes the exclusive lock of the lock file `name` without waiting: Busy
  // when another open holds it, in this process or another; NotFound when
  // its directory is missing; InvalidArgument when a link, a directory or a
  // device has the name (never written through). The lock file is created
  // when missing, readable and writable by its owner only. The lock belongs
  // to the open file behind *lock: destroying *lock releases it, and so
  // does the end of the process however it ends, so a killed holder leaves
  // no lock behind. On success the lock file holds one line saying who holds
  // it (LockHolderLine(note)), which others read with ReadLockHolder while
  // they are refused. One run at a time in a folder:
  //
  //   std::unique_ptr<FileLock> lock;
  //   Status s = fs.TryLockFile(dir + "zovllibres.lck", "started 2026-03-05 10:00:00", &lock);
  //   if (s.IsBusy()) fail("in use by " + ReadLockHolder(fs, dir + "zovllibres.lck"));
  virtual Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) = 0;
};

// Forwards every call to another FileSystem, which must outlive it. Wrappers
// that change a few calls (fault injection, recording) derive from it and
// override only those.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem* target) : target_(target) {}
  FileSystem* target() const { return target_; }

  std::string Resolve(std::string_view name) override { return target_->Resolve(name); }
  Status OpenByteFile(std::string_view name, OpenMode mode, std::unique_ptr<ByteFile>* file) override {
    return target_->OpenByteFile(name, mode, file);
  }
  Status ReadFile(std::string_view name, std::string* contents) override { return target_->ReadFile(name, contents); }
  Status WriteFile(std::string_view name, std::string_view data) override { return target_->WriteFile(name, data); }
  Status OpenAppendFile(std::string_view name, std::unique_ptr<AppendFile>* file) override {
    return target_->OpenAppendFile(name, file);
  }
  Status DeleteFile(std::string_view name) override { return target_->DeleteFile(name); }
  Status RenameFile(std::string_view from, std::string_view to) override { return target_->RenameFile(from, to); }
  Status RenameToExactName(std::string_view from, std::string_view to) override {
    return target_->RenameToExactName(from, to);
  }
  Status FindFirst(std::string_view pattern, DirEntry* entry) override { return target_->FindFirst(pattern, entry); }
  Status ListDirectory(std::string_view dir, std::vector<DirEntry>* entries) override {
    return target_->ListDirectory(dir, entries);
  }
  Status GetCurrentDirectory(std::string* dir) override { return target_->GetCurrentDirectory(dir); }
  Status SetCurrentDirectory(std::string_view dir) override { return target_->SetCurrentDirectory(dir); }
  Status CreateDirectory(std::string_view dir) override { return target_->CreateDirectory(dir); }
  Status RemoveDirectory(std::string_view dir) override { return target_->RemoveDirectory(dir); }
  Status SyncDirectoryOf(std::string_view name) override { return target_->SyncDirectoryOf(name); }
  Status SyncFiles(const std::vector<std::string>& names) override { return target_->SyncFiles(names); }
  Status CopyPermissions(std::string_view from, std::string_view to) override {
    return target_->CopyPermissions(from, to);
  }
  Status RenameNoReplace(std::string_view from, std::string_view to) override {
    return target_->RenameNoReplace(from, to);
  }
  Status TryLockFile(std::string_view name, std::string_view note, std::unique_ptr<FileLock>* lock) override {
    return target_->TryLockFile(name, note, lock);
  }

 private:
  FileSystem* target_;
};

// Helpers built on the interface.

// Reads a text file into lines; "\n" and "\r\n" both end a line, and a last
// line without an end counts.
Status ReadTextLines(FileSystem& fs, std::string_view name, std::vector<std::string>* lines);

// Writes data to a new temporary file in the same directory (8 random digits
// and ".tmp", taken by CreateUniqueFile), syncs it, gives it the permissions
// and owner of the file it replaces (a new file gets the usual permissions,
// as kCreateNewShared) and renames it over `name`: readers see
// the old file or the new one, never a part. A read-only file is not
// replaced (PermissionDenied): other programs of the suite could not replace
// it either. On failure the old file is untouched and the temporary file
// removed.
Status WriteFileAtomically(FileSystem& fs, std::string_view name, std::string_view data);

// The shape of a random name: `head` (a directory prefix and a fixed start),
// then `count` characters drawn with equal chance from `alphabet`, then
// `tail`.
struct RandomNameShape {
  std::string head;
  std::string_view alphabet;
  std::size_t count = 0;
  std::string tail;
};

// Creates a new file with a name of that shape (OpenMode::kCreateNew: empty,
// owner-only, never an existing entry, so two processes never share one),
// from a generator seeded with `seed`: a name in use is followed by the next
// one of the same sequence. Any error other than AlreadyExists ends the
// search and is returned with *name holding the name tried. After `attempts`
// names in use: IoError, *name empty. On success *file is open on the file.
// `mode` may be kCreateNewShared instead.
Status CreateUniqueFile(FileSystem& fs, const RandomNameShape& shape, uint32_t seed, int attempts,
                        std::string* name, std::unique_ptr<ByteFile>* file,
                        OpenMode mode = OpenMode::kCreateNew);

// Renames `from` to a new name of that shape with RenameNoReplace, walking
// the names as CreateUniqueFile does: a name in use is followed by the next
// one. Any error other than AlreadyExists ends the search and is returned
// with *name holding the name tried. After `attempts` names in use: IoError,
// *name empty. `from` keeps its name unless the result is ok.
Status RenameToUniqueName(FileSystem& fs, std::string_view from, const RandomNameShape& shape, uint32_t seed,
                          int attempts, std::string* name);

// A seed from the system's random source: different in every call and every
// process, unlike the time of day.
uint32_t RandomSeed();

// The line a lock file holds while locked: "process <this process's id>",
// then ", " and `note` when that is not empty.
std::string LockHolderLine(std::string_view note);

// The note a run gives the lock it takes, for those it keeps waiting:
// "started 2026-03-05 14:03:22", the clock's local date and time now.
std::string LockStartNote(Clock& clock);

// What the lock file `name` says of its holder: its first line, at most 200
// bytes, control bytes blanked; empty when it says nothing yet or cannot be
// read.
std::string ReadLockHolder(FileSystem& fs, std::string_view name);

// How WaitForFileLock waits.
struct LockWait {
  int32_t wait_millis = 0;   // the bound: given up after this long
  int32_t poll_millis = 100;  // the pause between two tries
  // Called once, when the lock is first found held (not when wait_millis
  // is 0), with what the lock file says of its holder.
  std::function<void(const std::string& holder)> waiting;
};

// TryLockFile, tried again every poll_millis (through `clock`) while the
// lock is held elsewhere, until it is taken or wait_millis have passed:
// then Busy, with *holder (when given) saying who held it last. Any error
// other than Busy is returned at once.
Status WaitForFileLock(FileSystem& fs, Clock& clock, std::string_view name, std::string_view note,
                       const LockWait& wait, std::unique_ptr<FileLock>* lock, std::string* holder = nullptr);

// For implementations of FileSystem::SyncFiles: `sync_one` run for every
// name, on a few threads at once (it must be safe to call so); the first
// failure (in the names' order) is returned.
Status SyncInParallel(const std::vector<std::string>& names,
                      const std::function<Status(const std::string& name)>& sync_one);

// For implementations on the system's file lock (system_file_lock.h): the
// lock of TryLockFile on the lock file at the native `path`, named `name`
// in messages.
Status TrySystemFileLock(const std::string& path, std::string_view name, std::string_view note,
                         std::unique_ptr<FileLock>* lock);

// For implementations on a case-sensitive store: the native path of a suite
// name. "\" becomes "/"; walking from the first component, each one that
// does not exist with its exact case is replaced by the entry of its
// directory that `find_entry` finds equal without regard to ASCII case; from
// the first one without such an entry on, the rest stays as given ("." and
// ".." always do). `exists(path)` says whether a native path names an entry;
// `find_entry(dir, component, &found)` looks in a directory prefix ("" for
// the current directory, else ending in "/").
std::string ResolveIgnoringCase(
    std::string_view name, const std::function<bool(const std::string& path)>& exists,
    const std::function<bool(const std::string& dir, std::string_view component, std::string* found)>& find_entry);

// For implementations without a directory search of their own: FindFirst of
// a pattern with wildcards, as the first entry of ListDirectory of the
// pattern's directory whose name matches its last component.
Status FindFirstByListing(FileSystem& fs, std::string_view pattern, DirEntry* entry);

// Whether `name` matches `pattern` ("*" any run, "?" one character), without
// regard to ASCII case: the last component of a FindFirst pattern.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Whether c ends a directory in a suite name: ":" (after a drive), "\" or "/".
inline bool IsNameSeparator(char c) { return c == ':' || c == '\\' || c == '/'; }

// Whether a directory prefix ends in a separator, so that file names can be
// appended to it directly. False for the empty text.
inline bool EndsInSeparator(std::string_view dir) { return !dir.empty() && IsNameSeparator(dir.back()); }

// Whether `name` names the same file whatever the current directory: it
// begins with a separator, or on Windows with a drive letter and ":" and a
// separator.
bool IsAbsolutePath(std::string_view name);

// The directory part of a suite name, up to and including its last ":", "\"
// or "/"; empty when there is none.
std::string DirectoryPart(std::string_view name);

// `name` as it names the same entry whatever the current directory becomes:
// unchanged when empty, absolute (IsAbsolutePath) or tied to a drive
// ("C:..."), else the current directory, a separator and `name`; unchanged
// too when the current directory cannot be read.
std::string AbsoluteName(FileSystem& fs, std::string_view name);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_FILE_SYSTEM_H_
