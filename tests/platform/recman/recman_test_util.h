// Helpers for the record-manager tests: a scratch directory, file
// specifications, and the records of the tests' usual file.
#ifndef ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_
#define ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "platform/record_manager.h"
#include "platform/recman/file_spec.h"
#include "platform/recman/record_file.h"
#include "platform/testing/temp_dir.h"

namespace zov::platform::test {

// A fresh directory, removed with its content at the end. path() ends in "/".
using ScratchDir = TempDir;

// A create specification; the continuation flag is set on all but the last
// segment of each key. `collation` (kCollationSize bytes) is appended when
// not empty.
inline std::string MakeSpec(uint16_t record_length, const std::vector<std::vector<KeySegment>>& keys,
                            const std::string& collation = "", uint16_t page_size = 1024) {
  FileSpec spec;
  spec.record_length = record_length;
  spec.page_size = page_size;
  spec.keys = keys;
  spec.collating_sequence = collation;
  return EncodeFileSpec(spec);
}

// A create buffer as the data-file layer hands it over: the specification,
// then blanks up to the data buffer's length.
inline std::string Padded(std::string spec) {
  spec.resize(kDataBufferLength, ' ');
  return spec;
}

// A little-endian field of a layout.
inline uint32_t Get32(const std::string& s, std::size_t at) { return DecodeFixed32(s.data() + at); }

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
  key.resize(kPathKeyLength, ' ');
  return key;
}

// The first n little-endian bytes of an integer, as records store them.
inline std::string Le(uint64_t v, std::size_t n) {
  std::string out(8, '\0');
  EncodeFixed64(out.data(), v);
  out.resize(n, '\0');
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

}  // namespace zov::platform::test

#endif  // ZOV_TESTS_PLATFORM_RECMAN_RECMAN_TEST_UTIL_H_
