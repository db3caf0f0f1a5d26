// File specifications of the record manager: the byte layout that create
// takes and stat returns, parsed into key definitions, and the key images
// that make every key compare bytewise (memcmp) in its own order.
//
//   RecordFileSpec spec;
//   if (ParseFileSpec(data, data_length, &spec) != kRmOk) ...;
//   std::string value, image;
//   ExtractKeyValue(spec.keys[0], record, &value);
//   BuildKeyImage(spec, spec.keys[0], value.data(), &image);
#ifndef ZOV_PLATFORM_RECMAN_FILE_SPEC_H_
#define ZOV_PLATFORM_RECMAN_FILE_SPEC_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zov::platform {

// The layout, integers little-endian. A 16-byte header, then one 16-byte
// specification per key segment (all segments of key 0, then key 1, ...),
// then, when any segment has kSegCollated, the alternate collating sequence.
inline constexpr std::size_t kSpecRecordLength = 0;  // 2 bytes
inline constexpr std::size_t kSpecPageSize = 2;      // 2 bytes
inline constexpr std::size_t kSpecKeyCount = 4;      // 2 bytes
inline constexpr std::size_t kSpecRecordCount = 6;   // 4 bytes, stat only
inline constexpr std::size_t kSpecFileFlags = 10;    // 2 bytes
inline constexpr std::size_t kSpecHeaderSize = 16;

inline constexpr std::size_t kSegPosition = 0;     // 2 bytes, 1-based
inline constexpr std::size_t kSegLength = 2;       // 2 bytes
inline constexpr std::size_t kSegFlags = 4;        // 2 bytes
inline constexpr std::size_t kSegUniqueCount = 6;  // 4 bytes, stat only
inline constexpr std::size_t kSegExtendedType = 10;
inline constexpr std::size_t kSegmentSpecSize = 16;

inline constexpr uint16_t kSegDuplicates = 0x01;
inline constexpr uint16_t kSegModifiable = 0x02;
inline constexpr uint16_t kSegBinary = 0x04;
inline constexpr uint16_t kSegContinues = 0x10;
inline constexpr uint16_t kSegCollated = 0x20;
inline constexpr uint16_t kSegDescending = 0x40;
inline constexpr uint16_t kSegExtended = 0x100;

inline constexpr uint8_t kTypeString = 0;
inline constexpr uint8_t kTypeSignedInteger = 1;
inline constexpr uint8_t kTypeUnsignedBinary = 14;

// The collating sequence: 0xAC, an 8-character name, 256 translations.
inline constexpr uint8_t kCollationMarker = 0xAC;
inline constexpr std::size_t kCollationHeaderSize = 9;
inline constexpr std::size_t kCollationSize = kCollationHeaderSize + 256;

inline constexpr uint16_t kMaxRecordLength = 4096;
inline constexpr std::size_t kMaxKeyLength = 255;
// A stat of the largest file, collating sequence included, fits the
// 1536-byte buffers callers use.
inline constexpr std::size_t kMaxSegments = 78;

enum class SegmentKind {
  kString,    // bytes as they are
  kCollated,  // bytes through the collating sequence
  kUnsigned,  // little-endian unsigned integer of any length
  kSigned,    // little-endian two's complement of 1, 2, 4 or 8 bytes
};

struct SegmentDef {
  uint16_t record_offset;  // 0-based offset of the segment in the record
  uint16_t value_offset;   // offset of the segment in the key value
  uint16_t length;
  SegmentKind kind;
  bool descending;
};

struct KeyDef {
  std::vector<SegmentDef> segments;
  std::size_t first_segment;  // index of segments[0] among all the file's
  uint16_t length;            // sum of the segment lengths
  bool duplicates;            // taken from the key's first segment
  bool modifiable;            // taken from the key's first segment
};

struct RecordFileSpec {
  uint16_t record_length = 0;
  std::vector<KeyDef> keys;
  std::size_t segment_count = 0;
  std::array<uint8_t, 256> collation{};  // identity unless collated
  // The layout exactly as stat returns it, with every count zero: header,
  // segment specifications and (when present) the collating sequence.
  std::string layout;
};

// Parses and checks a specification of `length` bytes; bytes after the parts
// that the counts announce are ignored (callers pad with blanks). Returns
// kRmOk or the status that names the first fault found; *spec is complete
// only on kRmOk.
[[nodiscard]] int16_t ParseFileSpec(const uint8_t* data, std::size_t length, RecordFileSpec* spec);

// The key's value as stored in a record of at least spec.record_length
// bytes: its segments' bytes, in key order.
void ExtractKeyValue(const KeyDef& key, const uint8_t* record, std::string* value);

// The image of a key value of key.length bytes: each segment transformed so
// that memcmp order is the key's order. Images keep the value's length, so
// the first bytes of an image are the image of the first segments.
void BuildKeyImage(const RecordFileSpec& spec, const KeyDef& key, const uint8_t* value, std::string* image);

// The stat layout: spec.layout with the record count and, per segment, the
// number of distinct values of its key up to that segment (saturated).
std::string StatLayout(const RecordFileSpec& spec, uint64_t records, const std::vector<int64_t>& unique_counts);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_FILE_SPEC_H_
