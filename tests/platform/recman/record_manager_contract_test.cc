// The part of the record manager's contract that the fake record manager
// (platform/testing/fake_record_manager.h) claims to honour, run over the
// engine and over the fake, so that the fake the upper layers' tests rely on
// cannot drift from the engine. Keys are plain strings: the fake orders keys
// by their bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/recman/record_file.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "platform/testing/fake_record_manager.h"
#include "tests/platform/recman/recman_test_util.h"

namespace zov::platform {
namespace {

// Records of 16 bytes: a 4-digit number (key 0, unique), a 6-byte name
// (key 1, duplicates), 6 bytes of payload.
std::string ContractSpec() {
  return test::MakeSpec(16, {{{1, 4}}, {{5, 6, kSegDuplicates}}});
}

std::string Record(const std::string& number, const std::string& name) {
  std::string r = number + name;
  r.resize(10, ' ');
  r += "......";
  return r;
}

std::string Name(const std::string& name) {
  std::string n = name;
  n.resize(6, ' ');
  return n;
}

class RecordManagerContractTest : public ::testing::TestWithParam<bool> {
 protected:
  bool engine() const { return GetParam(); }

  // Creates the file through the call and inserts `records`.
  void MakeFile(const std::vector<std::string>& records) {
    RecordFile f(*rm_);
    ASSERT_EQ(f.Create(path_, ContractSpec(), -1), kRmOk);
    ASSERT_EQ(f.Open(path_), kRmOk);
    for (const std::string& r : records) ASSERT_EQ(f.Insert(r), kRmOk) << r;
    ASSERT_EQ(f.Close(), kRmOk);
  }

  // The numbers met stepping with `step` from the record `first` finds.
  std::vector<std::string> Walk(RecordFile& f, int8_t key_number, uint16_t first, const std::string& from,
                                uint16_t step) {
    std::vector<std::string> seen;
    std::string key = from, record;
    for (int16_t st = f.Get(first, key_number, &key, &record); st == kRmOk;
         st = f.Get(step, key_number, &key, &record)) {
      seen.push_back(record.substr(0, 4));
    }
    return seen;
  }

  test::ScratchDir dir_;
  std::string path_ = dir_.path() + "VCobros.dat";
  std::unique_ptr<RecordManager> rm_ =
      engine() ? NewSqliteRecordManager() : std::unique_ptr<RecordManager>(std::make_unique<FakeRecordManager>());
};

INSTANTIATE_TEST_SUITE_P(Backends, RecordManagerContractTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Engine") : std::string("Fake");
                         });

TEST_P(RecordManagerContractTest, KeyedGetsFindTheRecordOrSayWhyNot) {
  MakeFile({Record("0020", "B"), Record("0010", "C"), Record("0030", "A")});
  struct Case {
    const char* name;
    uint16_t op;
    const char* key;
    int16_t status;
    const char* found;
  };
  const Case cases[] = {
      {"equal", kOpGetEqual, "0020", kRmOk, "0020"},
      {"equal, missing", kOpGetEqual, "0025", kRmKeyNotFound, ""},
      {"greater or equal, equal", kOpGetGreaterOrEqual, "0020", kRmOk, "0020"},
      {"greater or equal, between", kOpGetGreaterOrEqual, "0015", kRmOk, "0020"},
      {"greater or equal, below all", kOpGetGreaterOrEqual, "0000", kRmOk, "0010"},
      {"greater or equal, past the last", kOpGetGreaterOrEqual, "0031", kRmEndOfFile, ""},
      {"less or equal, between", kOpGetLessOrEqual, "0025", kRmOk, "0020"},
      {"less or equal, above all", kOpGetLessOrEqual, "9999", kRmOk, "0030"},
      {"less or equal, below all", kOpGetLessOrEqual, "0009", kRmEndOfFile, ""},
  };
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  for (const Case& c : cases) {
    std::string key = c.key, record;
    EXPECT_EQ(f.Get(c.op, 0, &key, &record), c.status) << c.name;
    if (c.status == kRmOk) {
      EXPECT_EQ(record.substr(0, 4), c.found) << c.name;
      EXPECT_EQ(record.size(), 16u) << c.name;
      EXPECT_EQ(key, c.found) << c.name << ": the key buffer gets the record's key";
    }
  }
  std::string key = "0010", record;
  EXPECT_EQ(f.Get(kOpGetEqual, 2, &key, &record), kRmInvalidKeyNumber);
}

TEST_P(RecordManagerContractTest, NextAndPreviousStepFromThePositionAndStopAtTheEnds) {
  MakeFile({Record("0020", "B"), Record("0010", "C"), Record("0030", "A")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  EXPECT_EQ(Walk(f, 0, kOpGetGreaterOrEqual, "0000", kOpGetNext), (std::vector<std::string>{"0010", "0020", "0030"}));
  // The failed next left the position on the last record.
  std::string key(4, '\0'), record;
  EXPECT_EQ(f.Get(kOpGetNext, 0, &key, &record), kRmEndOfFile);
  ASSERT_EQ(f.Get(kOpGetPrevious, 0, &key, &record), kRmOk);
  EXPECT_EQ(key, "0020");
  EXPECT_EQ(Walk(f, 0, kOpGetLessOrEqual, "9999", kOpGetPrevious), (std::vector<std::string>{"0030", "0020", "0010"}));
  // By name: A(0030) B(0020) C(0010).
  EXPECT_EQ(Walk(f, 1, kOpGetGreaterOrEqual, Name(""), kOpGetNext), (std::vector<std::string>{"0030", "0020", "0010"}));
}

TEST_P(RecordManagerContractTest, EqualKeysComeBackInTheOrderTheyWereInserted) {
  MakeFile({Record("0001", "B"), Record("0002", "A"), Record("0003", "B"), Record("0004", "A"), Record("0005", "B")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  EXPECT_EQ(Walk(f, 1, kOpGetGreaterOrEqual, Name(""), kOpGetNext),
            (std::vector<std::string>{"0002", "0004", "0001", "0003", "0005"}));
  EXPECT_EQ(Walk(f, 1, kOpGetEqual, Name("B"), kOpGetNext), (std::vector<std::string>{"0001", "0003", "0005"}));
  EXPECT_EQ(Walk(f, 1, kOpGetLessOrEqual, Name("A"), kOpGetPrevious), (std::vector<std::string>{"0004", "0002"}));
}

TEST_P(RecordManagerContractTest, AShortDataBufferGetsTheRecordCutAndStatus22) {
  MakeFile({Record("0010", "A"), Record("0020", "B")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  for (uint32_t room : {0u, 5u, 15u}) {
    std::string key = "0010", record;
    ASSERT_EQ(f.Get(kOpGetEqual, 0, &key, &record, room), kRmDataBufferTooShort) << room;
    EXPECT_EQ(record, Record("0010", "A").substr(0, room)) << room;
    EXPECT_EQ(key, "0010") << room;
    ASSERT_EQ(f.Get(kOpGetNext, 0, &key, &record), kRmOk) << room << ": the cut read still moved the position";
    EXPECT_EQ(key, "0020") << room;
  }
}

TEST_P(RecordManagerContractTest, InsertRefusesWhatTheFileCannotTake) {
  MakeFile({Record("0010", "A")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  EXPECT_EQ(f.Insert(Record("0010", "Z")), kRmDuplicateKey);
  EXPECT_EQ(f.Insert(Record("0020", "B").substr(0, 15)), kRmDataBufferTooShort);
  EXPECT_EQ(f.Insert(Record("0020", "B") + "x"), kRmDataBufferTooShort);
  EXPECT_EQ(f.Insert(Record("0020", "B"), 2), kRmInvalidKeyNumber);
  // A duplicate name is fine; the insert makes the record current on key 1.
  ASSERT_EQ(f.Insert(Record("0020", "A"), 1), kRmOk);
  std::string key = Name("A"), record;
  ASSERT_EQ(f.Get(kOpGetPrevious, 1, &key, &record), kRmOk);
  EXPECT_EQ(record.substr(0, 4), "0010");
  FileSpec stat;
  ASSERT_EQ(f.Stat(&stat), kRmOk);
  EXPECT_EQ(stat.record_count, 2u);
}

TEST_P(RecordManagerContractTest, StatAnswersTheShapeAndTheRecordCount) {
  MakeFile({Record("0010", "A"), Record("0020", "A"), Record("0030", "B")});
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  FileSpec stat;
  ASSERT_EQ(f.Stat(&stat), kRmOk);
  const std::string spec = ContractSpec();
  const FileSpec created =
      DecodeFileSpec(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(spec.data()), spec.size()));
  EXPECT_EQ(stat.record_length, 16);
  EXPECT_EQ(stat.page_size, created.page_size);
  EXPECT_EQ(stat.record_count, 3u);
  ASSERT_EQ(stat.keys.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    ASSERT_EQ(stat.keys[k].size(), 1u) << "key " << k;
    EXPECT_EQ(stat.keys[k][0].position, created.keys[k][0].position) << "key " << k;
    EXPECT_EQ(stat.keys[k][0].length, created.keys[k][0].length) << "key " << k;
    EXPECT_EQ(stat.keys[k][0].flags, created.keys[k][0].flags) << "key " << k;
  }
}

TEST_P(RecordManagerContractTest, OpenCreateCloseAndResetAnswerTheirStatuses) {
  RecordFile f(*rm_), g(*rm_), never(*rm_);
  EXPECT_EQ(f.Open(path_), kRmFileNotFound);
  MakeFile({Record("0010", "A")});
  EXPECT_EQ(f.Create(path_, ContractSpec(), -1), kRmFileExists);
  std::string key = "0010", record;
  EXPECT_EQ(never.Get(kOpGetEqual, 0, &key, &record), kRmFileNotOpen);

  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(f.Close(), kRmOk);
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmFileNotOpen) << "after close";

  ASSERT_EQ(f.Open(path_), kRmOk);
  ASSERT_EQ(g.Open(path_), kRmOk);
  ASSERT_EQ(ResetRecordManager(*rm_), kRmOk);
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmFileNotOpen) << "after reset";
  EXPECT_EQ(g.Insert(Record("0020", "B")), kRmFileNotOpen) << "after reset";
}

// RecordFile refuses, without a call, a path that its key buffer cannot
// carry whole: one with no room for the closing zero byte, or one that
// holds a zero byte and would name another file.
TEST_P(RecordManagerContractTest, APathTheKeyBufferCannotCarryIsRefused) {
  MakeFile({Record("0010", "A")});
  const std::string too_long = dir_.path() + std::string(kPathKeyLength - dir_.path().size(), 'x');
  const std::string cut_short = path_ + std::string(1, '\0') + "x";
  for (const std::string& path : {too_long, cut_short}) {
    RecordFile f(*rm_);
    EXPECT_EQ(f.Open(path), kRmInvalidFileName) << path.size();
    EXPECT_EQ(f.Create(path, ContractSpec(), 0), kRmInvalidFileName) << path.size();
  }
  RecordFile f(*rm_);
  ASSERT_EQ(f.Open(path_), kRmOk);
  std::string key = "0010", record;
  EXPECT_EQ(f.Get(kOpGetEqual, 0, &key, &record), kRmOk) << "the file named before the zero byte was not replaced";
}

}  // namespace
}  // namespace zov::platform
