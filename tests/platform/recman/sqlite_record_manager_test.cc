#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/recman/record_managers.h"
#include "platform/recman/sqlite_schema.h"
#include "platform/recman/status.h"
#include "platform/testing/fake_clock.h"
#include "tests/platform/recman/damaged_index.h"
#include "tests/platform/recman/recman_test_util.h"

namespace zov::platform {
namespace {

using test::Le;
using test::MakeSpec;
using test::PathKey;

using test::NumberOf;
using test::Rec;
using test::Spec;

std::string Name(const std::string& name) {
  std::string n = name;
  n.resize(6, ' ');
  return n;
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Engines besides the one under test read afresh on every call unless told.
std::unique_ptr<RecordManager> NewEngine(int read_snapshot_ms = 0, Clock* clock = nullptr) {
  SqliteRecordManagerOptions options;
  options.busy_timeout_ms = 200;
  options.read_snapshot_ms = read_snapshot_ms;
  options.clock = clock;
  return NewSqliteRecordManager(options);
}

// Every case runs on an engine that gives each read its own transaction,
// and on one whose read snapshot never ages out, so that only writes,
// transactions, close and reset release it.
class RecordManagerTest : public ::testing::TestWithParam<int> {
 protected:
  void MakeFile(const std::vector<std::string>& records, const std::string& spec = Spec()) {
    RecordFile f(*rm_);
    ASSERT_EQ(f.Create(path_, test::Padded(spec), 0), kRmOk);
    ASSERT_EQ(f.Open(path_), kRmOk);
    for (const std::string& r : records) ASSERT_EQ(f.Insert(r), kRmOk) << NumberOf(r);
    ASSERT_EQ(f.Close(), kRmOk);
  }
  // The numbers of the records met walking key_number from first to last.
  std::vector<uint32_t> Walk(RecordFile& f, int8_t key_number, uint16_t start = kOpGetFirst) {
    std::vector<uint32_t> seen;
    std::string key(key_number == 0 ? 4 : 6, '\0'), record;
    const uint16_t step = start == kOpGetFirst ? kOpGetNext : kOpGetPrevious;
    for (int16_t st = f.Get(start, key_number, &key, &record); st == kRmOk;
         st = f.Get(step, key_number, &key, &record)) {
      seen.push_back(NumberOf(record));
    }
    return seen;
  }
  uint32_t RecordCount(RecordFile& f) {
    std::string stat;
    EXPECT_EQ(f.Stat(&stat), kRmOk);
    return test::Get32(stat, kSpecRecordCountOffset);
  }

  test::ScratchDir dir_;
  std::unique_ptr<RecordManager> rm_ = NewEngine(GetParam());
  std::string path_ = dir_.path() + "VCobros.dat";
};

INSTANTIATE_TEST_SUITE_P(ReadSnapshots, RecordManagerTest, ::testing::Values(0, 3600000),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("EachReadOwnTransaction")
                                                  : std::string("SnapshotHeldUntilReleased");
                         });

TEST_P(RecordManagerTest, KeyedGetsFindTheRightRecord) {
  MakeFile({Rec(20, "B"), Rec(10, "C"), Rec(30, "A")});
  struct Case {
    const char* name;
    uint16_t op;
    uint32_t key;
    int16_t status;
    uint32_t found;
  };
  const std::vector<Case> cases = {
      {"equal", kOpGetEqual, 20, kRmOk, 20},
      {"equal, missing", kOpGetEqual, 25, kRmKeyNotFound, 0},
      {"equal, below all", kOpGetEqual, 1, kRmKeyNotFound, 0},
      {"greater", kOpGetGreater, 20, kRmOk, 30},
      {"greater, between", kOpGetGreater, 15, kRmOk, 20},
      {"greater, at the last", kOpGetGreater, 30, kRmEndOfFile, 0},
      {"greater or equal, equal", kOpGetGreaterOrEqual, 20, kRmOk, 20},
      {"greater or equal, between", kOpGetGreaterOrEqual, 25, kRmOk, 30},
      {"greater or equal, below all", kOpGetGreaterOrEqual, 0, kRmOk, 10},
      {"greater or equal, past the last", kOpGetGreaterOrEqual, 31, kRmEndOfFile, 0},
      {"greater or equal, 256 after 255 (binary)", kOpGetGreaterOrEqual, 256, kRmEndOfFile, 0},
      {"less", kOpGetLess, 20, kRmOk, 10},
      {"less, at the first", kOpGetLess, 10, kRmEndOfFile, 0},
      {"less, above all", kOpGetLess, 0xFFFFFFFF, kRmOk, 30},
      {"less or equal, equal", kOpGetLessOrEqual, 20, kRmOk, 20},
      {"less or equal, between", kOpGetLessOrEqual, 25, kRmOk, 20},
      {"less or equal, below all", kOpGetLessOrEqual, 9, kRmEndOfFile, 0},
      {"first", kOpGetFirst, 0, kRmOk, 10},
      {"last", kOpGetLast, 0, kRmOk, 30},
  };
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  for (const Case& c : cases) {
    std::string key = Le(c.key, 4), record = "untouched";
    EXPECT_EQ(f.Get(c.op, 0, &key, &record), c.status) << c.name;
    if (c.status == kRmOk) {
      EXPECT_EQ(NumberOf(record), c.found) << c.name;
      EXPECT_EQ(record.size(), 16u) << c.name;
      EXPECT_EQ(key, Le(c.found, 4)) << c.name << ": key buffer gets the record's key";
    } else {
      EXPECT_EQ(record, "") << c.name << ": nothing delivered";
    }
  }
}

// An index entry whose bytes were changed on disk ("CHARLI" became
// "CHARLZ" in key 1's index, the record untouched): every read that reaches
// the record through that entry answers 2, a damaged file, and leaves the
// cursor where it was; the record's own key is not in the index (4); the
// other key's index still finds it. The same for a binary key, whose image
// is not its value.
TEST_P(RecordManagerTest, AnIndexEntryThatDisagreesWithItsRecordIsADamagedFile) {
  MakeFile({Rec(1, "ALPHA"), Rec(2, "BRAVO"), Rec(3, "CHARLI"), Rec(4, "DELTA"), Rec(5, "ECHO"),
            Rec(0x5A5B5C5D, "FOXTRO")});
  std::string error;
  ASSERT_TRUE(test::DamageIndexEntry(path_, "zov_key1", "CHARLI", "CHARLZ", &error)) << error;
  // Key 0 is binary: its image is the number high byte first.
  ASSERT_TRUE(test::DamageIndexEntry(path_, "zov_key0", "\x5A\x5B\x5C\x5D", "\x5A\x5B\x5C\x5E", &error)) << error;
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  struct Case {
    uint16_t op;
    int8_t key_number;
    std::string key;
    int16_t status;
    uint32_t number;  // the record delivered, when status is 0
  } cases[] = {
      {kOpGetEqual, 1, Name("CHARLZ"), kRmIoError, 0},
      {kOpGetEqual, 1, Name("CHARLI"), kRmKeyNotFound, 0},
      {kOpGetGreaterOrEqual, 1, Name("C"), kRmIoError, 0},
      {kOpGetEqual, 1, Name("BRAVO"), kRmOk, 2},
      {kOpGetNext, 1, "", kRmIoError, 0},
      {kOpGetNext, 1, "", kRmIoError, 0},  // still standing on BRAVO
      {kOpGetPrevious, 1, "", kRmOk, 1},
      {kOpGetLessOrEqual, 1, Name("D"), kRmIoError, 0},
      {kOpGetEqual, 0, Le(3, 4), kRmOk, 3},
      {kOpGetEqual, 0, Le(0x5A5B5C5E, 4), kRmIoError, 0},
      {kOpGetEqual, 0, Le(0x5A5B5C5D, 4), kRmKeyNotFound, 0},
      {kOpGetEqual, 1, Name("FOXTRO"), kRmOk, 0x5A5B5C5D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("operation " + std::to_string(c.op) + " " + c.key);
    std::string key = c.key.empty() ? std::string(c.key_number == 0 ? 4 : 6, '\0') : c.key, record;
    EXPECT_EQ(f.Get(c.op, c.key_number, &key, &record), c.status);
    if (c.status == kRmOk) {
      EXPECT_EQ(NumberOf(record), c.number);
    }
  }
  EXPECT_EQ(Walk(f, 0), (std::vector<uint32_t>{1, 2, 3, 4, 5})) << "and then the damaged entry";
}

TEST_P(RecordManagerTest, EveryGetOnAnEmptyFile) {
  MakeFile({});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  const std::vector<std::pair<uint16_t, int16_t>> cases = {
      {kOpGetNext, kRmInvalidPositioning}, {kOpGetPrevious, kRmInvalidPositioning},
      {kOpGetEqual, kRmKeyNotFound},       {kOpGetGreater, kRmEndOfFile},
      {kOpGetGreaterOrEqual, kRmEndOfFile}, {kOpGetLess, kRmEndOfFile},
      {kOpGetLessOrEqual, kRmEndOfFile},   {kOpGetFirst, kRmEndOfFile},
      {kOpGetLast, kRmEndOfFile},
  };
  for (int8_t key_number : {int8_t{0}, int8_t{1}}) {
    for (const auto& [op, status] : cases) {
      std::string key(key_number == 0 ? 4 : 6, 'A'), record;
      EXPECT_EQ(f.Get(op, key_number, &key, &record), status) << "op " << op << " key " << int{key_number};
    }
  }
}

TEST_P(RecordManagerTest, NextAndPreviousWalkBothWaysAndStopAtTheEnds) {
  MakeFile({Rec(20, "B"), Rec(10, "C"), Rec(30, "A")});
  struct Step {
    uint16_t op;
    int16_t status;
    uint32_t number;  // the record delivered, when status is 0
  };
  const std::vector<Step> steps = {
      {kOpGetFirst, kRmOk, 10},       {kOpGetPrevious, kRmEndOfFile, 0}, {kOpGetNext, kRmOk, 20},
      {kOpGetNext, kRmOk, 30},        {kOpGetNext, kRmEndOfFile, 0},     {kOpGetNext, kRmEndOfFile, 0},
      {kOpGetPrevious, kRmOk, 20},    {kOpGetLast, kRmOk, 30},           {kOpGetPrevious, kRmOk, 20},
      {kOpGetPrevious, kRmOk, 10},    {kOpGetPrevious, kRmEndOfFile, 0}, {kOpGetNext, kRmOk, 20},
  };
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    std::string key(4, '\0'), record;
    ASSERT_EQ(f.Get(steps[i].op, 0, &key, &record), steps[i].status) << "step " << i;
    if (steps[i].status == kRmOk) {
      EXPECT_EQ(NumberOf(record), steps[i].number) << "step " << i;
    }
  }
  // By name: A(30) B(20) C(10).
  EXPECT_EQ(Walk(f, 1), (std::vector<uint32_t>{30, 20, 10}));
  EXPECT_EQ(Walk(f, 1, kOpGetLast), (std::vector<uint32_t>{10, 20, 30}));
}

TEST_P(RecordManagerTest, DuplicatesComeBackInTheOrderTheirValuesWereWritten) {
  MakeFile({Rec(1, "B"), Rec(2, "A"), Rec(3, "B"), Rec(4, "A"), Rec(5, "B")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  EXPECT_EQ(Walk(f, 1), (std::vector<uint32_t>{2, 4, 1, 3, 5}));
  EXPECT_EQ(Walk(f, 1, kOpGetLast), (std::vector<uint32_t>{5, 3, 1, 4, 2}));
  struct Case {
    uint16_t op;
    const char* name;
    uint32_t found;
  };
  for (const Case& c : std::vector<Case>{{kOpGetEqual, "B", 1},
                                         {kOpGetGreaterOrEqual, "B", 1},
                                         {kOpGetGreater, "A", 1},
                                         {kOpGetLessOrEqual, "B", 5},
                                         {kOpGetLess, "B", 4},
                                         {kOpGetLessOrEqual, "A", 4}}) {
    std::string key = Name(c.name), record;
    ASSERT_EQ(f.Get(c.op, 1, &key, &record), kRmOk) << c.op << " " << c.name;
    EXPECT_EQ(NumberOf(record), c.found) << c.op << " " << c.name;
  }

  // An update that changes the name moves the record after its new equals;
  // one that keeps the name keeps its place.
  std::string key = Le(1, 4), record;
  ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  ASSERT_EQ(f.Update(Rec(1, "A")), kRmOk);
  key = Le(4, 4);
  ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  ASSERT_EQ(f.Update(Rec(4, "A", "paid")), kRmOk);
  EXPECT_EQ(Walk(f, 1), (std::vector<uint32_t>{2, 4, 1, 3, 5}));
  ASSERT_EQ(f.Insert(Rec(6, "A")), kRmOk);
  EXPECT_EQ(Walk(f, 1), (std::vector<uint32_t>{2, 4, 1, 6, 3, 5}));
}

TEST_P(RecordManagerTest, NextAndPreviousFollowWhatOtherHandlesDo) {
  // The reader is a second open in the same engine, or an open in another
  // engine (with its own connection, as another process has, reading afresh
  // on every call).
  for (bool same_engine : {true, false}) {
    SCOPED_TRACE(same_engine ? "same engine" : "other engine");
    MakeFile({Rec(10, "A"), Rec(20, "B"), Rec(30, "C")});
    std::unique_ptr<RecordManager> other_rm = NewEngine();
    RecordFile reader(same_engine ? *rm_ : *other_rm), writer(*rm_);
    ASSERT_EQ(reader.Open(path_), kRmOk);
    ASSERT_EQ(writer.Open(path_), kRmOk);
    std::string key = Le(20, 4), record;
    auto writer_delete = [&](uint32_t n) {
      std::string k = Le(n, 4), r;
      ASSERT_EQ(writer.Get(kOpGetEqual, 0, &k, &r), kRmOk);
      ASSERT_EQ(writer.Delete(), kRmOk);
    };
    auto reader_step = [&](uint16_t op) {
      std::string k(4, '\0'), r;
      const int16_t st = reader.Get(op, 0, &k, &r);
      return st == kRmOk ? static_cast<int64_t>(NumberOf(r)) : -st;
    };
    ASSERT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmOk);
    ASSERT_EQ(writer.Insert(Rec(25, "X")), kRmOk);
    writer_delete(30);
    EXPECT_EQ(reader_step(kOpGetNext), 25);
    EXPECT_EQ(reader_step(kOpGetNext), -kRmEndOfFile);
    // The reader's current record (25) goes; it continues from its place.
    writer_delete(25);
    EXPECT_EQ(reader_step(kOpGetNext), -kRmEndOfFile);
    EXPECT_EQ(reader_step(kOpGetPrevious), 20);
    writer_delete(20);
    ASSERT_EQ(writer.Insert(Rec(21, "Y")), kRmOk);
    ASSERT_EQ(writer.Insert(Rec(19, "Z")), kRmOk);
    EXPECT_EQ(reader_step(kOpGetNext), 21);
    EXPECT_EQ(reader_step(kOpGetPrevious), 19);
    EXPECT_EQ(reader_step(kOpGetPrevious), 10);
    ASSERT_EQ(reader.Close(), kRmOk);
    ASSERT_EQ(writer.Close(), kRmOk);
  }
}

TEST_P(RecordManagerTest, ShortDataBufferGetsTheRecordCutAndStatus22) {
  MakeFile({Rec(10, "A", "abcdef"), Rec(20, "B")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  for (uint32_t room : {0u, 1u, 5u, 15u}) {
    std::string key = Le(10, 4), record;
    ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record, room), kRmDataBufferTooShort) << room;
    EXPECT_EQ(record, Rec(10, "A", "abcdef").substr(0, room)) << room;
    EXPECT_EQ(key, Le(10, 4)) << room;
    // The read still moved the position.
    ASSERT_EQ(f.Get(kOpGetNext, 0, &key, &record), kRmOk) << room;
    EXPECT_EQ(NumberOf(record), 20u) << room;
  }
  std::string stat, full;
  ASSERT_EQ(f.Stat(&full), kRmOk);
  EXPECT_EQ(f.Stat(&stat, 20), kRmDataBufferTooShort);
  EXPECT_EQ(stat, full.substr(0, 20));
}

TEST_P(RecordManagerTest, StatIsTheCreateSpecificationWithItsCounts) {
  // Key 1: a collated name (3 bytes) then a plain one (3 bytes).
  const std::string spec =
      MakeSpec(16, {{{1, 4, kSegBinary}}, {{5, 3, kSegDuplicates | kSegCollated}, {8, 3, kSegDuplicates}}},
               test::UpperCaseCollation(), 4096);
  MakeFile({Rec(1, "abcx"), Rec(2, "ABCy"), Rec(3, "abdx"), Rec(4, "ABCx")}, spec);
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  std::string stat;
  ASSERT_EQ(f.Stat(&stat), kRmOk);
  std::string expected = spec;
  expected[kSpecRecordCountOffset] = 4;
  expected[kSpecHeaderSize + kSegUniqueCountOffset] = 4;       // four numbers
  expected[2 * kSpecHeaderSize + kSegUniqueCountOffset] = 2;   // ABC, ABD
  expected[3 * kSpecHeaderSize + kSegUniqueCountOffset] = 3;   // ABCx, ABCy, ABDx
  ASSERT_EQ(stat.size(), expected.size());
  for (std::size_t i = 0; i < stat.size(); ++i) {
    EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(stat[i])),
              static_cast<int>(static_cast<unsigned char>(expected[i])))
        << "byte " << i;
  }
}

// A model of the file: its records, and the order of each record among
// equal names (the stamp at which its name was last written).
struct Model {
  std::map<uint32_t, std::string> records;
  std::map<uint32_t, int> name_stamp;
};

TEST_P(RecordManagerTest, CountsAndDuplicateOrderFollowEveryWrite) {
  // Key 1: one letter then one digit, both with duplicates.
  const std::string spec = MakeSpec(16, {{{1, 4, kSegBinary}}, {{5, 1, kSegDuplicates | kSegModifiable},
                                                                {6, 1, kSegDuplicates | kSegModifiable}}});
  MakeFile({}, spec);
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  Model model;
  std::mt19937 random(12345);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto name = [&]() { return std::string(1, static_cast<char>('A' + pick(3))) + static_cast<char>('0' + pick(2)); };
  int stamp = 0;
  for (int i = 0; i < 300; ++i) {
    const auto number = static_cast<uint32_t>(pick(40));
    const bool exists = model.records.count(number) != 0;
    const int action = pick(3);
    std::string key = Le(number, 4), record;
    std::string what;
    if (!exists) {
      const std::string r = Rec(number, name());
      what = "insert " + std::to_string(number) + " " + r.substr(4, 2);
      ASSERT_EQ(f.Insert(r), kRmOk) << what;
      model.records[number] = r;
      model.name_stamp[number] = ++stamp;
    } else if (action == 0) {
      what = "delete " + std::to_string(number);
      ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk) << what;
      ASSERT_EQ(f.Delete(), kRmOk) << what;
      model.records.erase(number);
      model.name_stamp.erase(number);
    } else {
      const std::string r = Rec(number, name(), "upd");
      what = "update " + std::to_string(number) + " to " + r.substr(4, 2);
      ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk) << what;
      ASSERT_EQ(f.Update(r), kRmOk) << what;
      if (r.substr(4, 2) != model.records[number].substr(4, 2)) model.name_stamp[number] = ++stamp;
      model.records[number] = r;
    }
    std::set<std::string> letters, names;
    for (const auto& [n, r] : model.records) {
      letters.insert(r.substr(4, 1));
      names.insert(r.substr(4, 2));
    }
    std::string stat;
    ASSERT_EQ(f.Stat(&stat), kRmOk);
    ASSERT_EQ(test::Get32(stat, kSpecRecordCountOffset), model.records.size()) << "after " << what;
    ASSERT_EQ(test::Get32(stat, 16 + kSegUniqueCountOffset), model.records.size()) << "after " << what;
    ASSERT_EQ(test::Get32(stat, 32 + kSegUniqueCountOffset), letters.size()) << "after " << what;
    ASSERT_EQ(test::Get32(stat, 48 + kSegUniqueCountOffset), names.size()) << "after " << what;
  }
  std::vector<std::pair<std::pair<std::string, int>, uint32_t>> order;
  for (const auto& [n, r] : model.records) order.push_back({{r.substr(4, 2), model.name_stamp[n]}, n});
  std::sort(order.begin(), order.end());
  std::vector<uint32_t> expected;
  for (const auto& o : order) expected.push_back(o.second);
  std::vector<uint32_t> walked;
  std::string key(2, '\0'), record;
  for (int16_t st = f.Get(kOpGetFirst, 1, &key, &record); st == kRmOk; st = f.Get(kOpGetNext, 1, &key, &record)) {
    walked.push_back(NumberOf(record));
  }
  EXPECT_EQ(walked, expected);
}

TEST_P(RecordManagerTest, CreateKeepsOrReplacesAnExistingFile) {
  MakeFile({Rec(10, "A")});
  RecordFile f(*rm_);
  EXPECT_EQ(f.Create(path_, Spec(), -1), kRmFileExists);
  ASSERT_EQ(f.Open(path_), kRmOk);
  EXPECT_EQ(RecordCount(f), 1u);
  // Nobody may replace a file that is open, this engine included.
  EXPECT_EQ(f.Create(path_, MakeSpec(8, {{{1, 2}}}), 0), kRmFileLocked);
  ASSERT_EQ(f.Close(), kRmOk);
  std::unique_ptr<RecordManager> other = NewEngine();
  RecordFile holder(*other);
  ASSERT_EQ(holder.Open(path_, -2), kRmOk);
  EXPECT_EQ(f.Create(path_, MakeSpec(8, {{{1, 2}}}), 0), kRmFileLocked);
  ASSERT_EQ(holder.Close(), kRmOk);

  ASSERT_EQ(f.Create(path_, MakeSpec(8, {{{1, 2}}}), 0), kRmOk);
  ASSERT_EQ(f.Open(path_), kRmOk);
  std::string stat;
  ASSERT_EQ(f.Stat(&stat), kRmOk);
  EXPECT_EQ(stat.substr(0, 2), Le(8, 2));
  EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), 0u);
  ASSERT_EQ(f.Close(), kRmOk);
  EXPECT_EQ(ListDir(dir_.path()), (std::vector<std::string>{"VCobros.dat", "VCobros.dat-lck"}));
}

TEST_P(RecordManagerTest, InvalidCreateAnswersAnErrorAndCreatesNothing) {
  struct Case {
    const char* name;
    std::string path;
    std::string spec;
    int16_t status;
  };
  const std::vector<Case> cases = {
      {"record length 0", path_, MakeSpec(0, {{{1, 4}}}), kRmInvalidRecordLength},
      {"segment beyond the record", path_, MakeSpec(16, {{{14, 4}}}), kRmInvalidKeyPosition},
      {"key of length 0", path_, MakeSpec(16, {{{1, 0}}}), kRmInvalidKeyLength},
      {"unknown key type", path_, MakeSpec(16, {{{1, 4, kSegExtended, 99}}}), kRmInvalidKeyType},
      {"blank specification", path_, "", kRmInvalidRecordLength},
      {"missing directory", dir_.path() + "nowhere/X.dat", Spec(), kRmCreateError},
      {"empty name", "", Spec(), kRmInvalidFileName},
  };
  for (const Case& c : cases) {
    RecordFile f(*rm_);
    EXPECT_EQ(f.Create(c.path, test::Padded(c.spec), 0), c.status) << c.name;
    EXPECT_EQ(ListDir(dir_.path()), std::vector<std::string>{}) << c.name;
  }
}

TEST_P(RecordManagerTest, OpenAnswersWhyAFileCannotBeOpened) {
  MakeFile({Rec(10, "A")});
  std::filesystem::create_directory(dir_.path() + "sub");
  const std::string garbage = "not a data file at all, just text\n";
  std::ofstream(dir_.path() + "text.dat") << garbage;
  std::ofstream(dir_.path() + "empty.dat").close();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_.path() + "foreign.dat").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  struct Case {
    const char* name;
    std::string key;  // the raw key buffer
    int8_t mode;
    int16_t status;
  };
  std::string unterminated = path_;
  unterminated.resize(255, ' ');
  std::string backslashes = dir_.path() + "sub\\..\\VCobros.dat";
  const std::vector<Case> cases = {
      {"normal", PathKey(path_), 0, kRmOk},
      {"read-only", PathKey(path_), -2, kRmOk},
      {"exclusive", PathKey(path_), -4, kRmOk},
      {"no zero byte, blank padded", unterminated, 0, kRmOk},
      {"backslash separators", PathKey(backslashes), 0, kRmOk},
      {"missing file", PathKey(dir_.path() + "VMissing.dat"), 0, kRmFileNotFound},
      {"missing directory", PathKey(dir_.path() + "nowhere/VCobros.dat"), 0, kRmFileNotFound},
      {"blank name", std::string(255, ' '), 0, kRmInvalidFileName},
      {"text file", PathKey(dir_.path() + "text.dat"), 0, kRmNotADataFile},
      {"empty file", PathKey(dir_.path() + "empty.dat"), 0, kRmNotADataFile},
      {"another database", PathKey(dir_.path() + "foreign.dat"), 0, kRmNotADataFile},
      {"a directory", PathKey(dir_.path() + "sub"), 0, kRmNotADataFile},
      {"unknown mode", PathKey(path_), 5, kRmInvalidKeyNumber},
  };
  for (const Case& c : cases) {
    uint8_t pos[kPositionBlockSize] = {};
    std::string key = c.key, owner = "OWNR";
    uint32_t len = 5;
    EXPECT_EQ(rm_->Call(kOpOpen, pos, owner.data(), &len, key.data(), 255, c.mode), c.status) << c.name;
    if (c.status == kRmOk) {
      len = 0;
      EXPECT_EQ(rm_->Call(kOpClose, pos, nullptr, &len, nullptr, 0, 0), kRmOk) << c.name;
    }
  }
  // Foreign files are left exactly as they were.
  std::ifstream in(dir_.path() + "text.dat");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
  EXPECT_EQ(std::filesystem::file_size(dir_.path() + "empty.dat"), 0u);
}

TEST_P(RecordManagerTest, WritesAreCheckedAndAFailedOneChangesNothing) {
  MakeFile({Rec(10, "A"), Rec(20, "B")});
  RecordFile f(*rm_), read_only(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(read_only.Open(path_, -2), kRmOk);
  std::string key = Le(10, 4), record;

  EXPECT_EQ(f.Update(Rec(10, "Q")), kRmInvalidPositioning) << "update before any read";
  EXPECT_EQ(f.Delete(), kRmInvalidPositioning) << "delete before any read";
  EXPECT_EQ(f.Insert(Rec(10, "dup")), kRmDuplicateKey);
  EXPECT_EQ(f.Insert(Rec(30, "C").substr(0, 15)), kRmDataBufferTooShort);
  EXPECT_EQ(f.Insert(Rec(30, "C") + "x"), kRmDataBufferTooShort);
  EXPECT_EQ(f.Insert(Rec(30, "C"), 2), kRmInvalidKeyNumber);
  EXPECT_EQ(read_only.Insert(Rec(30, "C")), kRmAccessDenied);
  EXPECT_EQ(RecordCount(f), 2u);
  std::string name = Name("dup");
  EXPECT_EQ(f.Get(kOpGetEqual, 1, &name, &record), kRmKeyNotFound) << "the refused record left no key";

  ASSERT_EQ(read_only.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  EXPECT_EQ(read_only.Update(Rec(10, "Q")), kRmAccessDenied);
  EXPECT_EQ(read_only.Delete(), kRmAccessDenied);

  key = Le(10, 4);
  ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  EXPECT_EQ(f.Update(Rec(11, "A")), kRmKeyNotModifiable);
  EXPECT_EQ(f.Update(Rec(10, "A").substr(0, 8)), kRmDataBufferTooShort);
  ASSERT_EQ(f.Delete(), kRmOk);
  EXPECT_EQ(f.Update(Rec(10, "A")), kRmInvalidPositioning) << "update after delete";
  EXPECT_EQ(f.Delete(), kRmInvalidPositioning) << "delete after delete";

  // Another reader of the same record sees it changed or gone: 80.
  RecordFile other(*rm_);
  ASSERT_EQ(other.Open(path_), kRmOk);
  key = Le(20, 4);
  ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  ASSERT_EQ(other.Get(kOpGetEqual, 0, &key, &record), kRmOk);
  ASSERT_EQ(other.Update(Rec(20, "B", "new")), kRmOk);
  EXPECT_EQ(f.Update(Rec(20, "B", "old")), kRmConflict);
  EXPECT_EQ(f.Delete(), kRmConflict);
  ASSERT_EQ(other.Delete(), kRmOk);
  EXPECT_EQ(f.Update(Rec(20, "B", "old")), kRmConflict);
  EXPECT_EQ(RecordCount(f), 0u);
}

TEST_P(RecordManagerTest, CallsWithBadArgumentsAnswerTheirStatus) {
  MakeFile({Rec(10, "A")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  std::string key(4, '\0'), name(6, '\0'), record;
  EXPECT_EQ(f.Get(kOpGetFirst, 2, &key, &record), kRmInvalidKeyNumber);
  EXPECT_EQ(f.Get(kOpGetFirst, -1, &key, &record), kRmInvalidKeyNumber);
  ASSERT_EQ(f.Get(kOpGetFirst, 0, &key, &record), kRmOk);
  EXPECT_EQ(f.Get(kOpGetNext, 1, &name, &record), kRmDifferentKeyNumber);

  uint8_t* pos = f.position_block();
  char buffer[64] = {};
  uint32_t len = sizeof buffer;
  EXPECT_EQ(rm_->Call(kOpGetEqual, pos, buffer, &len, buffer, 3, 0), kRmKeyBufferTooShort);
  EXPECT_EQ(rm_->Call(kOpGetEqual, pos, buffer, &len, nullptr, 0, 0), kRmKeyBufferTooShort);
  EXPECT_EQ(rm_->Call(99, pos, buffer, &len, buffer, 64, 0), kRmInvalidOperation);
  uint8_t zero[kPositionBlockSize] = {};
  EXPECT_EQ(rm_->Call(kOpGetFirst, zero, buffer, &len, buffer, 64, 0), kRmFileNotOpen);
  EXPECT_EQ(rm_->Call(kOpOpen, nullptr, buffer, &len, buffer, 64, 0), kRmInvalidPositionBlock);
  // A position block of another engine is not an open file here.
  std::unique_ptr<RecordManager> other = NewEngine();
  EXPECT_EQ(other->Call(kOpGetFirst, pos, buffer, &len, buffer, 64, 0), kRmFileNotOpen);
  ASSERT_EQ(f.Close(), kRmOk);
  EXPECT_EQ(f.Close(), kRmFileNotOpen);
  EXPECT_EQ(f.Get(kOpGetFirst, 0, &key, &record), kRmFileNotOpen);
}

TEST_P(RecordManagerTest, TransactionsCommitAllOrNothing) {
  MakeFile({});
  std::unique_ptr<RecordManager> outsider = NewEngine();
  RecordFile f(*rm_), watcher(*outsider);
  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(watcher.Open(path_, -2), kRmOk);
  std::string key(4, '\0'), record;

  EXPECT_EQ(EndTransaction(*rm_), kRmNoTransaction);
  EXPECT_EQ(AbortTransaction(*rm_), kRmNoTransaction);

  ASSERT_EQ(BeginTransaction(*rm_), kRmOk);
  EXPECT_EQ(BeginTransaction(*rm_), kRmTransactionActive);
  ASSERT_EQ(f.Insert(Rec(1, "A")), kRmOk);
  ASSERT_EQ(f.Insert(Rec(2, "B")), kRmOk);
  EXPECT_EQ(f.Insert(Rec(1, "again")), kRmDuplicateKey) << "a refused insert keeps the earlier ones";
  EXPECT_EQ(RecordCount(f), 2u) << "the transaction sees its own writes";
  EXPECT_EQ(watcher.Get(kOpGetFirst, 0, &key, &record), kRmEndOfFile) << "others do not";
  ASSERT_EQ(AbortTransaction(*rm_), kRmOk);
  EXPECT_EQ(RecordCount(f), 0u);

  ASSERT_EQ(BeginTransaction(*rm_), kRmOk);
  ASSERT_EQ(f.Insert(Rec(1, "A")), kRmOk);
  EXPECT_EQ(f.Insert(Rec(1, "again")), kRmDuplicateKey);
  ASSERT_EQ(f.Insert(Rec(3, "C")), kRmOk);
  ASSERT_EQ(f.Close(), kRmOk);  // the file stays in the transaction
  ASSERT_EQ(EndTransaction(*rm_), kRmOk);
  EXPECT_EQ(RecordCount(watcher), 2u);

  // Reset drops an open transaction.
  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(BeginTransaction(*rm_), kRmOk);
  ASSERT_EQ(f.Insert(Rec(4, "D")), kRmOk);
  ASSERT_EQ(ResetRecordManager(*rm_), kRmOk);
  EXPECT_EQ(RecordCount(watcher), 2u);
  EXPECT_EQ(EndTransaction(*rm_), kRmNoTransaction);
}

TEST_P(RecordManagerTest, ExclusiveOpenShutsOutEveryOtherOpen) {
  MakeFile({});
  struct Case {
    int8_t first, second;
    bool same_engine;
    int16_t status;
  };
  const std::vector<Case> cases = {
      {-4, 0, true, kRmFileLocked},  {-4, 0, false, kRmFileLocked},  {-4, -2, false, kRmFileLocked},
      {0, -4, true, kRmFileLocked},  {0, -4, false, kRmFileLocked},  {-2, -4, false, kRmFileLocked},
      {-4, -4, true, kRmFileLocked}, {-4, -4, false, kRmFileLocked}, {0, -2, true, kRmOk},
      {0, 0, false, kRmOk},
  };
  for (const Case& c : cases) {
    std::unique_ptr<RecordManager> other = NewEngine();
    RecordFile first(*rm_), second(c.same_engine ? *rm_ : *other);
    ASSERT_EQ(first.Open(path_, c.first), kRmOk);
    EXPECT_EQ(second.Open(path_, c.second), c.status)
        << int{c.first} << " then " << int{c.second} << (c.same_engine ? " in the same engine" : "");
    ASSERT_EQ(first.Close(), kRmOk);
    if (c.status == kRmOk) {
      ASSERT_EQ(second.Close(), kRmOk);
    } else {
      EXPECT_EQ(second.Open(path_, c.second), kRmOk) << "once the first is closed";
      ASSERT_EQ(second.Close(), kRmOk);
    }
  }
}

TEST_P(RecordManagerTest, ResetClosesEveryFile) {
  MakeFile({Rec(10, "A")});
  const std::string second_path = dir_.path() + "VPropiet.dat";
  RecordFile a(*rm_), b(*rm_);
  ASSERT_EQ(b.Create(second_path, Spec()), kRmOk);
  ASSERT_EQ(a.Open(path_, -4), kRmOk);
  ASSERT_EQ(b.Open(second_path), kRmOk);
  ASSERT_EQ(ResetRecordManager(*rm_), kRmOk);
  std::string key(4, '\0'), record;
  EXPECT_EQ(a.Get(kOpGetFirst, 0, &key, &record), kRmFileNotOpen);
  EXPECT_EQ(b.Insert(Rec(1, "A")), kRmFileNotOpen);
  std::unique_ptr<RecordManager> other = NewEngine();
  RecordFile c(*other);
  EXPECT_EQ(c.Open(path_, -4), kRmOk) << "the exclusive open was released";
}

TEST_P(RecordManagerTest, EveryPositioningQueryIsAnIndexSearch) {
  MakeFile({Rec(10, "A")});
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::vector<std::string> statements;
  for (std::size_t key = 0; key < 2; ++key) {
    for (int q = 0; q < kKeyQueryCount; ++q) statements.push_back(KeyQuerySql(static_cast<KeyQuery>(q), key));
    for (KeyQuery q : {KeyQuery::kNext, KeyQuery::kGreater, KeyQuery::kGreaterEqual}) {
      statements.push_back(KeyScanSql(q, key));
    }
    statements.push_back(PrefixProbeSql(key));
  }
  for (const std::string& sql : statements) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    std::string plan;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
      plan += "; ";
    }
    sqlite3_finalize(stmt);
    const std::string key = sql.find("k0") != std::string::npos ? "zov_key0" : "zov_key1";
    EXPECT_NE(plan.find("SEARCH zov_records USING"), std::string::npos) << sql << "\n" << plan;
    EXPECT_NE(plan.find("INDEX " + key + " ("), std::string::npos) << sql << "\n" << plan;
    EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << sql << "\n" << plan;
    EXPECT_EQ(plan.find("MULTI-INDEX"), std::string::npos) << sql << "\n" << plan;
  }
  sqlite3_close(db);
}

// A reader holds a snapshot; another engine inserts 20 meanwhile; then
// something happens in the reader's engine, which reads 20 and 30 again.
TEST(ReadSnapshotTest, OtherEnginesWritesShowAfterTheBoundOrWhenTheSnapshotIsReleased) {
  enum class Then { kNothing, kWait, kOwnInsert, kCloseOtherHandle, kTransaction, kAbortedTransaction, kStat };
  struct Case {
    const char* label;
    int bound_ms;
    Then then;
    bool sees_20, has_30;
    int wait_ms = 0;  // how far the clock moves on for kWait
  };
  const std::vector<Case> cases = {
      {"no reuse", 0, Then::kNothing, true, false},
      {"bound not passed", 3600000, Then::kNothing, false, false},
      {"another read keeps the snapshot", 3600000, Then::kStat, false, false},
      {"just under the bound", 10, Then::kWait, false, false, 9},
      {"bound reached", 10, Then::kWait, true, false, 10},
      {"own insert through another handle", 3600000, Then::kOwnInsert, true, true},
      {"close of another handle", 3600000, Then::kCloseOtherHandle, true, false},
      {"committed transaction", 3600000, Then::kTransaction, true, true},
      {"aborted transaction", 3600000, Then::kAbortedTransaction, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::ScratchDir dir;
    const std::string path = dir.path() + "VCobros.dat";
    FakeClock clock;
    std::unique_ptr<RecordManager> rm = NewEngine(c.bound_ms, &clock), other = NewEngine();
    RecordFile reader(*rm), second(*rm), writer(*other);
    ASSERT_EQ(reader.Create(path, Spec()), kRmOk);
    ASSERT_EQ(reader.Open(path), kRmOk);
    ASSERT_EQ(second.Open(path), kRmOk);
    ASSERT_EQ(second.Insert(Rec(10, "A")), kRmOk);
    std::string key = Le(10, 4), record;
    ASSERT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmOk);

    ASSERT_EQ(writer.Open(path), kRmOk);
    ASSERT_EQ(writer.Insert(Rec(20, "B")), kRmOk);
    ASSERT_EQ(writer.Close(), kRmOk);
    switch (c.then) {
      case Then::kNothing: break;
      case Then::kWait: clock.Advance(c.wait_ms); break;
      case Then::kStat: {
        std::string stat;
        ASSERT_EQ(reader.Stat(&stat), kRmOk);
        EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), 1u) << "the count as of the snapshot";
        break;
      }
      case Then::kOwnInsert: EXPECT_EQ(second.Insert(Rec(30, "C")), kRmOk) << "never refused for a stale snapshot"; break;
      case Then::kCloseOtherHandle: ASSERT_EQ(second.Close(), kRmOk); break;
      case Then::kTransaction:
      case Then::kAbortedTransaction:
        ASSERT_EQ(BeginTransaction(*rm), kRmOk);
        key = Le(20, 4);
        EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), kRmOk) << "begin released the snapshot";
        ASSERT_EQ(second.Insert(Rec(30, "C")), kRmOk);
        ASSERT_EQ(c.then == Then::kTransaction ? EndTransaction(*rm) : AbortTransaction(*rm), kRmOk);
        break;
    }
    key = Le(20, 4);
    EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), c.sees_20 ? kRmOk : kRmKeyNotFound);
    key = Le(30, 4);
    EXPECT_EQ(reader.Get(kOpGetEqual, 0, &key, &record), c.has_30 ? kRmOk : kRmKeyNotFound);
    // However old the snapshot, a write through it is never refused.
    ASSERT_EQ(reader.Insert(Rec(40, "D")), kRmOk);
    std::string stat;
    ASSERT_EQ(reader.Stat(&stat), kRmOk);
    EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), c.has_30 ? 4u : 3u) << "every write counted";
  }
}

// Two opens of one file in one engine share its connection: what one writes
// the other reads at once, whatever the snapshot bound.
TEST(ReadSnapshotTest, AWriteThroughOneHandleIsSeenAtOnceThroughAnother) {
  for (int bound : {0, 3600000}) {
    SCOPED_TRACE("bound " + std::to_string(bound) + " ms");
    test::ScratchDir dir;
    const std::string path = dir.path() + "VCobros.dat";
    std::unique_ptr<RecordManager> rm = NewEngine(bound);
    RecordFile a(*rm), b(*rm);
    ASSERT_EQ(a.Create(path, Spec()), kRmOk);
    ASSERT_EQ(a.Open(path), kRmOk);
    ASSERT_EQ(b.Open(path), kRmOk);
    std::string key = Le(20, 4), record, name(6, ' '), stat;
    auto a_reads_20 = [&]() -> std::string {
      key = Le(20, 4);
      const int16_t st = a.Get(kOpGetEqual, 0, &key, &record);
      return st == kRmOk ? record.substr(4, 6) : "status " + std::to_string(st);
    };
    EXPECT_EQ(a_reads_20(), "status 4");
    ASSERT_EQ(b.Insert(Rec(20, "NEW")), kRmOk);
    EXPECT_EQ(a_reads_20(), "NEW   ") << "after insert";
    ASSERT_EQ(b.Get(kOpGetEqual, 0, &key, &record), kRmOk);
    ASSERT_EQ(b.Update(Rec(20, "CHANGE")), kRmOk);
    EXPECT_EQ(a_reads_20(), "CHANGE") << "after update";
    ASSERT_EQ(a.Stat(&stat), kRmOk);
    EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), 1u);
    ASSERT_EQ(b.Delete(), kRmOk);
    EXPECT_EQ(a_reads_20(), "status 4") << "after delete";
    ASSERT_EQ(a.Stat(&stat), kRmOk);
    EXPECT_EQ(test::Get32(stat, kSpecRecordCountOffset), 0u);
  }
}

}  // namespace
}  // namespace zov::platform

namespace zov::platform {
namespace {

// Random sequences of operations on two copies of one file: one engine
// keeps its scans along a key (a snapshot that ends only by a write, a
// transaction, a close or the clock), the other seeks afresh on every call.
// Every status, record and key returned must be the same.
TEST(KeptScanTest, RandomOperationsReturnWhatFreshSeeksReturn) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rnd(seed);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rnd() % n); };
    test::ScratchDir dir;
    FakeClock clock;
    std::unique_ptr<RecordManager> kept = NewEngine(50, &clock), fresh = NewEngine(0);
    struct Side {
      RecordManager* rm;
      std::string path;
      std::vector<std::unique_ptr<RecordFile>> handles;
    };
    std::vector<Side> sides(2);
    sides[0].rm = kept.get();
    sides[0].path = dir.path() + "kept.dat";
    sides[1].rm = fresh.get();
    sides[1].path = dir.path() + "fresh.dat";
    for (Side& side : sides) {
      RecordFile f(*side.rm);
      ASSERT_EQ(f.Create(side.path, Spec()), kRmOk);
      ASSERT_EQ(f.Open(side.path), kRmOk);
      for (uint32_t n = 0; n < 60; n += 2) ASSERT_EQ(f.Insert(Rec(n, std::string(1, static_cast<char>('A' + n % 5)))), kRmOk);
      ASSERT_EQ(f.Close(), kRmOk);
      for (int i = 0; i < 3; ++i) {
        side.handles.push_back(std::make_unique<RecordFile>(*side.rm));
        ASSERT_EQ(side.handles.back()->Open(side.path), kRmOk);
      }
    }
    bool in_transaction = false;
    for (int step = 0; step < 1500; ++step) {
      const uint32_t action = pick(100), h = pick(3), number = pick(70);
      const auto key_number = static_cast<int8_t>(pick(4) == 0 ? 1 : 0);
      const std::string name(1, static_cast<char>('A' + pick(6)));
      const bool commit = pick(2) == 0;
      uint16_t op = kOpGetNext;
      if (action >= 55 && action < 75) {
        static constexpr uint16_t kOps[] = {kOpGetEqual, kOpGetGreater, kOpGetGreaterOrEqual, kOpGetLess,
                                            kOpGetLessOrEqual, kOpGetFirst, kOpGetLast, kOpGetPrevious};
        op = kOps[pick(8)];
      }
      if (action == 99) clock.Advance(60);
      std::string results[2];
      for (int s = 0; s < 2; ++s) {
        RecordFile& f = *sides[static_cast<std::size_t>(s)].handles[h];
        std::string key = key_number == 0 ? Le(number, 4) : Name(name), record, stat;
        int16_t st;
        if (action < 75) {
          st = f.Get(op, key_number, &key, &record);
          if (st == kRmOk) results[s] = key + "|" + record;
        } else if (action < 83) {
          st = f.Insert(Rec(number, name), key_number);
        } else if (action < 88) {
          st = f.Update(Rec(number, name, "u"));
        } else if (action < 92) {
          st = f.Delete();
        } else if (action < 94) {
          st = f.Stat(&stat);
          results[s] = stat;
        } else if (action < 96) {
          st = f.Close();
          if (st == kRmOk) st = f.Open(sides[static_cast<std::size_t>(s)].path);
        } else if (action < 99) {
          RecordManager& rm = *sides[static_cast<std::size_t>(s)].rm;
          st = !in_transaction ? BeginTransaction(rm) : commit ? EndTransaction(rm) : AbortTransaction(rm);
        } else {
          st = kRmOk;
        }
        results[s] = std::to_string(st) + " " + results[s];
      }
      if (action >= 96 && action < 99) in_transaction = !in_transaction;
      ASSERT_EQ(results[0], results[1]) << "step " << step << " action " << action << " handle " << h << " op " << op
                                        << " key " << int{key_number};
    }
  }
}

}  // namespace
}  // namespace zov::platform
