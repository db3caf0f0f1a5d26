// Description files (ddf*.xdf) and the statistics the record manager
// answers: any bytes decode without reading outside them, what decodes
// encodes to bytes that decode the same again, and the engine's check of a
// create's specification either refuses it or gives keys that lie inside the
// record and build images of their own length.
//
// Input: the description file's bytes (2-byte count, specification).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "datafiles/description_file.h"
#include "fuzz/fuzz_input.h"
#include "platform/recman/file_spec.h"
#include "platform/recman/key_defs.h"
#include "platform/recman/status.h"

namespace {

using zov::fuzz::Check;
using namespace zov::platform;

std::span<const uint8_t> Bytes(std::string_view s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

bool SameKeys(const FileSpec& a, const FileSpec& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    if (a.keys[k].size() != b.keys[k].size()) return false;
    for (std::size_t i = 0; i < a.keys[k].size(); ++i) {
      const KeySegment& x = a.keys[k][i];
      const KeySegment& y = b.keys[k][i];
      if (x.position != y.position || x.length != y.length || x.extended_type != y.extended_type) return false;
    }
  }
  return true;
}

void Decode(std::string_view bytes) {
  FileSpec spec = DecodeFileSpec(Bytes(bytes));
  Check(spec.keys.size() <= spec.key_count);
  for (int k = -1; k <= spec.key_count; ++k) (void)spec.KeyLength(k);
  (void)spec.CollationTable();

  std::string again = EncodeFileSpec(spec);
  FileSpec decoded = DecodeFileSpec(Bytes(again));
  Check(decoded.record_length == spec.record_length && decoded.page_size == spec.page_size);
  Check(SameKeys(spec, decoded));
  Check(decoded.collating_sequence == spec.collating_sequence);
}

void Create(std::string_view bytes) {
  RecordFileSpec spec;
  if (ParseFileSpec(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &spec) != kRmOk) return;
  Check(spec.record_length <= kMaxRecordLength);
  std::string record(spec.record_length, '\x5A');
  for (const KeyDef& key : spec.keys) {
    Check(key.length <= kMaxKeyLength);
    for (const SegmentDef& s : key.segments) {
      Check(s.record_offset + s.length <= spec.record_length);
      Check(s.value_offset + s.length <= key.length);
    }
    std::string value, image;
    ExtractKeyValue(key, reinterpret_cast<const uint8_t*>(record.data()), &value);
    Check(value.size() == key.length);
    BuildKeyImage(spec, key, reinterpret_cast<const uint8_t*>(value.data()), &image);
    Check(image.size() == key.length);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Decode(bytes);  // as statistics
  Create(bytes);
  if (std::optional<std::string> spec = zov::datafiles::SpecificationOfDescription(bytes)) {
    Decode(*spec);
    Create(*spec);
  }
  return 0;
}
