// The byte layout that describes a keyed data file: the record manager's
// file-creation specification (the body of a ddf\*.xdf description file) and
// the statistics it answers for an open file share it.
//
//   offset 0   record length        (2 bytes, little-endian)
//   offset 2   page size            (2 bytes)
//   offset 4   number of keys       (2 bytes)
//   offset 6   record count         (4 bytes; statistics only, 0 in a create)
//   offset 10  file flags           (2 bytes)
//   offset 16  one 16-byte segment specification per key segment, all
//              segments of key 0, then of key 1, ...; within one:
//                0-1 position in the record (1-based), 2-3 length,
//                4-5 flags (kSeg*), 10 extended type (0 string)
//   then       the alternate collating sequence, when the file has one:
//              a 9-byte header and 256 translation bytes.
//
// A description file (.xdf) is a 2-byte little-endian count N followed by N
// bytes of the specification above.
//
//   FileSpec spec = DecodeFileSpec(stat_buffer);
//   int32_t length = spec.KeyLength(0);
#ifndef ZOV_DATAFILES_FILE_SPEC_H_
#define ZOV_DATAFILES_FILE_SPEC_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zov::datafiles {

inline constexpr std::size_t kSpecRecordLengthOffset = 0;
inline constexpr std::size_t kSpecPageSizeOffset = 2;
inline constexpr std::size_t kSpecKeyCountOffset = 4;
inline constexpr std::size_t kSpecRecordCountOffset = 6;
inline constexpr std::size_t kSpecFileFlagsOffset = 10;
inline constexpr std::size_t kSpecSegmentsOffset = 16;
inline constexpr std::size_t kSegmentSpecSize = 16;
inline constexpr std::size_t kSegPositionOffset = 0;
inline constexpr std::size_t kSegLengthOffset = 2;
inline constexpr std::size_t kSegFlagsOffset = 4;
inline constexpr std::size_t kSegExtendedTypeOffset = 10;
inline constexpr std::size_t kCollatingHeaderSize = 9;
inline constexpr std::size_t kCollatingTableSize = 256;

// Segment flags.
enum : uint16_t {
  kSegDuplicates = 0x01,
  kSegModifiable = 0x02,
  kSegBinary = 0x04,
  kSegContinues = 0x10,  // the next specification is another segment of this key
  kSegAltCollating = 0x20,
  kSegDescending = 0x40,
  kSegExtendedType = 0x100,
};

struct KeySegment {
  uint16_t position = 0;  // 1-based offset in the record
  uint16_t length = 0;
  uint16_t flags = 0;     // kSeg*; kSegContinues is set by the encoder
  uint8_t extended_type = 0;
};

struct FileSpec {
  uint16_t record_length = 0;
  uint16_t page_size = 0;
  uint16_t key_count = 0;  // as stored; keys.size() may be smaller when cut
  uint32_t record_count = 0;
  uint16_t file_flags = 0;
  // Each key's segments in order.
  std::vector<std::vector<KeySegment>> keys;
  // Header and translation table (265 bytes), or empty when absent.
  std::string collating_sequence;

  // Sum of the key's segment lengths; 0 when the file has no such key.
  int32_t KeyLength(int key_number) const;
  // Translation of byte c in the collating sequence (c itself without one).
  uint8_t Collate(uint8_t c) const;
};

// Reads a specification or statistics buffer. Nothing is read outside the
// buffer: a key whose segments run past its end is left out of `keys`, and the
// collating sequence is taken only when a segment asks for it and it fits.
FileSpec DecodeFileSpec(std::span<const uint8_t> bytes);

// The specification bytes of `spec` (without the .xdf count). Sets
// kSegContinues on every segment but the last of each key.
std::string EncodeFileSpec(const FileSpec& spec);

// A description file's bytes: the 2-byte count and the specification.
std::string EncodeDescription(const FileSpec& spec);

// The specification inside a description file's bytes, or nullopt when the
// file is shorter than its count says or has no specification at all.
std::optional<std::string> SpecificationOfDescription(std::string_view description);

// Little-endian helpers for fixed layouts.
inline uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}

}  // namespace zov::datafiles

#endif  // ZOV_DATAFILES_FILE_SPEC_H_
