// Reading and setting one key of the suite's INI files (Sessio.ini,
// OrvaTerm.ini, Orva.ini, DOZUDIZI.INI). Other programs of the suite read
// and write the same files at any moment, so the line rules are theirs:
//   - everything from the first ";" of a line on is a comment, also inside
//     quotes; a line with only blanks before it is empty;
//   - "[" after leading blanks starts a section header, the name running to
//     the next "]" (or the comment / line end), blanks trimmed;
//   - inside a section, a line with "=" is a setting: key trimmed of blanks,
//     value the raw text after the first "=" (blanks kept);
//   - section and key names compare without regard to case (cp850_case.h).
//
//   std::string lang = ReadIniValue(fs, temp_dir + "OrvaTerm.ini", "Sistema", "Idioma");
//   Status s = WriteIniValue(env, temp_dir + "DOZUDIZI.INI", "Opcions", "Correu", "N");
#ifndef ZOV_SESSION_INI_FILE_H_
#define ZOV_SESSION_INI_FILE_H_

#include <string>
#include <string_view>

#include "platform/env.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace zov::session {

// The value of `key` in the first section named `section` (a key standing
// only in a later section of the same name is not found). A value that is
// at least two characters long and both begins and ends with a double quote
// loses those two quotes. A missing or unreadable file, section or key gives
// the empty text; nothing is reported.
std::string ReadIniValue(platform::FileSystem& fs, std::string_view path, std::string_view section,
                         std::string_view key);

// The same lookup over file contents already in memory.
std::string FindIniValue(std::string_view contents, std::string_view section, std::string_view key);

// Sets `key` in `section` to `value`, adding the key (after the section's
// last non-empty line) and, when the section is missing, the section (at the
// end of the file, before trailing empty lines). Creates the file when it
// does not exist. Every other line is kept byte for byte; written lines end
// in CR LF. Uses env.fs and env.clock (the temporary name is seeded from the
// time of day).
//
// The file is never changed in place: the new copy is written to a file of 8
// random digits + ".tmp" in the same directory, synced, and renamed over the
// old one in one atomic step. Readers see the old file or the new one, never
// a missing or partial file. On any failure (the old file unreadable or
// read-only, the copy not written, the rename refused) the old file is left
// as it was, the temporary file is removed, and the error is returned.
[[nodiscard]] platform::Status WriteIniValue(platform::Env& env, std::string_view path, std::string_view section,
                                             std::string_view key, std::string_view value);

// The new contents WriteIniValue writes for old file contents `contents`.
std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace zov::session

#endif  // ZOV_SESSION_INI_FILE_H_
