// The record manager's file specification: the byte layout that create takes
// and stat answers, its one type, its encoder and decoder, and the rule that
// turns a key segment's bytes into an image that compares bytewise (memcmp)
// in the key's order. Every backend, the data-file layer, the tools and the
// tests read and write the layout through this header only.
//
//   FileSpec spec = DecodeFileSpec(stat_buffer);
//   int32_t length = spec.KeyLength(0);
//   std::string create_buffer = EncodeFileSpec(spec);
//
// The layout, integers little-endian:
//   offset 0   record length        (2 bytes)
//   offset 2   page size            (2 bytes)
//   offset 4   number of keys       (2 bytes)
//   offset 6   record count         (4 bytes; stat only, 0 in a create)
//   offset 10  file flags           (2 bytes)
//   offset 16  one 16-byte segment specification per key segment, all
//              segments of key 0, then of key 1, ...; within one:
//                0-1 position in the record (1-based), 2-3 length,
//                4-5 flags (kSeg*), 6-9 distinct values of the key up to
//                this segment (stat only), 10 extended type
//   then       when any segment has kSegCollated, the alternate collating
//              sequence: 0xAC, an 8-character name, 256 translations.
#ifndef ZOV_PLATFORM_RECMAN_FILE_SPEC_H_
#define ZOV_PLATFORM_RECMAN_FILE_SPEC_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zov::platform {

inline constexpr std::size_t kSpecRecordLengthOffset = 0;
inline constexpr std::size_t kSpecPageSizeOffset = 2;
inline constexpr std::size_t kSpecKeyCountOffset = 4;
inline constexpr std::size_t kSpecRecordCountOffset = 6;
inline constexpr std::size_t kSpecFileFlagsOffset = 10;
inline constexpr std::size_t kSpecHeaderSize = 16;  // where the segments begin

inline constexpr std::size_t kSegPositionOffset = 0;
inline constexpr std::size_t kSegLengthOffset = 2;
inline constexpr std::size_t kSegFlagsOffset = 4;
inline constexpr std::size_t kSegUniqueCountOffset = 6;
inline constexpr std::size_t kSegTypeOffset = 10;
inline constexpr std::size_t kSegmentSpecSize = 16;

// Segment flags.
enum : uint16_t {
  kSegDuplicates = 0x01,  // the key allows equal values (read from its first segment)
  kSegModifiable = 0x02,  // update may change the key (read from its first segment)
  kSegBinary = 0x04,      // a little-endian unsigned integer
  kSegContinues = 0x10,   // the next specification is another segment of this key
  kSegCollated = 0x20,    // compared through the alternate collating sequence
  kSegDescending = 0x40,
  kSegExtended = 0x100,   // the extended type byte says what the segment holds
};

// Extended types.
inline constexpr uint8_t kTypeString = 0;
inline constexpr uint8_t kTypeSignedInteger = 1;
inline constexpr uint8_t kTypeUnsignedBinary = 14;

// The alternate collating sequence.
inline constexpr uint8_t kCollationMarker = 0xAC;
inline constexpr std::size_t kCollationHeaderSize = 9;
inline constexpr std::size_t kCollationSize = kCollationHeaderSize + 256;

struct KeySegment {
  uint16_t position = 0;  // 1-based offset in the record
  uint16_t length = 0;
  uint16_t flags = 0;     // kSeg*; the encoder sets kSegContinues itself
  uint8_t extended_type = 0;
  uint32_t unique_count = 0;  // stat only
};

struct FileSpec {
  uint16_t record_length = 0;
  uint16_t page_size = 0;
  uint16_t key_count = 0;  // as stored; keys.size() is smaller when the buffer cut a key
  uint32_t record_count = 0;
  uint16_t file_flags = 0;
  // Each key's segments in order.
  std::vector<std::vector<KeySegment>> keys;
  // Marker, name and translation table (kCollationSize bytes), or empty.
  std::string collating_sequence;

  // Sum of the key's segment lengths; 0 when the file has no such key.
  int32_t KeyLength(int key_number) const;
  // The 256 translations of the collating sequence, or null without a whole one.
  const uint8_t* CollationTable() const;
};

// Reads a specification or stat buffer. Nothing is read outside the buffer:
// a key whose segments run past its end is left out of `keys` (with every
// key after it), and the collating sequence is taken only when a segment
// asks for it, every key is whole and the sequence fits. Bytes after what
// the counts announce are ignored (callers pad with blanks). Nothing is
// checked: the engine checks a create's specification (key_defs.h).
FileSpec DecodeFileSpec(std::span<const uint8_t> bytes);

// The bytes of `spec`: the header with keys.size() as the number of keys,
// the segments with kSegContinues on all but the last of each key, then
// collating_sequence as it is.
std::string EncodeFileSpec(const FileSpec& spec);

// ---------------------------------------------------------------------------
// Key images: each segment of a key value transformed in place so that
// memcmp order is the key's order.

enum class SegmentKind {
  kString,    // bytes as they are
  kCollated,  // bytes through the collating sequence
  kUnsigned,  // little-endian unsigned integer of any length
  kSigned,    // little-endian two's complement
};

struct SegmentOrder {
  SegmentKind kind = SegmentKind::kString;
  bool descending = false;
};

// The order the engine keeps a segment in: by its extended type when
// kSegExtended is set, else unsigned when binary, else collated when
// kSegCollated; descending when kSegDescending. Nullopt for an extended type
// the engine does not know.
std::optional<SegmentOrder> StoredOrder(const KeySegment& segment);

// The order the data-file layer's KeyImage compares a current key in, as the
// suite's programs always have: only the binary flag (unsigned) and then the
// collating flag count. Extended types and kSegDescending are left as
// stored, so for a segment that uses them this differs from StoredOrder (the
// suite's own files use neither).
SegmentOrder FlagOrder(const KeySegment& segment);

// Transforms `length` bytes of one segment's value in place. `collation` is
// a 256-byte table, or null for none (collated bytes then stay as they are).
// Unsigned and signed values become most significant byte first, a signed
// value's sign bit flipped; a descending segment's bytes are then inverted.
void ImageSegment(SegmentOrder order, const uint8_t* collation, uint8_t* bytes, std::size_t length);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_FILE_SPEC_H_
