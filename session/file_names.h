// File-name helpers of the suite's library: whether an ordinary file exists,
// and a fresh random file name in a directory.
//
//   std::string csv = UniqueFileName(env, "/tmp", "", ".CSV");
//   // e.g. "/tmp\K3Z09QAB.CSV" (the file system reads "\" as a separator)
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

// A path directory + prefix + random characters (8 characters in all before
// the extension, each of "0"-"9" and "A"-"Z") + "." + extension, that no
// directory entry has: unlike FileExists, a read-only, hidden or system file
// or a directory of that name also makes the name taken.
//   - the three arguments are trimmed of blanks;
//   - a non-empty directory not ending in ":", "\" or "/" gets "\";
//   - only the prefix's first 3 characters and the extension's first 3 (after
//     dropping a leading ".") are used; an empty extension gives no dot.
// The generator is seeded from the time of day in hundredths (env.clock);
// on a collision the next name of the same sequence is tried. Uses env.fs
// and env.clock.
std::string UniqueFileName(platform::Env& env, std::string_view directory, std::string_view prefix,
                           std::string_view extension);

}  // namespace zov::session

#endif  // ZOV_SESSION_FILE_NAMES_H_
