// File-name helpers of the suite's library: whether an ordinary file exists,
// a fresh random file name in a directory, and a person's name as part of a
// file name.
//
//   std::string csv = UniqueFileName(env, "/tmp", "", ".CSV");
//   // e.g. "/tmp\K3Z09QAB.CSV", created empty (the file system reads "\" as a
//   // separator)
//   FileNamePart("PUIG/FERRER, JOAN: ")  -> "PUIGFERRER, JOAN"
#ifndef ZOV_SESSION_FILE_NAMES_H_
#define ZOV_SESSION_FILE_NAMES_H_

#include <string>
#include <string_view>

#include "platform/env.h"
#include "platform/file_system.h"

namespace zov::session {

// True when the first directory entry matching `path` (its last component
// may hold "*" and "?") is an ordinary file (the archive attribute, or none
// of directory, volume label and archive) without the read-only, hidden and
// system attributes. No entry, or any file-system error, gives false.
bool FileExists(platform::FileSystem& fs, std::string_view path);

// Creates a new empty file (readable and writable by its owner only) and
// returns its path: directory + prefix + random characters (8 characters in
// all before the extension, each of "0"-"9" and "A"-"Z") + "." + extension.
// The name is taken by an exclusive create, so no existing entry (a
// read-only, hidden or system file, a directory, a link) is ever reused and
// two processes sharing the directory never get the same file.
//   - the three arguments are trimmed of blanks;
//   - a non-empty directory not ending in ":", "\" or "/" gets "\";
//   - only the prefix's first 3 characters and the extension's first 3 (after
//     dropping a leading ".") are used; an empty extension gives no dot.
// The generator is seeded from the system's random source; a name in use is
// followed by the next one of the same sequence. When the file cannot be
// created the name tried is returned (empty after 100,000 names in use), and
// the caller's open of it reports why. Uses env.fs.
// UniqueFile also hands over the new file, open (null when it could not be
// created), so that the caller need not open it again.
std::string UniqueFile(platform::Env& env, std::string_view directory, std::string_view prefix,
                       std::string_view extension, std::unique_ptr<platform::ByteFile>* file);
std::string UniqueFileName(platform::Env& env, std::string_view directory, std::string_view prefix,
                           std::string_view extension);

// A name (an owner's, in code page 850) as part of a file name that every
// system the suite runs on accepts: the characters \ / : * ? " < > |, control
// bytes and DEL are dropped; letters with accents, blanks and the rest are
// kept; the result is cut to `max_length` bytes, then blanks at either end
// and dots at its end are dropped (a name may not end in either). Callers put
// a fixed part before it, so it never stands alone as "." or "..".
std::string FileNamePart(std::string_view name, std::size_t max_length = std::string_view::npos);

// For a file that takes its unique name only once it is complete, so that
// the name never holds a file cut short by a killed run. The file is made
// as UniqueFile makes it, under the unique name it would get + ".tmp"
// (e.g. "/tmp/K3Z09QAB.CSV.tmp"), and returned with its path; when it
// cannot be made, *file is null and the name is the one tried, as with
// UniqueFile. A ".tmp" file that a killed run left
// stays as it is: other runs may share the directory, and nothing tells
// whether its writer still runs.
std::string UniqueTemporaryFile(platform::Env& env, std::string_view directory, std::string_view prefix,
                                std::string_view extension, std::unique_ptr<platform::ByteFile>* file);

// Gives the closed file `temporary` (from UniqueTemporaryFile with the same
// directory, prefix and extension) its unique name: its own name without
// ".tmp" while nobody has taken that name, else a new one of the same shape
// (platform RenameToUniqueName); an existing entry is never replaced. On
// success *name is the file's name; otherwise the file keeps its temporary
// name, and the status says why.
[[nodiscard]] platform::Status PublishUniqueFile(platform::Env& env, const std::string& temporary,
                                                 std::string_view directory, std::string_view prefix,
                                                 std::string_view extension, std::string* name);

}  // namespace zov::session

#endif  // ZOV_SESSION_FILE_NAMES_H_
