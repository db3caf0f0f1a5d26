// Damages an index of one of the engine's data files as a faulty disk or a
// stray write would: a few bytes of one index entry overwritten in the file
// itself, the row it points to left as it was, so that the entry and its
// record disagree. For files small enough that the index is its root page.
#ifndef ZOV_TESTS_PLATFORM_RECMAN_DAMAGED_INDEX_H_
#define ZOV_TESTS_PLATFORM_RECMAN_DAMAGED_INDEX_H_

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <string>

namespace zov::platform::test {

// Replaces the bytes `from` by `to` (as long) in the root page of index
// `index` ("zov_key0", ...) of the data file at `path`, once: the file must
// be closed by every engine. False, with *error, when it cannot.
inline bool DamageIndexEntry(const std::string& path, const std::string& index, const std::string& from,
                             const std::string& to, std::string* error) {
  sqlite3* db = nullptr;
  long page_size = 0, root = 0;
  bool ok = ::sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  // Everything into the database file itself, so that the bytes are there.
  ok = ok && ::sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema WHERE name = '" +
                          index + "'";
  if (ok && ::sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && ::sqlite3_step(stmt) == SQLITE_ROW) {
    root = ::sqlite3_column_int(stmt, 0);
    page_size = ::sqlite3_column_int(stmt, 1);
  }
  ::sqlite3_finalize(stmt);
  ::sqlite3_close(db);
  if (root <= 0 || page_size <= 0 || from.size() != to.size()) {
    *error = "no index " + index + " in " + path;
    return false;
  }
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::size_t start = static_cast<std::size_t>((root - 1) * page_size);
  const std::size_t at = bytes.find(from, start);
  if (at == std::string::npos || at + from.size() > start + static_cast<std::size_t>(page_size)) {
    *error = "no entry holding those bytes in the root page of " + index;
    return false;
  }
  bytes.replace(at, to.size(), to);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace zov::platform::test

#endif  // ZOV_TESTS_PLATFORM_RECMAN_DAMAGED_INDEX_H_
