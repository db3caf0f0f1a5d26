// The SQL of the SQLite engine: the schema of one data file and the
// statements that read and write it. Kept apart from the engine so that
// tests can check the query plans of the very statements it runs.
//
// One database per data file, at the caller's path:
//
//   zov_file(id INTEGER PRIMARY KEY CHECK (id = 0), format INTEGER,
//            spec BLOB, stamp INTEGER, records INTEGER, uniques BLOB)
//     one row: the specification as stat returns it (counts zero), the last
//     stamp handed out, the record count, and per key segment the number of
//     distinct values of its key up to that segment (8 bytes LE each).
//   zov_records(id INTEGER PRIMARY KEY, ver INTEGER, data BLOB,
//               k0 BLOB, s0 INTEGER, k1 BLOB, s1 INTEGER, ...)
//     one row per record: its bytes, and per key N the key's image kN (the
//     value made memcmp-comparable, see file_spec.h) and its order sN among
//     equal images.
//   zov_key0 ON zov_records(k0, s0), zov_key1 ...: one index per key,
//     UNIQUE for a key without duplicates, whose sN is then always 0.
//
// Stamps come from the file's one counter: an insert or update takes the
// next stamp as the row's ver and as sN of each duplicate key whose value it
// sets, so equal keys come back in the order their values were written, and
// (id, ver) never names two different versions of a row.
#ifndef ZOV_PLATFORM_RECMAN_SQLITE_SCHEMA_H_
#define ZOV_PLATFORM_RECMAN_SQLITE_SCHEMA_H_

#include <cstddef>
#include <string>

#include "platform/recman/key_defs.h"

namespace zov::platform {

inline constexpr int kSchemaFormat = 1;

// Statements that find a record by key K. Each selects
// (id, ver, data, kK, sK) and returns at most one row.
enum class KeyQuery {
  kEqual,         // kK = ?1, first of the duplicates
  kGreater,       // kK > ?1
  kGreaterEqual,  // kK >= ?1 (also get first, with an empty image)
  kLess,          // kK < ?1, last of the duplicates
  kLessEqual,     // kK <= ?1 (also get last, with an image of 0xFF bytes)
  kNext,          // (kK, sK) > (?1, ?2)
  kPrevious,      // (kK, sK) < (?1, ?2)
};
inline constexpr int kKeyQueryCount = 7;

std::string KeyQuerySql(KeyQuery query, std::size_t key);

// kNext, kGreater or kGreaterEqual without the limit: every row from the
// one found on, in key K's order, for a statement stepped along the key
// across calls.
std::string KeyScanSql(KeyQuery query, std::size_t key);

// SELECT count(*) of at most 2 rows whose kK lies between ?1 and ?2.
std::string PrefixProbeSql(std::size_t key);

// Every statement of a new file, zov_file's row included (binds nothing).
std::string CreateSchemaSql(const RecordFileSpec& spec);

std::string ReadFileRowSql();   // stamp, records, uniques
std::string WriteFileRowSql();  // ?1 stamp, ?2 records, ?3 uniques
std::string ReadRecordSql(const RecordFileSpec& spec);    // ver, data, s0.. WHERE id = ?1
std::string InsertRecordSql(const RecordFileSpec& spec);  // ?1 ver, ?2 data, ?3 k0, ?4 s0, ...
std::string UpdateRecordSql(const RecordFileSpec& spec);  // as insert, id last
std::string DeleteRecordSql();                            // ?1 id

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_SQLITE_SCHEMA_H_
