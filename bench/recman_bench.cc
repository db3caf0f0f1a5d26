// Get equal and get next through the SQLite engine's call (with and without
// read snapshots shared between calls), beside the same lookups done with a
// bare prepared statement on the same table, on a file of 1,000,000 records
// with a 10-byte two-segment key (a 6-byte property code and a 4-byte date,
// as the receipts file has).
//
// The file is built once per run, through the engine, in a temporary
// directory that is removed at the end. Run: build/bench/recman_bench
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/recman/file_spec.h"
#include "platform/recman/record_file.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/sqlite_schema.h"

namespace zov::platform {
namespace {

constexpr uint32_t kRecords = 1000000;
constexpr uint32_t kReceiptsPerProperty = 50;
constexpr uint16_t kRecordLength = 120;

// Key value of record i: packed-digit property code, then packed date.
std::string KeyOf(uint32_t i) {
  const uint32_t property = i / kReceiptsPerProperty, receipt = i % kReceiptsPerProperty;
  std::string key(10, '\0');
  uint32_t p = property;
  for (int b = 5; b >= 0; --b, p /= 100) key[b] = static_cast<char>(128 + p % 100);
  key[6] = static_cast<char>(128 + 20);
  key[7] = static_cast<char>(128 + 20 + receipt / 12);
  key[8] = static_cast<char>(128 + 1 + receipt % 12);
  key[9] = static_cast<char>(128 + 1);
  return key;
}

std::string Spec() {
  FileSpec spec;
  spec.record_length = kRecordLength;
  spec.page_size = 4096;
  spec.keys = {{{1, 6}, {7, 4}}};
  std::string bytes = EncodeFileSpec(spec);
  bytes.resize(kDataBufferLength, ' ');
  return bytes;
}

// The benchmark file, built on first use and removed at exit.
class BenchFile {
 public:
  static const BenchFile& Get() {
    static const BenchFile file;
    return file;
  }
  ~BenchFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  BenchFile() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zovrecman-bench-XXXXXX";
    dir_ = ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
    path_ = dir_ + "/VCobros.dat";
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<RecordManager> rm = NewSqliteRecordManager();
    RecordFile f(*rm);
    int16_t st = f.Create(path_, Spec(), -1);
    if (st == 0) st = f.Open(path_, RecordFile::kExclusive);
    if (st == 0) st = BeginTransaction(*rm);
    std::string record(kRecordLength, 'x');
    for (uint32_t i = 0; st == 0 && i < kRecords; ++i) {
      const std::string k = KeyOf(i);
      std::memcpy(record.data(), k.data(), k.size());
      std::snprintf(record.data() + 10, 20, "receipt %9u", i);
      st = f.Insert(record, -1);
    }
    if (st == 0) st = EndTransaction(*rm);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "built %u records in %.1f s (status %d)\n", kRecords, seconds, st);
    if (st != 0) std::abort();
  }
  std::string dir_, path_;
};

// A pseudo-random walk over all record numbers.
uint32_t NextIndex(uint32_t i) { return static_cast<uint32_t>((uint64_t{i} * 2654435761u + 12345u) % kRecords); }

// An open through an engine with the given read snapshot bound (0: every
// read its own transaction).
class EngineHandle {
 public:
  explicit EngineHandle(int read_snapshot_ms) : rm_(NewSqliteRecordManager(Options(read_snapshot_ms))), file_(*rm_) {
    if (file_.Open(BenchFile::Get().path(), RecordFile::kReadOnly) != 0) std::abort();
  }
  static SqliteRecordManagerOptions Options(int read_snapshot_ms) {
    SqliteRecordManagerOptions options;
    options.read_snapshot_ms = read_snapshot_ms;
    return options;
  }
  int16_t Get(uint16_t op, std::string* key) { return file_.Get(op, 0, key, &record_); }

 private:
  std::unique_ptr<RecordManager> rm_;
  RecordFile file_;
  std::string record_;
};

class BareStatement {
 public:
  explicit BareStatement(const std::string& sql) {
    if (sqlite3_open_v2(BenchFile::Get().path().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      std::abort();
    }
  }
  ~BareStatement() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
  }
  sqlite3_stmt* stmt() { return stmt_; }
  char* buffer() { return data_; }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  char data_[1536];
};

void BM_EngineGetEqual(benchmark::State& state) {
  EngineHandle h(static_cast<int>(state.range(0)));
  uint32_t i = 1;
  for (auto _ : state) {
    i = NextIndex(i);
    std::string key = KeyOf(i);
    if (h.Get(kOpGetEqual, &key) != 0) state.SkipWithError("get equal failed");
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_BareGetEqual(benchmark::State& state) {
  BareStatement s("SELECT data FROM zov_records WHERE k0 = ?1");
  uint32_t i = 1;
  for (auto _ : state) {
    i = NextIndex(i);
    std::string key = KeyOf(i);
    sqlite3_bind_blob(s.stmt(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    if (sqlite3_step(s.stmt()) != SQLITE_ROW) state.SkipWithError("no row");
    std::memcpy(s.buffer(), sqlite3_column_blob(s.stmt(), 0), static_cast<std::size_t>(sqlite3_column_bytes(s.stmt(), 0)));
    sqlite3_reset(s.stmt());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EngineGetNext(benchmark::State& state) {
  EngineHandle h(static_cast<int>(state.range(0)));
  std::string key(10, '\0');
  if (h.Get(kOpGetFirst, &key) != 0) state.SkipWithError("get first failed");
  for (auto _ : state) {
    if (h.Get(kOpGetNext, &key) != 0 && h.Get(kOpGetFirst, &key) != 0) state.SkipWithError("get next failed");
  }
  state.SetItemsProcessed(state.iterations());
}

// The same lookup as the engine's next: the row after a key and stamp.
void BM_BareGetNext(benchmark::State& state) {
  BareStatement s(KeyQuerySql(KeyQuery::kNext, 0));
  std::string image;
  int64_t seq = -1;
  for (auto _ : state) {
    sqlite3_bind_blob(s.stmt(), 1, image.data(), static_cast<int>(image.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s.stmt(), 2, seq);
    if (sqlite3_step(s.stmt()) == SQLITE_ROW) {
      std::memcpy(s.buffer(), sqlite3_column_blob(s.stmt(), 2), static_cast<std::size_t>(sqlite3_column_bytes(s.stmt(), 2)));
      image.assign(static_cast<const char*>(sqlite3_column_blob(s.stmt(), 3)),
                   static_cast<std::size_t>(sqlite3_column_bytes(s.stmt(), 3)));
      seq = sqlite3_column_int64(s.stmt(), 4);
    } else {
      image.clear();
      seq = -1;
    }
    sqlite3_reset(s.stmt());
  }
  state.SetItemsProcessed(state.iterations());
}

// The floor of get next: one open statement stepping through the index, as
// the engine's kept scan does inside a read snapshot.
void BM_BareScanStep(benchmark::State& state) {
  BareStatement s("SELECT data FROM zov_records ORDER BY k0, s0");
  for (auto _ : state) {
    if (sqlite3_step(s.stmt()) != SQLITE_ROW) {
      sqlite3_reset(s.stmt());
      sqlite3_step(s.stmt());
    }
    std::memcpy(s.buffer(), sqlite3_column_blob(s.stmt(), 0), static_cast<std::size_t>(sqlite3_column_bytes(s.stmt(), 0)));
  }
  sqlite3_reset(s.stmt());
  state.SetItemsProcessed(state.iterations());
}

// Argument: the read snapshot bound in ms (2, the default; 0, none).
BENCHMARK(BM_EngineGetEqual)->Arg(2)->Arg(0)->MinTime(2.0);
BENCHMARK(BM_BareGetEqual)->MinTime(2.0);
BENCHMARK(BM_EngineGetNext)->Arg(2)->Arg(0)->MinTime(2.0);
BENCHMARK(BM_BareGetNext)->MinTime(2.0);
BENCHMARK(BM_BareScanStep)->MinTime(1.0);

}  // namespace
}  // namespace zov::platform

BENCHMARK_MAIN();
