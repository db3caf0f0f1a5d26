// Helpers for the record-manager tests: building file specifications and
// calling one open file through any RecordManager.
#ifndef ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_
#define ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/record_manager.h"
#include "platform/recman/file_spec.h"
#include "platform/testing/temp_dir.h"

namespace zov::platform::test {

// A fresh directory, removed with its content at the end. path() ends in "/".
using ScratchDir = TempDir;

struct Seg {
  uint16_t position;  // 1-based
  uint16_t length;
  uint16_t flags = 0;
  uint8_t type = 0;
};

inline void Put16(std::string* s, std::size_t at, uint16_t v) {
  (*s)[at] = static_cast<char>(v & 0xFF);
  (*s)[at + 1] = static_cast<char>(v >> 8);
}

inline uint32_t Get32(const std::string& s, std::size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

// A create specification; the continuation flag is set on all but the last
// segment of each key. `collation` (265 bytes) is appended when not empty.
inline std::string MakeSpec(uint16_t record_length, const std::vector<std::vector<Seg>>& keys,
                            const std::string& collation = "", uint16_t page_size = 1024) {
  std::string spec(kSpecHeaderSize, '\0');
  Put16(&spec, kSpecRecordLength, record_length);
  Put16(&spec, kSpecPageSize, page_size);
  Put16(&spec, kSpecKeyCount, static_cast<uint16_t>(keys.size()));
  for (const auto& key : keys) {
    for (std::size_t i = 0; i < key.size(); ++i) {
      std::string seg(kSegmentSpecSize, '\0');
      Put16(&seg, kSegPosition, key[i].position);
      Put16(&seg, kSegLength, key[i].length);
      Put16(&seg, kSegFlags, static_cast<uint16_t>(key[i].flags | (i + 1 < key.size() ? kSegContinues : 0)));
      seg[kSegExtendedType] = static_cast<char>(key[i].type);
      spec += seg;
    }
  }
  return spec + collation;
}

// A collating sequence that folds a-z onto A-Z.
inline std::string UpperCaseCollation() {
  std::string acs(kCollationSize, '\0');
  acs[0] = static_cast<char>(kCollationMarker);
  std::memcpy(&acs[1], "UPPER   ", 8);
  for (int c = 0; c < 256; ++c) acs[kCollationHeaderSize + static_cast<std::size_t>(c)] = static_cast<char>(c);
  for (int c = 'a'; c <= 'z'; ++c) acs[kCollationHeaderSize + static_cast<std::size_t>(c)] = static_cast<char>(c - 32);
  return acs;
}

// The key buffer of open and create: the path, a zero byte, blanks to 255.
inline std::string PathKey(const std::string& path) {
  std::string key = path + '\0';
  key.resize(255, ' ');
  return key;
}

// The little-endian bytes of an integer, as records store them.
inline std::string Le(uint64_t v, std::size_t n) {
  std::string out(n, '\0');
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

// The tests' usual file: records of 16 bytes, a 4-byte unsigned number
// (key 0, unique), a 6-byte name (key 1, duplicates, modifiable), 6 bytes
// of payload.
inline std::string Spec() { return MakeSpec(16, {{{1, 4, kSegBinary}}, {{5, 6, kSegDuplicates | kSegModifiable}}}); }

inline std::string Rec(uint32_t number, const std::string& name, const std::string& payload = "") {
  std::string r = Le(number, 4) + name;
  r.resize(10, ' ');
  r += payload;
  r.resize(16, '.');
  return r;
}

inline uint32_t NumberOf(const std::string& record) { return record.size() < 4 ? 0 : Get32(record, 0); }

// One open of a data file through a RecordManager.
class TestFile {
 public:
  explicit TestFile(RecordManager& rm) : rm_(&rm) {}

  int16_t Create(const std::string& path, std::string spec, int8_t key_number = -1) {
    spec.resize(1536, ' ');  // the way the data-file layer passes it
    uint32_t len = 1536;
    std::string key = PathKey(path);
    return rm_->Call(kOpCreate, pos_, spec.data(), &len, key.data(), 255, key_number);
  }
  int16_t Open(const std::string& path, int8_t mode = 0) {
    std::string owner("OWNR\0", 5);
    owner.resize(1536, ' ');
    uint32_t len = 5;
    std::string key = PathKey(path);
    return rm_->Call(kOpOpen, pos_, owner.data(), &len, key.data(), 255, mode);
  }
  int16_t Close() { return Simple(kOpClose); }
  int16_t Insert(std::string record, int8_t key_number = 0) {
    uint32_t len = static_cast<uint32_t>(record.size());
    char key[255] = {};
    return rm_->Call(kOpInsert, pos_, record.data(), &len, key, 255, key_number);
  }
  int16_t Update(std::string record) {
    uint32_t len = static_cast<uint32_t>(record.size());
    char key[255] = {};
    return rm_->Call(kOpUpdate, pos_, record.data(), &len, key, 255, key_number_);
  }
  int16_t Delete() { return Simple(kOpDelete); }
  // A get: `key`, as long as the key, is the key value going in (for the
  // keyed gets) and the record's key value coming out; `room` is the data
  // buffer's size.
  int16_t Get(uint16_t op, int8_t key_number, std::string* key, std::string* record, uint32_t room = 1536) {
    key_number_ = key_number;
    std::string kbuf = *key;
    kbuf.resize(255, '\0');
    std::string data(room, '\0');
    uint32_t len = room;
    const int16_t st = rm_->Call(op, pos_, data.data(), &len, kbuf.data(), 255, key_number);
    record->assign(data, 0, len);
    if (st == 0 || st == 22) key->assign(kbuf, 0, key->size());
    return st;
  }
  int16_t Stat(std::string* out, uint32_t room = 1536) {
    std::string data(room, '\0');
    uint32_t len = room;
    char key[255];
    std::memset(key, ' ', sizeof key);
    const int16_t st = rm_->Call(kOpStat, pos_, data.data(), &len, key, 255, 0);
    out->assign(data, 0, len);
    return st;
  }
  uint8_t* position_block() { return pos_; }

 private:
  int16_t Simple(uint16_t op) {
    uint32_t len = 0;
    return rm_->Call(op, pos_, nullptr, &len, nullptr, 0, 0);
  }
  RecordManager* rm_;
  uint8_t pos_[kPositionBlockSize] = {};
  int8_t key_number_ = 0;
};

inline int16_t Transaction(RecordManager& rm, uint16_t op) {
  uint8_t pos[kPositionBlockSize] = {};
  uint32_t len = 0;
  return rm.Call(op, pos, nullptr, &len, nullptr, 0, 0);
}

}  // namespace zov::platform::test

#endif  // ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_
