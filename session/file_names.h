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

}  // namespace zov::session

#endif  // ZOV_SESSION_FILE_NAMES_H_
