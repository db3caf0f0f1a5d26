// Opening and releasing keyed data files, and reading their shape from the
// record manager's statistics. The table is data_file_table.h; the reads are
// record_ops.h. The record manager (env.record_manager) is the only way these
// functions reach a file.
//
//   int16_t st = OpenDataFile(env, session, files, 17, session.data_root + "DADES\\VCobros",
//                             receipt_record);
//   if (st == kStatusFatal) { /* close everything, exit non-zero */ }
#ifndef ZOV_DATAFILES_DATA_FILES_H_
#define ZOV_DATAFILES_DATA_FILES_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "datafiles/data_file_table.h"
#include "platform/env.h"
#include "session/session.h"

namespace zov::datafiles {

// The owner name handed to the record manager at every open (with its zero byte).
inline constexpr char kOwnerName[5] = {'Z', 'O', 'V', 'R', '\0'};
// The wait between two tries while another program holds the file locked.
inline constexpr int32_t kLockedRetryMillis = 3000;

// Opens `name` under `file_number` with `record` as its record variable.
// `name` is the path as the caller built it (DataRoot + "DADES\" + file),
// usually without extension: ".dat" is then added. A missing file is created
// from DataRoot + "ddf\" + base name + ".xdf" and opened, and said on
// env.error_output ("created empty"). A name that exists in its directory
// but cannot be opened as a file (a link whose target is missing, say) is
// never replaced: it fails with kStatusFatal. While the file is locked by
// another program the open waits in 3-second steps, saying on
// env.error_output which file it waits for at the first wait and then once a
// minute.
// Returns 0, kStatusAlreadyOpen, kStatusTableFull, or kStatusFatal when the
// file can be neither opened nor created (see kStatusFatal: the message has
// been shown, everything is released and table.fatal_message and
// table.fatal_detail hold it).
int16_t OpenDataFile(platform::Env& env, const session::Session& session, DataFileTable& table,
                     int16_t file_number, std::string_view name, std::span<char> record);

// Asks the record manager to release everything this process holds and, when
// it answers 0, empties all 40 entries. Returns its answer.
int16_t ResetDataFiles(platform::Env& env, DataFileTable& table);

// The entry's file statistics, read from the record manager on first use and
// kept in the entry; null when the statistics call fails.
const platform::FileSpec* FileStatistics(platform::Env& env, DataFileEntry& entry);

struct KeyLength {
  int32_t key_length = 0;     // 0: no such key, or the file is not open
  int32_t record_length = 0;
};

// The file's record length and the length of key `key_number` (the sum of its
// segments), read from the statistics. Both are 0 when the file number is not
// open or the statistics cannot be read; the key length is 0 when the file has
// no such key.
KeyLength GetKeyLength(platform::Env& env, DataFileTable& table, int16_t file_number,
                       int16_t key_number);

// The index (1-40) of the entry holding `file_number`; otherwise minus the
// index of the highest-numbered free entry; 0 when there is neither. File
// number 0 names a free entry, so it is "found" while any entry is free.
int FindFileEntry(const DataFileTable& table, int16_t file_number);

// The entry of an open file, or null (file number 0 is never open).
DataFileEntry* OpenEntry(DataFileTable& table, int16_t file_number);

// A data-file name split from its last character backwards: the directory
// ends at the last ":", "\" or "/"; the extension starts at the leftmost "."
// of the last component (".dat" when there is none).
struct DataFileName {
  std::string directory;
  std::string base;
  std::string extension;
};
DataFileName SplitDataFileName(std::string_view name);

// Waits between two "waiting for a locked file" lines: one a minute.
inline constexpr int kLockedRetriesPerNotice = 60000 / kLockedRetryMillis;

// "data file <path>: <meaning of the status> (status <n>)", for standard
// error. The path is the native one, with its extension.
std::string DataFileStatusText(std::string_view path, int16_t status);

// The text that begins the fatal message in the session's language (code
// page 850, ending in a blank).
std::string_view CannotAccessText(const session::Session& session);

}  // namespace zov::datafiles

#endif  // ZOV_DATAFILES_DATA_FILES_H_
