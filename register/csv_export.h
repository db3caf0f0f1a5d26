// The owner's tax-agency CSV file: made in the CSV directory under a
// temporary name at the owner's first register line, one row per line, and
// at the owner's end given its random final name and handed to the document
// opener, or deleted. A final name ("K3Z09QAB.CSV") only ever holds a
// complete file; a killed run may leave "K3Z09QAB.CSV.tmp" behind
// (session::UniqueTemporaryFile).
#ifndef ZOV_REGISTER_CSV_EXPORT_H_
#define ZOV_REGISTER_CSV_EXPORT_H_

#include <string>
#include <string_view>

#include "platform/env.h"
#include "register/line.h"
#include "register/register_state.h"

namespace zov::reg {

inline constexpr std::string_view kOpenerProgram = "DEDADO.EXE";

// The directory for CSV files: TEMP; where the opener runs directly
// (platform::SystemConventions), TMPDIR when TEMP is unset, then "/tmp". A
// value not ending in a separator gets "/" (or "\" where the opener is
// started through the command interpreter).
std::string CsvDirectory(platform::Environment& environment, const platform::SystemConventions& conventions);

// The document opener's native path: DEDADO.EXE or DEDADO, in any letter
// case, in `exe_dir` and then in each directory of `path_list` (":"
// separated). Empty when none is an ordinary file.
std::string FindOpener(platform::FileSystem& fs, std::string_view exe_dir, std::string_view path_list);

// Makes the owner's CSV file under its temporary name, takes the output
// slot and writes the heading row.
void OwnerCsvStart(RegisterContext& ctx);

// Writes the current line's row.
void CsvRow(RegisterContext& ctx, const LineAmounts& amounts);

// Frees the slot, then gives the file its final name and opens it for the
// user (OpenCsv), or deletes it. The final name never replaces a file: one
// taken meanwhile is followed by another (session::PublishUniqueFile); a
// file that cannot get a name is deleted, named on env.error_output and
// counted in csv_unpublished. The opener is started as the system's
// conventions say: through COMSPEC ("COMSPEC /C DEDADO.EXE file"), or found
// with FindOpener in ExeDir and PATH and given the file's native path. A
// file that lost a line (or its close) is never named or handed to the
// opener: it is deleted and named on env.error_output.
void OwnerCsvEnd(RegisterContext& ctx);

// After a failed walk: frees the owner's slot, if one is busy, and deletes
// its file, which is not complete.
void AbandonOwnerCsv(RegisterContext& ctx);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_CSV_EXPORT_H_
