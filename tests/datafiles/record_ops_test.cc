#include "datafiles/record_ops.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "datafiles/data_files.h"
#include "tests/datafiles/harness.h"

namespace zov::datafiles {
namespace {

// A 6-byte record: key 0 is bytes 1-2; key 1 is a 2-byte binary integer
// (bytes 3-4) then 2 bytes compared through the collating sequence (5-6).
platform::FileSpec SixByteShape() {
  platform::FileSpec spec = Shape(6, {{{1, 2, 0, 0}},
                                      {{3, 2, platform::kSegBinary | platform::kSegDuplicates, 0},
                                       {5, 2, platform::kSegCollated | platform::kSegDuplicates, 0}}});
  // Collating sequence: lower-case ASCII letters sort as their capitals.
  std::string acs = "\xAC" "UPPER   ";
  for (int c = 0; c < 256; ++c) acs += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  spec.collating_sequence = acs;
  return spec;
}

struct Opened {
  Harness h;
  std::array<char, 6> record{};
  Opened() {
    platform::FakeFile& f = h.AddFile("VTest.dat", SixByteShape());
    f.records = {std::string("AA\x01\x02" "ab", 6), std::string("AB\x00\x01" "cd", 6),
                 std::string("B\0\x00\x00" "ef", 6), std::string("C\0\x02\x00" "gh", 6),
                 std::string("D\0\x03\x00" "ij", 6)};
    EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 5, h.Path("VTest"), record), 0);
    h.rm.calls.clear();
  }
  DataFileEntry& entry() { return *OpenEntry(h.table, 5); }
  std::string Record() const { return std::string(record.data(), record.size()); }
};

TEST(ReadByKey, KeyValueIsPaddedOrCutAndTheBufferFilledForTheOperation) {
  struct Case {
    std::string value;
    int mode;
    std::string key;       // the key handed over, 2 bytes
    char fill;             // the rest of the 256-byte key buffer
    int16_t status;
    std::string delivered;  // record variable afterwards ("" : unchanged)
  };
  const Case cases[] = {
      {"A", 0, std::string("A\0", 2), ' ', 4, ""},
      {"ABZ", 0, "AB", ' ', 0, std::string("AB\x00\x01" "cd", 6)},
      {"B", 0, std::string("B\0", 2), ' ', 0, std::string("B\0\x00\x00" "ef", 6)},
      {"A", 1, std::string("A\0", 2), '\0', 0, std::string("AA\x01\x02" "ab", 6)},
      {"", 1, std::string("\0\0", 2), '\0', 0, std::string("AA\x01\x02" "ab", 6)},
      {"AZ", -1, "AZ", '\xFF', 0, std::string("AB\x00\x01" "cd", 6)},
      {"E", 1, std::string("E\0", 2), '\0', 9, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("value \"" + c.value + "\" mode " + std::to_string(c.mode));
    Opened o;
    o.record.fill('z');
    o.h.rm.read_key_capture = kKeyBufferSize;
    EXPECT_EQ(ReadByKey(o.h.env, o.h.table, 5, 0, c.value, c.mode), c.status);
    EXPECT_EQ(o.Record(), c.delivered.empty() ? std::string(6, 'z') : c.delivered);

    const platform::LoggedCall& read = o.h.rm.calls.back();
    EXPECT_EQ(read.operation, c.mode == 0   ? platform::kOpGetEqual
                              : c.mode > 0 ? platform::kOpGetGreaterOrEqual
                                           : platform::kOpGetLessOrEqual);
    EXPECT_EQ(read.key, c.key + std::string(kKeyBufferSize - 2, c.fill));
    EXPECT_EQ(read.key_length, 2);
    EXPECT_EQ(read.key_number, 0);
    EXPECT_EQ(read.data, std::string(6, 'z')) << "the data buffer starts as the record variable";
    EXPECT_EQ(o.entry().key_value.size(), 2u);
    if (c.status == 0) {
      EXPECT_EQ(o.entry().key_value, c.delivered.substr(0, 2));
    }
  }
}

TEST(ReadByKey, UnknownKeyNumberLeavesTheEntryAndAsksForNoRecord) {
  for (int key : {2, 3, -1}) {
    Opened o;
    ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 1, std::string("\x01\x02", 2), 1), 0);
    const DataFileEntry before = o.entry();
    const std::string record = o.Record();
    const int reads = o.h.rm.CountOf(platform::kOpGetGreaterOrEqual);
    EXPECT_EQ(ReadByKey(o.h.env, o.h.table, 5, static_cast<int16_t>(key), "A", 0), kStatusNoSuchKey) << key;
    EXPECT_EQ(o.h.rm.CountOf(platform::kOpGetGreaterOrEqual), reads);
    EXPECT_EQ(o.h.rm.CountOf(platform::kOpGetEqual), 0);
    EXPECT_EQ(o.entry().key_number, before.key_number);
    EXPECT_EQ(o.entry().key_value, before.key_value);
    EXPECT_EQ(o.Record(), record);
  }
}

TEST(ReadStep, MovesAlongTheCurrentKey) {
  struct Case {
    int count;
    int16_t status;
    std::string first_key;  // key 0 of the record delivered ("" : unchanged)
    int intermediate_moves;
  };
  // From the first record ("AA") along key 0: AA AB B C D.
  const Case cases[] = {
      {1, 0, "AB", 0},
      {3, 0, std::string("C\0", 2), 2},
      {4, 0, std::string("D\0", 2), 3},
      {0, 0, "", 0},
      {5, 9, "", 4},   // the walk runs off the end after four moves
      {9, 9, "", 5},  // the fifth move fails
      {-1, 9, "", 0},  // nothing before the first record
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("count " + std::to_string(c.count));
    Opened o;
    ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 0, "", 1), 0);
    const std::string before = o.Record();
    o.h.rm.calls.clear();
    EXPECT_EQ(ReadStep(o.h.env, o.h.table, 5, c.count), c.status);
    EXPECT_EQ(o.Record().substr(0, 2), c.first_key.empty() ? before.substr(0, 2) : c.first_key);
    if (c.first_key.empty()) {
      EXPECT_EQ(o.Record(), before);
    }
    int scratch = 0;
    for (const platform::LoggedCall& call : o.h.rm.calls) {
      if (call.data_length == kDataBufferSize) {
        ++scratch;
        EXPECT_EQ(call.key_length, kPathBufferSize);
      }
    }
    EXPECT_EQ(scratch, c.intermediate_moves);
    if (c.count == 0) {
      EXPECT_TRUE(o.h.rm.calls.empty());
    }
  }
}

TEST(ReadStep, BackwardsDeliversThePreviousRecordAndFollowsTheKeyValue) {
  Opened o;
  ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 0, "D", 0), 0);
  EXPECT_EQ(ReadStep(o.h.env, o.h.table, 5, -1), 0);
  EXPECT_EQ(o.Record(), std::string("C\0\x02\x00" "gh", 6));
  EXPECT_EQ(o.entry().key_value, std::string("C\0", 2));
  EXPECT_EQ(ReadStep(o.h.env, o.h.table, 5, -2), 0);
  EXPECT_EQ(o.Record(), std::string("AB\x00\x01" "cd", 6));
  EXPECT_EQ(o.entry().key_value, "AB");
}

TEST(ReadStep, FailedIntermediateMoveKeepsTheLastKeyValue) {
  Opened o;
  ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 0, "C", 0), 0);
  EXPECT_EQ(ReadStep(o.h.env, o.h.table, 5, 3), 9);
  // One move reached "D"; the failing one returned no key.
  EXPECT_EQ(o.entry().key_value, std::string("D\0", 2));
  EXPECT_EQ(o.Record(), std::string("C\0\x02\x00" "gh", 6));
}

TEST(ReadRecord, LongerRecordIsDeliveredCutWithStatusZero) {
  Harness h;
  platform::FakeFile& f = h.AddFile("VLong.dat", Shape(6, {{{1, 2, 0, 0}}}));
  f.records = {"KKrecordEXTRA"};
  std::array<char, 9> record;
  record.fill('z');
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 8, h.Path("VLong"), record), 0);
  EXPECT_EQ(ReadByKey(h.env, h.table, 8, 0, "KK", 0), 0);
  EXPECT_EQ(std::string(record.data(), record.size()), "KKrecozzz");
  EXPECT_EQ(h.rm.calls.back().status, 22);
  EXPECT_EQ(ReadByKey(h.env, h.table, 8, 0, "KK", 0), 0);
  EXPECT_EQ(ReadStep(h.env, h.table, 8, -1), 9);
}

// A record variable smaller than the file's record length only ever receives
// what it can hold.
TEST(ReadRecord, NeverWritesPastASmallRecordVariable) {
  Harness h;
  platform::FakeFile& f = h.AddFile("VWide.dat", Shape(40, {{{1, 2, 0, 0}}}));
  f.records = {std::string(40, 'r')};
  std::array<char, 8> storage;
  storage.fill('z');
  std::span<char> record(storage.data(), 4);
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 8, h.Path("VWide"), record), 0);
  EXPECT_EQ(ReadByKey(h.env, h.table, 8, 0, "rr", 0), 0);
  EXPECT_EQ(std::string(storage.data(), storage.size()), "rrrrzzzz");
}

TEST(KeyImage, BinarySegmentsReversedCollatedSegmentsTranslated) {
  struct Case {
    int16_t key;
    std::string value;
    std::string image;
  };
  const Case cases[] = {
      {1, std::string("\x01\x02", 2), std::string("\x02\x01" "AB", 4)},
      {1, std::string("\x00\x01", 2), std::string("\x01\x00" "CD", 4)},
      {0, "AB", "AB"},
  };
  for (const Case& c : cases) {
    Opened o;
    ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, c.key, c.value, 1), 0);
    EXPECT_EQ(KeyImage(o.h.env, o.h.table, 5), c.image) << "key " << c.key;
  }
  Opened o;
  // A binary integer stored low byte first compares by magnitude in image form.
  ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 1, std::string("\x02\x00", 2), 1), 0);
  const std::string two = KeyImage(o.h.env, o.h.table, 5);
  ASSERT_EQ(ReadByKey(o.h.env, o.h.table, 5, 1, std::string("\x01\x02", 2), 1), 0);
  const std::string high = KeyImage(o.h.env, o.h.table, 5);
  EXPECT_LT(two, high);
}

TEST(RecordOperations, FileNumberNotOpenGivesStatusThree) {
  Opened o;
  for (int16_t file : {int16_t{6}, int16_t{0}, int16_t{-5}}) {
    EXPECT_EQ(ReadByKey(o.h.env, o.h.table, file, 0, "AA", 0), kStatusNotOpen) << file;
    for (int count : {1, 0, -1, 3}) {
      EXPECT_EQ(ReadStep(o.h.env, o.h.table, file, count), kStatusNotOpen) << file << " " << count;
    }
    EXPECT_EQ(KeyImage(o.h.env, o.h.table, file), "") << file;
  }
  EXPECT_TRUE(o.h.rm.calls.empty());
  EXPECT_EQ(ResetDataFiles(o.h.env, o.h.table), 0);
  EXPECT_EQ(ReadByKey(o.h.env, o.h.table, 5, 0, "AA", 0), kStatusNotOpen);
}

// A record manager whose index entry disagrees with the record it points to
// (the key value returned is not the record's): the read fails as a damaged
// file and the record variable keeps what it held. A key segment the
// record's delivered bytes do not reach is not compared; a read that finds
// nothing is not a mismatch.
TEST(ReadRecord, ARecordThatDoesNotCarryItsKeyIsADamagedFile) {
  struct Disagreeing : platform::RecordManager {
    platform::RecordManager* base = nullptr;
    std::size_t key_byte = 0;  // the byte of the returned key changed
    int16_t Call(uint16_t op, uint8_t* pos, void* data, uint32_t* len, void* key, uint8_t key_len,
                 int8_t key_number) override {
      const int16_t status = base->Call(op, pos, data, len, key, key_len, key_number);
      if (op != platform::kOpStat && op != platform::kOpOpen) static_cast<char*>(key)[key_byte] ^= 0x40;
      return status;
    }
  };
  struct Case {
    int16_t key_number;
    std::size_t key_byte;
    uint32_t room;  // the record length the entry asks for
    std::string value;
    int mode;
    int16_t status;
  } cases[] = {
      {0, 0, 6, "AA", 0, kStatusKeyMismatch},
      {0, 1, 6, "B", 1, kStatusKeyMismatch},
      {1, 3, 6, "", 1, kStatusKeyMismatch},  // the collated segment: compared as stored
      {1, 3, 4, "", 1, kStatusOk},           // the record cut before that segment
      {0, 0, 6, "E", 1, platform::kRmEndOfFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("key " + std::to_string(c.key_number) + " byte " + std::to_string(c.key_byte) + " record of " +
                 std::to_string(c.room));
    Opened o;
    Disagreeing disagreeing;
    disagreeing.base = &o.h.rm;
    disagreeing.key_byte = c.key_byte;
    o.h.env.record_manager = &disagreeing;
    o.entry().record_length = static_cast<int32_t>(c.room);
    o.record.fill('z');
    EXPECT_EQ(ReadByKey(o.h.env, o.h.table, 5, c.key_number, c.value, c.mode), c.status);
    if (c.status != kStatusOk) {
      EXPECT_EQ(o.Record(), std::string(6, 'z'));
    }
  }
  EXPECT_EQ(DataFileStatusText("VTest.dat", kStatusKeyMismatch),
            "data file VTest.dat: a record does not carry the key it was read by (a damaged index) (status 1005)");
}

}  // namespace
}  // namespace zov::datafiles
