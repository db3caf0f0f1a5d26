// A create's file specification checked and turned into what the engine
// works with: per key, where each segment sits in the record and in the key
// value and in what order it sorts; the collating table; and the layout that
// stat answers. The byte layout itself is file_spec.h.
//
//   RecordFileSpec spec;
//   if (ParseFileSpec(data, data_length, &spec) != kRmOk) ...;
//   std::string value, image;
//   ExtractKeyValue(spec.keys[0], record, &value);
//   BuildKeyImage(spec, spec.keys[0], value.data(), &image);
#ifndef ZOV_PLATFORM_RECMAN_KEY_DEFS_H_
#define ZOV_PLATFORM_RECMAN_KEY_DEFS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/recman/file_spec.h"

namespace zov::platform {

inline constexpr uint16_t kMaxRecordLength = 4096;
inline constexpr std::size_t kMaxKeyLength = 255;
// A stat of the largest file, collating sequence included, fits the
// 1536-byte buffers callers use.
inline constexpr std::size_t kMaxSegments = 78;

struct SegmentDef {
  uint16_t record_offset;  // 0-based offset of the segment in the record
  uint16_t value_offset;   // offset of the segment in the key value
  uint16_t length;
  SegmentOrder order;
};

struct KeyDef {
  std::vector<SegmentDef> segments;
  std::size_t first_segment;  // index of segments[0] among all the file's
  uint16_t length;            // sum of the segment lengths
  bool duplicates;            // taken from the key's first segment
  bool modifiable;            // taken from the key's first segment
  // Every segment an ascending plain string: the key's image is its value.
  bool image_is_value = true;
};

struct RecordFileSpec {
  uint16_t record_length = 0;
  std::vector<KeyDef> keys;
  std::size_t segment_count = 0;
  std::array<uint8_t, 256> collation{};  // identity unless collated
  // The layout exactly as create took it, cut after the parts the counts
  // announce, with every count zero: header, segment specifications and
  // (when present) the collating sequence.
  std::string layout;
};

// Checks a specification of `length` bytes; bytes after the parts that the
// counts announce are ignored (callers pad with blanks). Returns kRmOk or the
// status that names the first fault found; *spec is complete only on kRmOk.
[[nodiscard]] int16_t ParseFileSpec(const uint8_t* data, std::size_t length, RecordFileSpec* spec);

// The key's value as stored in a record of at least spec.record_length
// bytes: its segments' bytes, in key order.
void ExtractKeyValue(const KeyDef& key, const uint8_t* record, std::string* value);

// The image of a key value of key.length bytes (ImageSegment on each
// segment). Images keep the value's length, so the first bytes of an image
// are the image of the first segments.
void BuildKeyImage(const RecordFileSpec& spec, const KeyDef& key, const uint8_t* value, std::string* image);

// The stat layout: spec.layout with the record count and, per segment, the
// number of distinct values of its key up to that segment (saturated).
std::string StatLayout(const RecordFileSpec& spec, uint64_t records, const std::vector<int64_t>& unique_counts);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_KEY_DEFS_H_
