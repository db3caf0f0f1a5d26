// The two record-manager backends: our own engine on SQLite, and any shared
// library that exports the record manager's single call as BTRCALL.
//
//   std::unique_ptr<RecordManager> rm;
//   if (library.empty()) rm = NewSqliteRecordManager();
//   else if (Status s = NewLoadableRecordManager(library, &rm); !s.ok()) ...;
//
// Every call through either backend ends with RestoreFloatingPointControl().
//
// What the engine keeps per RecordManager object (one per process run):
// open files, their cursors and the transaction. Operations:
//   0 open      key = path, code page 850 like every name the program
//               gives (up to its first zero byte, trailing blanks
//               dropped; "\" read as "/"), key number = mode: 0 (also -1,
//               -3) normal, -2 read-only, -4 exclusive. While a file is open
//               exclusively anywhere, every other open of it answers 85, and
//               an exclusive open answers 85 while anyone has it open. The
//               data buffer (owner name) is ignored.
//   1 close, 28 reset (closes every file; rolls back an open transaction).
//   2 insert    data = the record, exactly the record length. Key number
//               0..n-1 makes the new record current on that key; a negative
//               one leaves the position alone.
//   3 update, 4 delete: the current record. 80 when another handle or
//               process changed or deleted it since it was read. After a
//               delete, next and previous continue from where it was.
//   5..13 gets  copy the record into the data buffer (22 and the record cut
//               when it has no room) and its key value into the key buffer.
//               A record whose key fields disagree with the index entry it
//               was found through (a damaged file) answers 2, and the
//               position stays where it was.
//   14 create   data = specification, key = path; key number -1 keeps an
//               existing file (59), any other replaces it (85 while it is
//               open anywhere). Does not open the file.
//   15 stat     the specification with the record count and per segment
//               the distinct values of its key up to that segment.
//   19, 20, 21 begin, end, abort a transaction of this RecordManager: the
//               writes of every file between begin and end are committed
//               together per file (a crash between the commits of two files
//               may keep one and lose the other); abort drops them all.
// A write that waits longer than the busy timeout for another process's
// write answers 85 (84 for an update or delete of a record).
// Reads outside a transaction see the file as it was at most
// read_snapshot_ms before (another process's writes, or another
// RecordManager's, show within that time); this RecordManager's own writes
// show at once, through every handle.
#ifndef ZOV_PLATFORM_RECMAN_RECORD_MANAGERS_H_
#define ZOV_PLATFORM_RECMAN_RECORD_MANAGERS_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/record_manager.h"
#include "platform/status.h"

namespace zov::platform {

struct SqliteRecordManagerOptions {
  // How long a write waits for another process's write to finish.
  int busy_timeout_ms = 5000;
  // How long reads of a file outside a transaction keep sharing one read
  // snapshot (see sqlite_record_manager.cc); 0 gives each read its own.
  int read_snapshot_ms = 2;
  // Times the read snapshots (MonotonicMicros); it must outlive the engine.
  // Null: the standard library's steady clock, for an engine that has no
  // Env (a BTRCALL library, a tool of the tests).
  Clock* clock = nullptr;
};

std::unique_ptr<RecordManager> NewSqliteRecordManager(const SqliteRecordManagerOptions& options);
std::unique_ptr<RecordManager> NewSqliteRecordManager();

// The engine's integrity check of one of its data files, without opening it
// through a RecordManager: SQLite's own check of the database (its pages,
// and every index entry against its row), then every record against the
// key images stored beside it, and the record count its header keeps.
struct DataFileCheck {
  bool damaged = false;
  // One line each, the first 20, then "... and N more".
  std::vector<std::string> findings;
};
// kRmOk with *check filled in, or why the file could not be checked: 12 not
// found, 30 not a data file of this engine, 85 opened exclusively by another
// program, 2 and others as an open would answer.
[[nodiscard]] int16_t CheckDataFile(const std::string& path, DataFileCheck* check);

// Loads the shared library at library_path and sends every call to its
// exported function
//   extern "C" int16_t BTRCALL(uint16_t operation, void* position_block,
//       void* data, uint32_t* data_length, void* key, uint8_t key_length,
//       int8_t key_number);
// The library is handed the callers' bytes unchanged (code page 850 paths
// included), as the suite's own library takes them.
// On success *record_manager is the backend; the library stays loaded as long
// as it lives. Otherwise *record_manager is left as it was and the Status
// names the library and what failed: kIoError when it cannot be loaded,
// kInvalidArgument when it does not export BTRCALL.
[[nodiscard]] Status NewLoadableRecordManager(const std::string& library_path,
                                              std::unique_ptr<RecordManager>* record_manager);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_RECORD_MANAGERS_H_
