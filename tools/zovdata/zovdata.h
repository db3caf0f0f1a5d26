// The commands of zovdata, the tool for looking after the suite's data
// files, as functions: describe the twelve files, create a file from a
// description, load records, dump them, show a file's statistics. Every data
// file is reached through env.record_manager, as the register run reaches
// it; the description and record files through env.fs.
//
//   platform::Status s = tools::LoadRecords(env, "DADES/VCobros.dat", "receipts.bin", &loaded);
//   if (!s.ok()) std::cerr << "zovdata: " << s.message() << "\n";
//
// Every failure comes back as a Status whose message is one line naming the
// file and saying what went wrong (with the record manager's status and its
// meaning); nothing is printed by these functions. A failed create or load
// leaves no data behind: load inserts in one transaction. The command line
// over these functions is command_line.h.
#ifndef ZOV_TOOLS_ZOVDATA_ZOVDATA_H_
#define ZOV_TOOLS_ZOVDATA_ZOVDATA_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/recman/file_spec.h"
#include "platform/status.h"

namespace zov::tools {

// Writes <dir>/<name>.xdf for each of the twelve suite files (suite_files.h),
// each replaced atomically. Creates `dir` when it is missing (not its parents).
[[nodiscard]] platform::Status WriteDescriptions(platform::FileSystem& fs, std::string_view dir);

// Creates the empty data file `file` from the description file `xdf`.
// Refuses to replace a file that exists.
[[nodiscard]] platform::Status CreateDataFile(platform::Env& env, std::string_view file, std::string_view xdf);

// Creates the empty data file `file` from specification bytes (an .xdf's body).
[[nodiscard]] platform::Status CreateDataFileFromSpec(platform::Env& env, std::string_view file,
                                                      std::string_view spec);

// Inserts the records stored back to back in the file `records_path`, each
// exactly the data file's record length. All records or none: a size that is
// not a whole number of records is refused before anything is written, and
// any refused insert (a duplicate on a unique key names the record) undoes
// the whole load. *loaded receives the number inserted (0 on failure).
[[nodiscard]] platform::Status LoadRecords(platform::Env& env, std::string_view file,
                                           std::string_view records_path, uint64_t* loaded);

// As LoadRecords, with the records' bytes in memory; `source` names them in
// messages.
[[nodiscard]] platform::Status InsertRecords(platform::Env& env, std::string_view file, std::string_view records,
                                             std::string_view source, uint64_t* loaded);

// Calls `each` with every record of `file` in the order of key `key_number`.
[[nodiscard]] platform::Status ForEachRecord(platform::Env& env, std::string_view file, int key_number,
                                             const std::function<void(std::string_view record)>& each);

// The file's statistics: record length, record count, keys and segments.
[[nodiscard]] platform::Status ReadFileStats(platform::Env& env, std::string_view file,
                                             platform::FileSpec* stats);

// The installation's data files, for `zovdata check` without FILE: every
// ordinary file named "*.dat" (any letter case) in the DADES folder of
// ZOVROOT, by name. InvalidArgument when ZOVROOT is not set.
[[nodiscard]] platform::Status InstallationDataFiles(platform::Env& env, std::vector<std::string>* files);

enum class CheckResult { kSound, kDamaged, kNotChecked };

// The engine's integrity check of one data file (platform::CheckDataFile),
// and its report: "<file>: sound", "<file>: damaged" and a line per
// finding, indented, or "<file>: not checked: <why> (status N)".
CheckResult CheckOneDataFile(std::string_view file, std::string* report);

// The record's bytes as one line of lower-case hexadecimal digits.
std::string HexLine(std::string_view record);

// The statistics as `zovdata stat` prints them.
std::string FormatStats(std::string_view file, const platform::FileSpec& stats);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOVDATA_ZOVDATA_H_
