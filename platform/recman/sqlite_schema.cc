#include "platform/recman/sqlite_schema.h"

namespace zov::platform {
namespace {

std::string K(std::size_t key) { return "k" + std::to_string(key); }
std::string S(std::size_t key) { return "s" + std::to_string(key); }

std::string HexBlob(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "X'";
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 0xF];
  }
  return out + "'";
}

}  // namespace

std::string KeyQuerySql(KeyQuery query, std::size_t key) {
  const std::string k = K(key), s = S(key);
  const std::string select = "SELECT id, ver, data, " + k + ", " + s + " FROM zov_records WHERE ";
  const std::string up = " ORDER BY " + k + ", " + s + " LIMIT 1";
  const std::string down = " ORDER BY " + k + " DESC, " + s + " DESC LIMIT 1";
  switch (query) {
    case KeyQuery::kEqual: return select + k + " = ?1" + up;
    case KeyQuery::kGreater: return select + k + " > ?1" + up;
    case KeyQuery::kGreaterEqual: return select + k + " >= ?1" + up;
    case KeyQuery::kLess: return select + k + " < ?1" + down;
    case KeyQuery::kLessEqual: return select + k + " <= ?1" + down;
    case KeyQuery::kNext: return select + "(" + k + ", " + s + ") > (?1, ?2)" + up;
    case KeyQuery::kPrevious: return select + "(" + k + ", " + s + ") < (?1, ?2)" + down;
  }
  return std::string();
}

std::string KeyScanSql(KeyQuery query, std::size_t key) {
  std::string sql = KeyQuerySql(query, key);
  const std::string limit = " LIMIT 1";
  if (sql.size() >= limit.size() && sql.compare(sql.size() - limit.size(), limit.size(), limit) == 0) {
    sql.resize(sql.size() - limit.size());
  }
  return sql;
}

std::string PrefixProbeSql(std::size_t key) {
  return "SELECT count(*) FROM (SELECT 1 FROM zov_records WHERE " + K(key) + " BETWEEN ?1 AND ?2 LIMIT 2)";
}

std::string CreateSchemaSql(const RecordFileSpec& spec) {
  std::string sql =
      "CREATE TABLE zov_file(id INTEGER PRIMARY KEY CHECK (id = 0), format INTEGER NOT NULL,"
      " spec BLOB NOT NULL, stamp INTEGER NOT NULL, records INTEGER NOT NULL, uniques BLOB NOT NULL);\n"
      "CREATE TABLE zov_records(id INTEGER PRIMARY KEY, ver INTEGER NOT NULL, data BLOB NOT NULL";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) {
    sql += ", " + K(k) + " BLOB NOT NULL, " + S(k) + " INTEGER NOT NULL";
    if (!spec.keys[k].duplicates) sql += " CHECK (" + S(k) + " = 0)";
  }
  sql += ");\n";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) {
    sql += std::string("CREATE ") + (spec.keys[k].duplicates ? "" : "UNIQUE ") + "INDEX zov_key" +
           std::to_string(k) + " ON zov_records(" + K(k) + ", " + S(k) + ");\n";
  }
  sql += "INSERT INTO zov_file VALUES (0, " + std::to_string(kSchemaFormat) + ", " + HexBlob(spec.layout) +
         ", 0, 0, zeroblob(" + std::to_string(spec.segment_count * 8) + "));\n";
  return sql;
}

std::string ReadFileRowSql() { return "SELECT stamp, records, uniques FROM zov_file WHERE id = 0"; }

std::string WriteFileRowSql() { return "UPDATE zov_file SET stamp = ?1, records = ?2, uniques = ?3 WHERE id = 0"; }

std::string ReadRecordSql(const RecordFileSpec& spec) {
  std::string sql = "SELECT ver, data";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) sql += ", " + S(k);
  return sql + " FROM zov_records WHERE id = ?1";
}

std::string InsertRecordSql(const RecordFileSpec& spec) {
  std::string columns = "ver, data", values = "?1, ?2";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) {
    columns += ", " + K(k) + ", " + S(k);
    values += ", ?" + std::to_string(3 + 2 * k) + ", ?" + std::to_string(4 + 2 * k);
  }
  return "INSERT INTO zov_records(" + columns + ") VALUES (" + values + ")";
}

std::string UpdateRecordSql(const RecordFileSpec& spec) {
  std::string sql = "UPDATE zov_records SET ver = ?1, data = ?2";
  for (std::size_t k = 0; k < spec.keys.size(); ++k) {
    sql += ", " + K(k) + " = ?" + std::to_string(3 + 2 * k) + ", " + S(k) + " = ?" + std::to_string(4 + 2 * k);
  }
  return sql + " WHERE id = ?" + std::to_string(3 + 2 * spec.keys.size());
}

std::string DeleteRecordSql() { return "DELETE FROM zov_records WHERE id = ?1"; }

}  // namespace zov::platform
