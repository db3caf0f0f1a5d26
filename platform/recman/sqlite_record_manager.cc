// The record manager's engine on SQLite. Each data file is one database
// (full schema and SQL in sqlite_schema.h): zov_file holds the file's
// specification and counters; zov_records holds one row per record with its
// bytes and, per key N, the key's byte-comparable image kN and its order sN
// among equal images, indexed by (kN, sN), UNIQUE for a key without
// duplicates. Beside it, "<path>-lck" carries the opens' flock() locks.
//
// One OpenFile per data file that this RecordManager has open: one SQLite
// connection in WAL mode with its prepared statements, shared by every open
// of that file (so a transaction sees its own writes through each of them),
// and one shared or exclusive lock on the file's lock file. Each open is a
// Handle with its own cursor, found again through the id that open writes
// into the caller's position block.
//
// Every record a get delivers is checked against the index entry it was
// found through (the query reads kK from the index): a record whose own key
// fields make another image is a damaged file, answered 2, never delivered
// in a place its key does not belong. CheckDataFile checks a whole file.
//
// A cursor is the current record's key image and stamp on the current key,
// not a SQLite cursor: next and previous search from it afresh, so they
// stay right whatever other handles or processes inserted or deleted around
// it, the current record included. A get that finds nothing (4, 9) leaves
// the cursor where it was. Every statement is stepped, copied and
// reset within one call, with one exception below, and nothing read is
// cached across calls except each file's specification, which cannot change
// while the file is open (create replaces a file only when nobody has it
// open).
//
// Kept scans. Get next, get greater, get greater or equal and get first
// through a handle that holds a read snapshot leave their statement (every
// row from the one found on, in key order) open, and the handle's next get
// next on the same key steps it once instead of seeking afresh. Within one snapshot nothing the statement walks can change (every
// write of this engine ends the snapshot first; other connections' writes
// are not in it), so the row it steps to is the one a fresh seek from the
// cursor would find. The scan is dropped by any other operation on that
// handle, by the end of the snapshot (its bound, any write to the file,
// begin transaction, close, reset), and by a failed step; inside the
// engine's transaction and with a snapshot bound of 0 there is none.
//
// Read snapshots. Starting and ending a SQLite read transaction costs a few
// system calls (locks on the database and on the shared-memory read mark,
// the file's size), more than the lookup itself. So a read (the gets, stat)
// outside the engine's transaction opens a deferred transaction on the
// file's connection and leaves it open; the next reads of that file reuse
// it while it is younger than options.read_snapshot_ms (by the options'
// clock), and the first read after that ends it and starts a new one. Reads
// thus see the file as it was at most that long ago. The held snapshot is
// released before any write to the file (insert, update, delete), at begin
// transaction and create (every file's), at close of any handle of the
// file, at reset and when the RecordManager is destroyed, and after a read
// that failed. Since every write begins by ending it, a held snapshot never
// turns a write into a stale-snapshot error, and a write through one handle
// is seen at once through the others. A process that reads and then stays
// idle keeps its last snapshot until its next call, close or reset: while
// held, the file's write-ahead log cannot be checkpointed past it and so
// may grow, but other processes' reads and writes are not held up (their
// opens are shut out by the lock files, not by the database). A snapshot
// bound of 0 gives every read its own transaction.
#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstring>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/coding.h"
#include "platform/recman/engine_files.h"
#include "platform/recman/fp_control.h"
#include "platform/recman/key_defs.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/sqlite_schema.h"
#include "platform/recman/status.h"
#include "platform/system_file_lock.h"

namespace zov::platform {
namespace {

// Position block: magic, the owning engine, the handle's id.
constexpr char kBlockMagic[4] = {'Z', 'R', 'M', '1'};
constexpr std::size_t kBlockEngineOffset = 4;
constexpr std::size_t kBlockHandleOffset = 12;

// Locks the lock file beside a data file ("<path>-lck"), answering kRmOk,
// kRmFileLocked when a holder conflicts, kRmFileNotFound when the directory
// is missing, kRmAccessDenied when the lock file can neither be created nor
// opened, kRmIoError otherwise.
int16_t LockDataFile(const std::string& path, bool exclusive, std::unique_ptr<SystemFileLock>* lock) {
  SystemFileLock::Options options;
  options.mode = exclusive ? SystemFileLock::Mode::kExclusive : SystemFileLock::Mode::kShared;
  switch (SystemFileLock::Acquire(path + "-lck", options, lock)) {
    case SystemFileLock::Result::kOk: return kRmOk;
    case SystemFileLock::Result::kLocked: return kRmFileLocked;
    case SystemFileLock::Result::kNotFound: return kRmFileNotFound;
    case SystemFileLock::Result::kAccessDenied: return kRmAccessDenied;
    default: return kRmIoError;
  }
}

int16_t StatusFromSqlite(int rc, int16_t busy_status) {
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return busy_status;
    case SQLITE_CONSTRAINT:
      return (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) ? kRmDuplicateKey : kRmIoError;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return kRmAccessDenied;
    case SQLITE_FULL: return kRmDiskFull;
    case SQLITE_NOTADB: return kRmNotADataFile;
    default: return kRmIoError;
  }
}

// The path in an open or create key buffer: up to the first zero byte,
// trailing blanks dropped, "\" taken as the directory separator.
std::string PathFromKey(const void* key, uint8_t key_length) {
  if (key == nullptr) return std::string();
  const auto* bytes = static_cast<const char*>(key);
  std::size_t n = 0;
  while (n < key_length && bytes[n] != '\0') ++n;
  while (n > 0 && bytes[n - 1] == ' ') --n;
  std::string path(bytes, n);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

void RemoveSqliteFiles(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) RemoveFileIfPresent(path + suffix);
}

class Statement {
 public:
  Statement() = default;
  ~Statement() { ::sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Prepares make_sql() on first use; the statement is then kept for the
  // file's life.
  template <typename MakeSql>
  int Get(sqlite3* db, MakeSql make_sql, sqlite3_stmt** stmt) {
    if (stmt_ == nullptr) {
      const std::string sql = make_sql();
      const int rc = ::sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
      if (rc != SQLITE_OK) return rc;
    }
    *stmt = stmt_;
    return SQLITE_OK;
  }
  sqlite3_stmt* prepared() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when the scope ends: nothing stays stepping.
class ResetOnExit {
 public:
  explicit ResetOnExit(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~ResetOnExit() { ::sqlite3_reset(stmt_); }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

int BindBlob(sqlite3_stmt* stmt, int index, const std::string& bytes) {
  return ::sqlite3_bind_blob(stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

// Binds the parameters insert and update share: ?1 the stamp, ?2 the record,
// then per key its image and its order among equal images.
template <typename Images, typename Seqs>
void BindRecordAndKeys(sqlite3_stmt* stmt, int64_t stamp, const void* record, std::size_t record_length,
                       const Images& images, const Seqs& seqs) {
  ::sqlite3_bind_int64(stmt, 1, stamp);
  ::sqlite3_bind_blob(stmt, 2, record, static_cast<int>(record_length), SQLITE_STATIC);
  for (std::size_t k = 0; k < images.size(); ++k) {
    BindBlob(stmt, static_cast<int>(3 + 2 * k), images[k]);
    ::sqlite3_bind_int64(stmt, static_cast<int>(4 + 2 * k), seqs[k]);
  }
}

std::string ColumnBlob(sqlite3_stmt* stmt, int column) {
  const void* p = ::sqlite3_column_blob(stmt, column);
  const int n = ::sqlite3_column_bytes(stmt, column);
  return p == nullptr ? std::string() : std::string(static_cast<const char*>(p), static_cast<std::size_t>(n));
}

// The mutable part of zov_file's row.
struct FileRow {
  int64_t stamp = 0;
  int64_t records = 0;
  std::vector<int64_t> uniques;
};

std::string EncodeCounts(const std::vector<int64_t>& counts) {
  std::string out(counts.size() * 8, '\0');
  for (std::size_t i = 0; i < counts.size(); ++i) EncodeFixed64(out.data() + i * 8, static_cast<uint64_t>(counts[i]));
  return out;
}

bool DecodeCounts(const std::string& bytes, std::size_t n, std::vector<int64_t>* counts) {
  if (bytes.size() != n * 8) return false;
  counts->assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) (*counts)[i] = static_cast<int64_t>(DecodeFixed64(bytes.data() + i * 8));
  return true;
}

// One data file open in this RecordManager.
struct OpenFile {
  ~OpenFile() { ::sqlite3_close_v2(db); }  // completes once the statements below are finalized

  std::unique_ptr<SystemFileLock> lock;  // destroyed after the statements, so after the connection
  FileIdentity id{};
  bool exclusive = false;
  int handles = 0;
  bool in_transaction = false;  // holds a write transaction of the engine's transaction
  bool reading = false;         // holds a read snapshot opened by a read (only outside transactions)
  uint64_t snapshot = 0;        // counts the snapshots begun; a kept scan belongs to one of them
  int kept_scans = 0;           // handles whose scan statement is open in the current snapshot
  int64_t reading_since = 0;    // monotonic microseconds (NowMicros) when it was opened
  RecordFileSpec spec;
  std::vector<std::array<Statement, kKeyQueryCount>> queries;  // per key
  std::vector<Statement> probes;                               // per key
  Statement read_file, write_file, read_record, insert, update, remove;
  Statement begin, begin_read, commit, rollback, savepoint, release, rollback_to;
  sqlite3* db = nullptr;  // declared last: statements are finalized before close_v2 completes
};

struct Handle {
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  OpenFile* file = nullptr;
  bool read_only = false;
  bool positioned = false;  // image and stamp name a place on `key`
  int key = 0;
  std::string image;
  int64_t seq = 0;
  int64_t id = 0;  // the current record, 0 when there is none (deleted or never read)
  int64_t ver = 0;
  // The kept scan (see the banner): open and standing on the current record
  // of `key`, within snapshot scan_snapshot; null when there is none.
  sqlite3_stmt* scan = nullptr;
  uint64_t scan_snapshot = 0;
  // Per key: the scans that start after the cursor, after a value, and at
  // or after a value; prepared on first use.
  std::vector<std::array<Statement, 3>> scans;
};

class SqliteRecordManager final : public RecordManager {
 public:
  explicit SqliteRecordManager(const SqliteRecordManagerOptions& options) : options_(options) {}
  ~SqliteRecordManager() override { CloseEverything(); }
  SqliteRecordManager(const SqliteRecordManager&) = delete;
  SqliteRecordManager& operator=(const SqliteRecordManager&) = delete;

  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    const int16_t status = Dispatch(operation, position_block, data, data_length, key, key_length, key_number);
    RestoreFloatingPointControl();
    return status;
  }

 private:
  int16_t Dispatch(uint16_t operation, uint8_t* pb, void* data, uint32_t* data_length, void* key,
                   uint8_t key_length, int8_t key_number);
  int16_t Open(uint8_t* pb, const void* key, uint8_t key_length, int8_t mode);
  int16_t OpenDataFile(const std::string& path, bool exclusive, OpenFile** file);
  int16_t Close(uint8_t* pb);
  int16_t Create(const void* data, const uint32_t* data_length, const void* key, uint8_t key_length,
                 int8_t key_number);
  int16_t EndTransaction(bool commit);
  void CloseEverything();
  int64_t NowMicros() const;
  void StartRead(OpenFile& f);
  void EndRead(OpenFile& f);
  void EndAllReads();
  void DropScan(Handle& h);
  void DropScans(OpenFile& f);
  Handle* Find(const uint8_t* pb);

  int16_t Get(Handle& h, uint16_t operation, void* data, uint32_t* data_length, void* key, uint8_t key_length,
              int8_t key_number);
  int16_t Scan(Handle& h, KeyQuery query, int key_number, void* data, uint32_t room, uint32_t* data_length,
               void* key);
  int16_t Deliver(Handle& h, int key_number, sqlite3_stmt* stmt, void* data, uint32_t room,
                  uint32_t* data_length, void* key);
  int16_t Insert(Handle& h, const void* data, const uint32_t* data_length, void* key, uint8_t key_length,
                 int8_t key_number);
  int16_t Update(Handle& h, const void* data, const uint32_t* data_length);
  int16_t Delete(Handle& h);
  int16_t Stat(Handle& h, void* data, uint32_t* data_length);

  template <typename Body>
  int16_t Write(OpenFile& f, int16_t busy_status, Body body);
  int Exec(OpenFile& f, Statement& s, const char* sql);
  int16_t ReadFileRow(OpenFile& f, FileRow* row);
  int16_t WriteFileRow(OpenFile& f, const FileRow& row);
  int16_t CountPrefix(OpenFile& f, std::size_t key, const std::string& image, std::size_t prefix, int* count);
  int16_t ReadRecord(OpenFile& f, int64_t id, int64_t* ver, std::string* data, std::vector<int64_t>* seqs);
  void BuildImages(const OpenFile& f, const uint8_t* record, std::vector<std::string>* images);

  const SqliteRecordManagerOptions options_;
  std::map<FileIdentity, std::unique_ptr<OpenFile>> files_;
  std::unordered_map<uint64_t, Handle> handles_;
  // The handle Find returned last (its elements do not move), or null.
  uint64_t found_id_ = 0;
  Handle* found_ = nullptr;
  uint64_t next_handle_ = 1;
  bool transaction_ = false;
  bool transaction_lost_ = false;  // a file's part of it was rolled back by an error
  std::string value_, image_;      // scratch
  std::string check_;              // scratch of Deliver's key check
};

int16_t SqliteRecordManager::Dispatch(uint16_t operation, uint8_t* pb, void* data, uint32_t* data_length,
                                      void* key, uint8_t key_length, int8_t key_number) {
  switch (operation) {
    case kOpOpen: return Open(pb, key, key_length, key_number);
    case kOpClose: return Close(pb);
    case kOpCreate: EndAllReads(); return Create(data, data_length, key, key_length, key_number);
    case kOpReset: CloseEverything(); return kRmOk;
    case kOpBeginTransaction:
      if (transaction_) return kRmTransactionActive;
      EndAllReads();
      transaction_ = true;
      transaction_lost_ = false;
      return kRmOk;
    case kOpEndTransaction: return EndTransaction(true);
    case kOpAbortTransaction: return EndTransaction(false);
    case kOpInsert:
    case kOpUpdate:
    case kOpDelete:
    case kOpStat:
    case kOpGetEqual:
    case kOpGetNext:
    case kOpGetPrevious:
    case kOpGetGreater:
    case kOpGetGreaterOrEqual:
    case kOpGetLess:
    case kOpGetLessOrEqual:
    case kOpGetFirst:
    case kOpGetLast: break;
    default: return kRmInvalidOperation;
  }
  Handle* h = Find(pb);
  if (h == nullptr) return kRmFileNotOpen;
  OpenFile& f = *h->file;
  if (operation != kOpGetNext || h->key != key_number) DropScan(*h);
  switch (operation) {
    case kOpInsert: EndRead(f); return Insert(*h, data, data_length, key, key_length, key_number);
    case kOpUpdate: EndRead(f); return Update(*h, data, data_length);
    case kOpDelete: EndRead(f); return Delete(*h);
    default: break;
  }
  StartRead(f);
  const int16_t status = operation == kOpStat ? Stat(*h, data, data_length)
                                               : Get(*h, operation, data, data_length, key, key_length, key_number);
  // After a failed read the next one starts afresh.
  if (status != kRmOk && status != kRmKeyNotFound && status != kRmEndOfFile && status != kRmDataBufferTooShort) {
    EndRead(f);
  }
  return status;
}

int64_t SqliteRecordManager::NowMicros() const {
  if (options_.clock != nullptr) return options_.clock->MonotonicMicros();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Opens a read snapshot on f, or keeps the one held while it is young
// enough. Inside the engine's transaction reads run as they always did: in
// the file's write transaction, or each in its own.
void SqliteRecordManager::StartRead(OpenFile& f) {
  if (options_.read_snapshot_ms <= 0 || transaction_ || f.in_transaction) return;
  const int64_t now = NowMicros();
  if (f.reading) {
    if (now - f.reading_since < int64_t{options_.read_snapshot_ms} * 1000 &&
        !::sqlite3_get_autocommit(f.db)) {
      return;
    }
    EndRead(f);
  }
  // Deferred: it becomes a read transaction at the read's first step. If it
  // cannot begin, the read runs on its own as without reuse.
  if (Exec(f, f.begin_read, "BEGIN") == SQLITE_OK) {
    f.reading = true;
    f.reading_since = now;
    ++f.snapshot;
  }
}

void SqliteRecordManager::EndRead(OpenFile& f) {
  if (!f.reading) return;
  DropScans(f);
  f.reading = false;
  if (::sqlite3_get_autocommit(f.db)) return;  // an error already ended it
  if (Exec(f, f.commit, "COMMIT") != SQLITE_OK && !::sqlite3_get_autocommit(f.db)) Exec(f, f.rollback, "ROLLBACK");
}

void SqliteRecordManager::DropScan(Handle& h) {
  if (h.scan == nullptr) return;
  ::sqlite3_reset(h.scan);
  h.scan = nullptr;
  --h.file->kept_scans;
}

// Resets every scan kept on f, before its snapshot ends.
void SqliteRecordManager::DropScans(OpenFile& f) {
  if (f.kept_scans == 0) return;
  for (auto& [id, h] : handles_) {
    if (h.file == &f) DropScan(h);
  }
}

void SqliteRecordManager::EndAllReads() {
  for (auto& [id, file] : files_) EndRead(*file);
}

Handle* SqliteRecordManager::Find(const uint8_t* pb) {
  if (pb == nullptr || std::memcmp(pb, kBlockMagic, sizeof kBlockMagic) != 0) return nullptr;
  uint64_t engine, id;
  std::memcpy(&engine, pb + kBlockEngineOffset, sizeof engine);
  std::memcpy(&id, pb + kBlockHandleOffset, sizeof id);
  if (engine != reinterpret_cast<uintptr_t>(this)) return nullptr;
  // Callers mostly use one block many times in a row (a walk's get next).
  if (found_ != nullptr && id == found_id_) return found_;
  auto it = handles_.find(id);
  if (it == handles_.end()) return nullptr;
  found_id_ = id;
  found_ = &it->second;
  return found_;
}

int16_t SqliteRecordManager::Open(uint8_t* pb, const void* key, uint8_t key_length, int8_t mode) {
  if (pb == nullptr) return kRmInvalidPositionBlock;
  bool read_only = false, exclusive = false;
  switch (mode) {
    case 0:
    case -1:
    case -3: break;
    case -2: read_only = true; break;
    case -4: exclusive = true; break;
    default: return kRmInvalidKeyNumber;
  }
  const std::string path = PathFromKey(key, key_length);
  if (path.empty()) return kRmInvalidFileName;
  PathKind kind;
  FileIdentity identity;
  const int16_t found = InspectPath(path, kRmFileNotFound, &kind, &identity);
  if (found != kRmOk) return found;
  if (kind == PathKind::kMissing) return kRmFileNotFound;
  if (kind != PathKind::kFile) return kRmNotADataFile;

  OpenFile* file = nullptr;
  auto it = files_.find(identity);
  if (it != files_.end()) {
    if (it->second->exclusive || exclusive) return kRmFileLocked;
    file = it->second.get();
  } else {
    const int16_t status = OpenDataFile(path, exclusive, &file);
    if (status != kRmOk) return status;
  }
  ++file->handles;
  const uint64_t id = next_handle_++;
  Handle& h = handles_[id];
  h.file = file;
  h.read_only = read_only;
  h.scans = std::vector<std::array<Statement, 3>>(file->spec.keys.size());
  const uint64_t engine = reinterpret_cast<uintptr_t>(this);
  std::memcpy(pb, kBlockMagic, sizeof kBlockMagic);
  std::memcpy(pb + kBlockEngineOffset, &engine, sizeof engine);
  std::memcpy(pb + kBlockHandleOffset, &id, sizeof id);
  return kRmOk;
}

int16_t SqliteRecordManager::OpenDataFile(const std::string& path, bool exclusive, OpenFile** opened) {
  auto file = std::make_unique<OpenFile>();
  int16_t status = LockDataFile(path, exclusive, &file->lock);
  if (status != kRmOk) return status;
  // Identify the file again under the lock: it cannot be replaced from now on.
  PathKind kind;
  status = InspectPath(path, kRmFileNotFound, &kind, &file->id);
  if (status != kRmOk) return status;
  if (kind != PathKind::kFile) return kRmFileNotFound;
  if (files_.count(file->id) != 0) return kRmFileLocked;  // replaced and reopened meanwhile
  file->exclusive = exclusive;

  int rc = ::sqlite3_open_v2(Cp850ToUtf8Exact(path).c_str(), &file->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) return (rc & 0xFF) == SQLITE_CANTOPEN ? kRmFileNotFound : StatusFromSqlite(rc, kRmFileLocked);
  ::sqlite3_extended_result_codes(file->db, 1);
  ::sqlite3_busy_timeout(file->db, options_.busy_timeout_ms);

  // Read before anything may write: a foreign file must stay untouched.
  sqlite3_stmt* stmt = nullptr;
  rc = ::sqlite3_prepare_v2(file->db, "SELECT format, spec, uniques FROM zov_file WHERE id = 0", -1, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    ::sqlite3_finalize(stmt);
    const int16_t mapped = StatusFromSqlite(rc, kRmFileLocked);
    return (rc & 0xFF) == SQLITE_ERROR ? kRmNotADataFile : mapped;  // no zov_file table
  }
  rc = ::sqlite3_step(stmt);
  status = kRmOk;
  if (rc != SQLITE_ROW) {
    status = rc == SQLITE_DONE ? kRmNotADataFile : StatusFromSqlite(rc, kRmFileLocked);
  } else if (::sqlite3_column_int64(stmt, 0) != kSchemaFormat) {
    status = kRmNotADataFile;
  } else {
    const std::string layout = ColumnBlob(stmt, 1);
    std::vector<int64_t> counts;
    if (ParseFileSpec(reinterpret_cast<const uint8_t*>(layout.data()), layout.size(), &file->spec) != kRmOk ||
        !DecodeCounts(ColumnBlob(stmt, 2), file->spec.segment_count, &counts)) {
      status = kRmNotADataFile;
    }
  }
  ::sqlite3_finalize(stmt);
  if (status != kRmOk) return status;
  // Files are created in WAL mode; this only converts one that was not.
  ::sqlite3_exec(file->db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  ::sqlite3_exec(file->db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  file->queries = std::vector<std::array<Statement, kKeyQueryCount>>(file->spec.keys.size());
  file->probes = std::vector<Statement>(file->spec.keys.size());
  *opened = file.get();
  const FileIdentity id = file->id;
  files_.emplace(id, std::move(file));
  return kRmOk;
}

int16_t SqliteRecordManager::Close(uint8_t* pb) {
  Handle* h = Find(pb);
  if (h == nullptr) return kRmFileNotOpen;
  OpenFile* file = h->file;
  EndRead(*file);
  DropScan(*h);
  uint64_t id;
  std::memcpy(&id, pb + kBlockHandleOffset, sizeof id);
  handles_.erase(id);
  if (id == found_id_) found_ = nullptr;
  std::memset(pb, 0, sizeof kBlockMagic);
  // A file in the engine's transaction stays open until the transaction ends.
  if (--file->handles == 0 && !file->in_transaction) files_.erase(file->id);
  return kRmOk;
}

void SqliteRecordManager::CloseEverything() {
  EndAllReads();
  handles_.clear();
  found_ = nullptr;
  files_.clear();  // closing a connection rolls back its open transaction
  transaction_ = false;
}

int16_t SqliteRecordManager::EndTransaction(bool commit) {
  if (!transaction_) return kRmNoTransaction;
  int16_t status = commit && transaction_lost_ ? kRmIoError : kRmOk;
  for (auto it = files_.begin(); it != files_.end();) {
    OpenFile& f = *it->second;
    if (f.in_transaction) {
      if (commit && status == kRmOk) {
        const int rc = Exec(f, f.commit, "COMMIT");
        if (rc != SQLITE_OK) status = StatusFromSqlite(rc, kRmFileLocked);
      }
      if (!::sqlite3_get_autocommit(f.db)) Exec(f, f.rollback, "ROLLBACK");
      f.in_transaction = false;
    }
    it = f.handles == 0 ? files_.erase(it) : std::next(it);
  }
  transaction_ = false;
  transaction_lost_ = false;
  return status;
}

int SqliteRecordManager::Exec(OpenFile& f, Statement& s, const char* sql) {
  sqlite3_stmt* stmt;
  int rc = s.Get(f.db, [sql] { return std::string(sql); }, &stmt);
  if (rc != SQLITE_OK) return rc;
  ResetOnExit reset(stmt);
  rc = ::sqlite3_step(stmt);
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// Runs body inside a write transaction of its own, or inside a savepoint of
// the engine's transaction; a failing body leaves the file as it was.
template <typename Body>
int16_t SqliteRecordManager::Write(OpenFile& f, int16_t busy_status, Body body) {
  int rc;
  if (transaction_ && !f.in_transaction) {
    rc = Exec(f, f.begin, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return StatusFromSqlite(rc, busy_status);
    f.in_transaction = true;
  }
  const bool nested = f.in_transaction;
  rc = nested ? Exec(f, f.savepoint, "SAVEPOINT zov_write") : Exec(f, f.begin, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, busy_status);
  int16_t status = body();
  if (status == kRmOk) {
    rc = nested ? Exec(f, f.release, "RELEASE zov_write") : Exec(f, f.commit, "COMMIT");
    if (rc != SQLITE_OK) status = StatusFromSqlite(rc, busy_status);
  }
  if (status != kRmOk && !::sqlite3_get_autocommit(f.db)) {
    if (nested) {
      Exec(f, f.rollback_to, "ROLLBACK TO zov_write");
      Exec(f, f.release, "RELEASE zov_write");
    } else {
      Exec(f, f.rollback, "ROLLBACK");
    }
  }
  if (nested && ::sqlite3_get_autocommit(f.db)) {  // an error ended the whole transaction
    f.in_transaction = false;
    transaction_lost_ = true;
  }
  return status;
}

int16_t SqliteRecordManager::ReadFileRow(OpenFile& f, FileRow* row) {
  sqlite3_stmt* stmt;
  int rc = f.read_file.Get(f.db, [&] { return ReadFileRowSql(); }, &stmt);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
  ResetOnExit reset(stmt);
  rc = ::sqlite3_step(stmt);
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? kRmIoError : StatusFromSqlite(rc, kRmFileLocked);
  row->stamp = ::sqlite3_column_int64(stmt, 0);
  row->records = ::sqlite3_column_int64(stmt, 1);
  return DecodeCounts(ColumnBlob(stmt, 2), f.spec.segment_count, &row->uniques) ? kRmOk : kRmIoError;
}

int16_t SqliteRecordManager::WriteFileRow(OpenFile& f, const FileRow& row) {
  sqlite3_stmt* stmt;
  int rc = f.write_file.Get(f.db, [&] { return WriteFileRowSql(); }, &stmt);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
  ResetOnExit reset(stmt);
  const std::string counts = EncodeCounts(row.uniques);
  ::sqlite3_bind_int64(stmt, 1, row.stamp);
  ::sqlite3_bind_int64(stmt, 2, row.records);
  BindBlob(stmt, 3, counts);
  rc = ::sqlite3_step(stmt);
  return rc == SQLITE_DONE ? kRmOk : StatusFromSqlite(rc, kRmFileLocked);
}

// How many records (0, 1, or 2 meaning "more") have a key image that begins
// with the first `prefix` bytes of image.
int16_t SqliteRecordManager::CountPrefix(OpenFile& f, std::size_t key, const std::string& image,
                                         std::size_t prefix, int* count) {
  sqlite3_stmt* stmt;
  int rc = f.probes[key].Get(f.db, [&] { return PrefixProbeSql(key); }, &stmt);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
  ResetOnExit reset(stmt);
  const std::string low = image.substr(0, prefix);
  const std::string high = low + std::string(image.size() - prefix, '\xFF');
  BindBlob(stmt, 1, low);
  BindBlob(stmt, 2, high);
  rc = ::sqlite3_step(stmt);
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc, kRmFileLocked);
  *count = ::sqlite3_column_int(stmt, 0);
  return kRmOk;
}

int16_t SqliteRecordManager::ReadRecord(OpenFile& f, int64_t id, int64_t* ver, std::string* data,
                                        std::vector<int64_t>* seqs) {
  sqlite3_stmt* stmt;
  int rc = f.read_record.Get(f.db, [&] { return ReadRecordSql(f.spec); }, &stmt);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
  ResetOnExit reset(stmt);
  ::sqlite3_bind_int64(stmt, 1, id);
  rc = ::sqlite3_step(stmt);
  if (rc == SQLITE_DONE) return kRmConflict;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc, kRmFileLocked);
  *ver = ::sqlite3_column_int64(stmt, 0);
  *data = ColumnBlob(stmt, 1);
  if (data->size() != f.spec.record_length) return kRmIoError;
  seqs->resize(f.spec.keys.size());
  for (std::size_t k = 0; k < seqs->size(); ++k) (*seqs)[k] = ::sqlite3_column_int64(stmt, static_cast<int>(2 + k));
  return kRmOk;
}

void SqliteRecordManager::BuildImages(const OpenFile& f, const uint8_t* record, std::vector<std::string>* images) {
  images->resize(f.spec.keys.size());
  for (std::size_t k = 0; k < f.spec.keys.size(); ++k) {
    ExtractKeyValue(f.spec.keys[k], record, &value_);
    BuildKeyImage(f.spec, f.spec.keys[k], reinterpret_cast<const uint8_t*>(value_.data()), &(*images)[k]);
  }
}

int16_t SqliteRecordManager::Get(Handle& h, uint16_t operation, void* data, uint32_t* data_length, void* key,
                                 uint8_t key_length, int8_t key_number) {
  OpenFile& f = *h.file;
  const uint32_t room = (data == nullptr || data_length == nullptr) ? 0 : *data_length;
  if (data_length != nullptr) *data_length = 0;  // until a record is delivered
  if (key_number < 0 || static_cast<std::size_t>(key_number) >= f.spec.keys.size()) return kRmInvalidKeyNumber;
  const KeyDef& kd = f.spec.keys[static_cast<std::size_t>(key_number)];
  if (key == nullptr || key_length < kd.length) return kRmKeyBufferTooShort;
  KeyQuery query;
  bool continues = false;
  switch (operation) {
    case kOpGetEqual: query = KeyQuery::kEqual; break;
    case kOpGetGreater: query = KeyQuery::kGreater; break;
    case kOpGetGreaterOrEqual: query = KeyQuery::kGreaterEqual; break;
    case kOpGetLess: query = KeyQuery::kLess; break;
    case kOpGetLessOrEqual: query = KeyQuery::kLessEqual; break;
    case kOpGetFirst: query = KeyQuery::kGreaterEqual; image_.clear(); break;
    case kOpGetLast: query = KeyQuery::kLessEqual; image_.assign(kd.length, '\xFF'); break;
    case kOpGetNext: query = KeyQuery::kNext; continues = true; break;
    default: query = KeyQuery::kPrevious; continues = true; break;
  }
  if (continues) {
    if (!h.positioned) return kRmInvalidPositioning;
    if (h.key != key_number) return kRmDifferentKeyNumber;
  } else if (operation != kOpGetFirst && operation != kOpGetLast) {
    BuildKeyImage(f.spec, kd, static_cast<const uint8_t*>(key), &image_);
  }

  if ((query == KeyQuery::kNext || query == KeyQuery::kGreater || query == KeyQuery::kGreaterEqual) &&
      f.reading && !transaction_ && !f.in_transaction) {
    return Scan(h, query, key_number, data, room, data_length, key);
  }
  sqlite3_stmt* stmt;
  int rc = f.queries[static_cast<std::size_t>(key_number)][static_cast<int>(query)].Get(
      f.db, [&] { return KeyQuerySql(query, static_cast<std::size_t>(key_number)); }, &stmt);
  if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
  ResetOnExit reset(stmt);
  if (continues) {
    BindBlob(stmt, 1, h.image);
    ::sqlite3_bind_int64(stmt, 2, h.seq);
  } else {
    BindBlob(stmt, 1, image_);
  }
  rc = ::sqlite3_step(stmt);
  if (rc == SQLITE_DONE) return operation == kOpGetEqual ? kRmKeyNotFound : kRmEndOfFile;
  if (rc != SQLITE_ROW) return StatusFromSqlite(rc, kRmFileLocked);
  return Deliver(h, key_number, stmt, data, room, data_length, key);
}

// Get next, greater or greater-or-equal in a held snapshot: steps the
// handle's kept scan; a next without one opens it at the cursor, the others
// open it at the value looked for (image_).
int16_t SqliteRecordManager::Scan(Handle& h, KeyQuery query, int key_number, void* data, uint32_t room,
                                  uint32_t* data_length, void* key) {
  OpenFile& f = *h.file;
  if (query != KeyQuery::kNext || h.scan_snapshot != f.snapshot) DropScan(h);
  if (h.scan == nullptr) {
    const auto k = static_cast<std::size_t>(key_number);
    const std::size_t slot = query == KeyQuery::kNext ? 0 : query == KeyQuery::kGreater ? 1 : 2;
    sqlite3_stmt* stmt;
    const int rc = h.scans[k][slot].Get(f.db, [&] { return KeyScanSql(query, k); }, &stmt);
    if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
    const std::string& from = query == KeyQuery::kNext ? h.image : image_;
    ::sqlite3_bind_blob(stmt, 1, from.data(), static_cast<int>(from.size()), SQLITE_TRANSIENT);
    if (query == KeyQuery::kNext) ::sqlite3_bind_int64(stmt, 2, h.seq);
    h.scan = stmt;
    h.scan_snapshot = f.snapshot;
    ++f.kept_scans;
  }
  const int rc = ::sqlite3_step(h.scan);
  int16_t status;
  if (rc == SQLITE_ROW) {
    status = Deliver(h, key_number, h.scan, data, room, data_length, key);
  } else {
    status = rc == SQLITE_DONE ? kRmEndOfFile : StatusFromSqlite(rc, kRmFileLocked);
  }
  if (status != kRmOk && status != kRmDataBufferTooShort) DropScan(h);
  return status;
}

// Copies the row stmt stands on (id, ver, data, kK, sK) to the caller and
// makes it the handle's current record on key_number. The row was found
// through key K's index, and kK is read from the index entry: a record
// whose own key fields make another image than that entry is a damaged
// file (kRmIoError, the handle left where it was), never a record
// delivered in a place its key does not belong.
int16_t SqliteRecordManager::Deliver(Handle& h, int key_number, sqlite3_stmt* stmt, void* data, uint32_t room,
                                     uint32_t* data_length, void* key) {
  OpenFile& f = *h.file;
  const KeyDef& kd = f.spec.keys[static_cast<std::size_t>(key_number)];
  const auto* record = static_cast<const uint8_t*>(::sqlite3_column_blob(stmt, 2));
  const auto size = static_cast<uint32_t>(::sqlite3_column_bytes(stmt, 2));
  const auto* image = static_cast<const char*>(::sqlite3_column_blob(stmt, 3));
  if (record == nullptr || size != f.spec.record_length || image == nullptr) return kRmIoError;
  const auto image_size = static_cast<std::size_t>(::sqlite3_column_bytes(stmt, 3));
  ExtractKeyValue(kd, record, &value_);
  if (!kd.image_is_value) BuildKeyImage(f.spec, kd, reinterpret_cast<const uint8_t*>(value_.data()), &check_);
  const std::string& own = kd.image_is_value ? value_ : check_;
  if (own.size() != image_size || std::memcmp(own.data(), image, image_size) != 0) return kRmIoError;
  h.positioned = true;
  h.key = key_number;
  h.image.assign(image, image_size);
  h.seq = ::sqlite3_column_int64(stmt, 4);
  h.id = ::sqlite3_column_int64(stmt, 0);
  h.ver = ::sqlite3_column_int64(stmt, 1);

  std::memcpy(key, value_.data(), value_.size());
  const uint32_t n = room < size ? room : size;
  if (n > 0) std::memcpy(data, record, n);
  if (data_length != nullptr) *data_length = n;
  return n < size ? kRmDataBufferTooShort : kRmOk;
}

int16_t SqliteRecordManager::Insert(Handle& h, const void* data, const uint32_t* data_length, void* key,
                                    uint8_t key_length, int8_t key_number) {
  OpenFile& f = *h.file;
  if (h.read_only) return kRmAccessDenied;
  if (data == nullptr || data_length == nullptr || *data_length != f.spec.record_length) {
    return kRmDataBufferTooShort;
  }
  if (key_number >= 0 && static_cast<std::size_t>(key_number) >= f.spec.keys.size()) return kRmInvalidKeyNumber;
  const auto* record = static_cast<const uint8_t*>(data);
  std::vector<std::string> images;
  BuildImages(f, record, &images);
  std::vector<int64_t> seqs(f.spec.keys.size(), 0);
  int64_t id = 0, stamp = 0;

  const int16_t status = Write(f, kRmFileLocked, [&]() -> int16_t {
    FileRow row;
    int16_t st = ReadFileRow(f, &row);
    if (st != kRmOk) return st;
    stamp = row.stamp + 1;
    for (std::size_t k = 0; k < f.spec.keys.size(); ++k) {
      const KeyDef& kd = f.spec.keys[k];
      if (kd.duplicates) seqs[k] = stamp;
      for (std::size_t j = 0; j < kd.segments.size(); ++j) {
        const SegmentDef& seg = kd.segments[j];
        int count = 0;
        // A unique key's whole value is new, or the insert fails below.
        if (kd.duplicates || j + 1 < kd.segments.size()) {
          st = CountPrefix(f, k, images[k], seg.value_offset + seg.length, &count);
          if (st != kRmOk) return st;
        }
        if (count == 0) ++row.uniques[kd.first_segment + j];
      }
    }
    sqlite3_stmt* stmt;
    int rc = f.insert.Get(f.db, [&] { return InsertRecordSql(f.spec); }, &stmt);
    if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmFileLocked);
    {
      ResetOnExit reset(stmt);
      BindRecordAndKeys(stmt, stamp, record, f.spec.record_length, images, seqs);
      rc = ::sqlite3_step(stmt);
      if (rc != SQLITE_DONE) return StatusFromSqlite(rc, kRmFileLocked);
      id = ::sqlite3_last_insert_rowid(f.db);
    }
    ++row.records;
    row.stamp = stamp;
    return WriteFileRow(f, row);
  });
  if (status != kRmOk || key_number < 0) return status;
  const auto k = static_cast<std::size_t>(key_number);
  h.positioned = true;
  h.key = key_number;
  h.image = images[k];
  h.seq = seqs[k];
  h.id = id;
  h.ver = stamp;
  if (key != nullptr && key_length >= f.spec.keys[k].length) {
    ExtractKeyValue(f.spec.keys[k], record, &value_);
    std::memcpy(key, value_.data(), value_.size());
  }
  return kRmOk;
}

int16_t SqliteRecordManager::Update(Handle& h, const void* data, const uint32_t* data_length) {
  OpenFile& f = *h.file;
  if (h.read_only) return kRmAccessDenied;
  if (h.id == 0) return kRmInvalidPositioning;
  if (data == nullptr || data_length == nullptr || *data_length != f.spec.record_length) {
    return kRmDataBufferTooShort;
  }
  const auto* record = static_cast<const uint8_t*>(data);
  std::vector<std::string> images, old_images;
  BuildImages(f, record, &images);
  std::vector<int64_t> seqs;
  int64_t stamp = 0;

  const int16_t status = Write(f, kRmRecordLocked, [&]() -> int16_t {
    int64_t ver;
    std::string old_data;
    int16_t st = ReadRecord(f, h.id, &ver, &old_data, &seqs);
    if (st != kRmOk) return st;
    if (ver != h.ver) return kRmConflict;
    BuildImages(f, reinterpret_cast<const uint8_t*>(old_data.data()), &old_images);
    FileRow row;
    st = ReadFileRow(f, &row);
    if (st != kRmOk) return st;
    stamp = row.stamp + 1;
    for (std::size_t k = 0; k < f.spec.keys.size(); ++k) {
      const KeyDef& kd = f.spec.keys[k];
      if (images[k] == old_images[k]) continue;
      if (!kd.modifiable) return kRmKeyNotModifiable;
      if (kd.duplicates) seqs[k] = stamp;  // the changed record goes after its new equals
      for (std::size_t j = 0; j < kd.segments.size(); ++j) {
        const std::size_t prefix = kd.segments[j].value_offset + kd.segments[j].length;
        if (images[k].compare(0, prefix, old_images[k], 0, prefix) == 0) continue;
        int old_count = 1, new_count = 0;
        if (kd.duplicates || j + 1 < kd.segments.size()) {
          st = CountPrefix(f, k, old_images[k], prefix, &old_count);
          if (st == kRmOk) st = CountPrefix(f, k, images[k], prefix, &new_count);
          if (st != kRmOk) return st;
        }
        int64_t& unique = row.uniques[kd.first_segment + j];
        if (old_count == 1) --unique;  // this record held the old value alone
        if (new_count == 0) ++unique;
      }
    }
    sqlite3_stmt* stmt;
    int rc = f.update.Get(f.db, [&] { return UpdateRecordSql(f.spec); }, &stmt);
    if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmRecordLocked);
    {
      ResetOnExit reset(stmt);
      BindRecordAndKeys(stmt, stamp, record, f.spec.record_length, images, seqs);
      ::sqlite3_bind_int64(stmt, static_cast<int>(3 + 2 * images.size()), h.id);
      rc = ::sqlite3_step(stmt);
      if (rc != SQLITE_DONE) return StatusFromSqlite(rc, kRmRecordLocked);
    }
    row.stamp = stamp;
    return WriteFileRow(f, row);
  });
  if (status != kRmOk) return status;
  h.ver = stamp;
  if (h.positioned) {
    h.image = images[static_cast<std::size_t>(h.key)];
    h.seq = seqs[static_cast<std::size_t>(h.key)];
  }
  return kRmOk;
}

int16_t SqliteRecordManager::Delete(Handle& h) {
  OpenFile& f = *h.file;
  if (h.read_only) return kRmAccessDenied;
  if (h.id == 0) return kRmInvalidPositioning;
  const int16_t status = Write(f, kRmRecordLocked, [&]() -> int16_t {
    int64_t ver;
    std::string old_data;
    std::vector<int64_t> seqs;
    std::vector<std::string> images;
    int16_t st = ReadRecord(f, h.id, &ver, &old_data, &seqs);
    if (st != kRmOk) return st;
    if (ver != h.ver) return kRmConflict;
    BuildImages(f, reinterpret_cast<const uint8_t*>(old_data.data()), &images);
    FileRow row;
    st = ReadFileRow(f, &row);
    if (st != kRmOk) return st;
    for (std::size_t k = 0; k < f.spec.keys.size(); ++k) {
      const KeyDef& kd = f.spec.keys[k];
      for (std::size_t j = 0; j < kd.segments.size(); ++j) {
        int count = 1;
        if (kd.duplicates || j + 1 < kd.segments.size()) {
          st = CountPrefix(f, k, images[k], kd.segments[j].value_offset + kd.segments[j].length, &count);
          if (st != kRmOk) return st;
        }
        if (count == 1) --row.uniques[kd.first_segment + j];
      }
    }
    sqlite3_stmt* stmt;
    int rc = f.remove.Get(f.db, [&] { return DeleteRecordSql(); }, &stmt);
    if (rc != SQLITE_OK) return StatusFromSqlite(rc, kRmRecordLocked);
    {
      ResetOnExit reset(stmt);
      ::sqlite3_bind_int64(stmt, 1, h.id);
      rc = ::sqlite3_step(stmt);
      if (rc != SQLITE_DONE) return StatusFromSqlite(rc, kRmRecordLocked);
    }
    --row.records;
    return WriteFileRow(f, row);
  });
  // The place stays: next and previous continue from the deleted record.
  if (status == kRmOk) h.id = 0;
  return status;
}

int16_t SqliteRecordManager::Stat(Handle& h, void* data, uint32_t* data_length) {
  FileRow row;
  const int16_t status = ReadFileRow(*h.file, &row);
  if (status != kRmOk) return status;
  const std::string layout =
      StatLayout(h.file->spec, static_cast<uint64_t>(row.records > 0 ? row.records : 0), row.uniques);
  const uint32_t room = (data == nullptr || data_length == nullptr) ? 0 : *data_length;
  const auto size = static_cast<uint32_t>(layout.size());
  const uint32_t n = room < size ? room : size;
  if (n > 0) std::memcpy(data, layout.data(), n);
  if (data_length != nullptr) *data_length = n;
  return n < size ? kRmDataBufferTooShort : kRmOk;
}

// Builds the new file beside its final path and renames it into place, so
// that a failed create leaves nothing, and an existing file is replaced
// whole or not at all.
int16_t BuildDataFile(const std::string& path, const RecordFileSpec& spec) {
  RemoveSqliteFiles(path);
  sqlite3* db = nullptr;
  int rc = ::sqlite3_open_v2(Cp850ToUtf8Exact(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
  if (rc == SQLITE_OK) {
    ::sqlite3_extended_result_codes(db, 1);
    rc = ::sqlite3_exec(db, ("BEGIN;\n" + CreateSchemaSql(spec) + "COMMIT;").c_str(), nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK) rc = ::sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  const int close_rc = ::sqlite3_close_v2(db);
  if (rc == SQLITE_OK) rc = close_rc;
  if (rc == SQLITE_OK) return kRmOk;
  RemoveSqliteFiles(path);
  return (rc & 0xFF) == SQLITE_FULL ? kRmDiskFull : kRmCreateError;
}

int16_t SqliteRecordManager::Create(const void* data, const uint32_t* data_length, const void* key,
                                    uint8_t key_length, int8_t key_number) {
  const std::string path = PathFromKey(key, key_length);
  if (path.empty()) return kRmInvalidFileName;
  RecordFileSpec spec;
  const std::size_t length = (data == nullptr || data_length == nullptr) ? 0 : *data_length;
  int16_t status = ParseFileSpec(static_cast<const uint8_t*>(data), length, &spec);
  if (status != kRmOk) return status;

  const bool keep_existing = key_number == -1;
  PathKind kind;
  FileIdentity identity;
  status = InspectPath(path, kRmCreateError, &kind, &identity);
  if (status != kRmOk) return status;
  if (kind != PathKind::kMissing) {
    if (keep_existing) return kRmFileExists;
    if (kind != PathKind::kFile) return kRmCreateError;
  }
  // Nobody has the file open while this lock is held (every open holds it
  // shared), so its old write-ahead log can go with it.
  std::unique_ptr<SystemFileLock> lock;
  status = LockDataFile(path, true, &lock);
  if (status != kRmOk) return status == kRmFileNotFound ? kRmCreateError : status;
  if (keep_existing && InspectPath(path, kRmCreateError, &kind, &identity) == kRmOk && kind != PathKind::kMissing) {
    return kRmFileExists;
  }

  const std::string temp = path + "-new";
  status = BuildDataFile(temp, spec);
  if (status != kRmOk) return status;
  RemoveFileIfPresent(path + "-wal");
  RemoveFileIfPresent(path + "-shm");
  status = ReplaceDataFile(temp, path, kRmCreateError);
  if (status != kRmOk) RemoveSqliteFiles(temp);
  return status;
}

// Collects a check's findings, keeping the first kMaxFindings.
class Findings {
 public:
  explicit Findings(DataFileCheck* check) : check_(*check) {}
  void Add(std::string finding) {
    check_.damaged = true;
    if (++count_ <= kMaxFindings) check_.findings.push_back(std::move(finding));
  }
  ~Findings() {
    if (count_ > kMaxFindings) check_.findings.push_back("... and " + std::to_string(count_ - kMaxFindings) + " more");
  }

 private:
  static constexpr int kMaxFindings = 20;
  DataFileCheck& check_;
  int count_ = 0;
};

// The check itself, on an open connection inside a read transaction.
int16_t CheckOpenDataFile(sqlite3* db, DataFileCheck* check) {
  sqlite3_stmt* stmt = nullptr;
  auto finish = [&](int16_t status) {
    ::sqlite3_finalize(stmt);
    stmt = nullptr;
    return status;
  };
  // A database whose pages SQLite finds malformed is a damaged file too.
  auto malformed = [&](int rc) {
    if ((rc & 0xFF) != SQLITE_CORRUPT) return false;
    check->damaged = true;
    check->findings.push_back(std::string("the database is malformed: ") + ::sqlite3_errmsg(db));
    return true;
  };
  int rc = ::sqlite3_prepare_v2(db, "SELECT format, spec, records FROM zov_file WHERE id = 0", -1, &stmt, nullptr);
  if (malformed(rc)) return finish(kRmOk);
  if (rc != SQLITE_OK) return finish((rc & 0xFF) == SQLITE_ERROR ? kRmNotADataFile : StatusFromSqlite(rc, kRmFileLocked));
  rc = ::sqlite3_step(stmt);
  if (malformed(rc)) return finish(kRmOk);
  if (rc != SQLITE_ROW) return finish(rc == SQLITE_DONE ? kRmNotADataFile : StatusFromSqlite(rc, kRmFileLocked));
  RecordFileSpec spec;
  const std::string layout = ColumnBlob(stmt, 1);
  if (::sqlite3_column_int64(stmt, 0) != kSchemaFormat ||
      ParseFileSpec(reinterpret_cast<const uint8_t*>(layout.data()), layout.size(), &spec) != kRmOk) {
    return finish(kRmNotADataFile);
  }
  const int64_t counted = ::sqlite3_column_int64(stmt, 2);
  finish(kRmOk);

  Findings findings(check);
  // SQLite's own check: the pages, and every index entry against its row.
  rc = ::sqlite3_prepare_v2(db, "PRAGMA integrity_check(100)", -1, &stmt, nullptr);
  if (malformed(rc)) return finish(kRmOk);
  if (rc != SQLITE_OK) return finish(StatusFromSqlite(rc, kRmFileLocked));
  while ((rc = ::sqlite3_step(stmt)) == SQLITE_ROW) {
    const auto* text = reinterpret_cast<const char*>(::sqlite3_column_text(stmt, 0));
    const std::string line = text == nullptr ? std::string() : std::string(text);
    if (line != "ok") findings.Add(line);
  }
  if (rc != SQLITE_DONE) {
    // A database too damaged to be walked says so by failing the check.
    findings.Add(std::string("the check stopped: ") + ::sqlite3_errmsg(db));
    return finish(kRmOk);
  }
  finish(kRmOk);

  // Then every record against the key images stored beside it (which the
  // index entries were checked against), and the count the header keeps.
  std::string sql = "SELECT id, data";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) sql += ", k" + std::to_string(k);
  sql += " FROM zov_records";
  rc = ::sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  if (malformed(rc)) return finish(kRmOk);
  if (rc != SQLITE_OK) return finish(StatusFromSqlite(rc, kRmFileLocked));
  int64_t records = 0;
  std::string value, image;
  while ((rc = ::sqlite3_step(stmt)) == SQLITE_ROW) {
    ++records;
    const std::string id = std::to_string(::sqlite3_column_int64(stmt, 0));
    const std::string data = ColumnBlob(stmt, 1);
    if (data.size() != spec.record_length) {
      findings.Add("record " + id + ": " + std::to_string(data.size()) + " bytes where the file's records have " +
                   std::to_string(spec.record_length));
      continue;
    }
    for (std::size_t k = 0; k < spec.keys.size(); ++k) {
      ExtractKeyValue(spec.keys[k], reinterpret_cast<const uint8_t*>(data.data()), &value);
      BuildKeyImage(spec, spec.keys[k], reinterpret_cast<const uint8_t*>(value.data()), &image);
      if (image != ColumnBlob(stmt, static_cast<int>(2 + k))) {
        findings.Add("record " + id + ": key " + std::to_string(k) + " in the record disagrees with its stored key");
      }
    }
  }
  if (rc != SQLITE_DONE) {
    findings.Add(std::string("the records could not all be read: ") + ::sqlite3_errmsg(db));
  } else if (records != counted) {
    findings.Add("the header counts " + std::to_string(counted) + " records, the file holds " + std::to_string(records));
  }
  return finish(kRmOk);
}

}  // namespace

int16_t CheckDataFile(const std::string& file, DataFileCheck* check) {
  *check = DataFileCheck{};
  std::string path = file;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  PathKind kind;
  FileIdentity identity;
  int16_t status = InspectPath(path, kRmFileNotFound, &kind, &identity);
  if (status != kRmOk) return status;
  if (kind == PathKind::kMissing) return kRmFileNotFound;
  if (kind != PathKind::kFile) return kRmNotADataFile;
  // As an open does: no create may replace the file meanwhile.
  std::unique_ptr<SystemFileLock> lock;
  status = LockDataFile(path, false, &lock);
  if (status != kRmOk) return status;
  sqlite3* db = nullptr;
  int rc = ::sqlite3_open_v2(Cp850ToUtf8Exact(path).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc == SQLITE_OK) {
    ::sqlite3_extended_result_codes(db, 1);
    ::sqlite3_busy_timeout(db, 5000);
    rc = ::sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    status = (rc & 0xFF) == SQLITE_CANTOPEN ? kRmFileNotFound : StatusFromSqlite(rc, kRmFileLocked);
  } else {
    status = CheckOpenDataFile(db, check);
    ::sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  ::sqlite3_close_v2(db);
  RestoreFloatingPointControl();
  return status;
}

std::unique_ptr<RecordManager> NewSqliteRecordManager(const SqliteRecordManagerOptions& options) {
  return std::make_unique<SqliteRecordManager>(options);
}

std::unique_ptr<RecordManager> NewSqliteRecordManager() {
  return NewSqliteRecordManager(SqliteRecordManagerOptions());
}

}  // namespace zov::platform
