#include "platform/recman/file_spec.h"

#include <algorithm>
#include <cstring>

#include "platform/recman/status.h"

namespace zov::platform {
namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void Put32(uint64_t value, char* p) {
  const uint32_t v = value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool ValidPageSize(uint16_t size) { return size >= 512 && size <= 16384 && size % 512 == 0; }

// Reads one segment specification; returns kRmOk or the fault's status.
int16_t ParseSegment(const uint8_t* p, uint16_t record_length, uint16_t value_offset, SegmentDef* seg,
                     uint16_t* flags) {
  const uint16_t position = Get16(p + kSegPosition);
  const uint16_t length = Get16(p + kSegLength);
  *flags = Get16(p + kSegFlags);
  if (length == 0) return kRmInvalidKeyLength;
  if (position == 0 || position + length - 1 > record_length) return kRmInvalidKeyPosition;
  SegmentKind kind = SegmentKind::kString;
  if (*flags & kSegExtended) {
    switch (p[kSegExtendedType]) {
      case kTypeString: kind = SegmentKind::kString; break;
      case kTypeSignedInteger: kind = SegmentKind::kSigned; break;
      case kTypeUnsignedBinary: kind = SegmentKind::kUnsigned; break;
      default: return kRmInvalidKeyType;
    }
  } else if (*flags & kSegBinary) {
    kind = SegmentKind::kUnsigned;
  }
  if (kind == SegmentKind::kString && (*flags & kSegCollated)) kind = SegmentKind::kCollated;
  if (kind == SegmentKind::kSigned && length != 1 && length != 2 && length != 4 && length != 8) {
    return kRmInvalidKeyLength;
  }
  *seg = SegmentDef{static_cast<uint16_t>(position - 1), value_offset, length, kind,
                    (*flags & kSegDescending) != 0};
  return kRmOk;
}

}  // namespace

int16_t ParseFileSpec(const uint8_t* data, std::size_t length, RecordFileSpec* spec) {
  *spec = RecordFileSpec();
  if (data == nullptr || length < kSpecHeaderSize) return kRmCreateError;
  const uint16_t record_length = Get16(data + kSpecRecordLength);
  const uint16_t key_count = Get16(data + kSpecKeyCount);
  if (record_length == 0 || record_length > kMaxRecordLength) return kRmInvalidRecordLength;
  if (!ValidPageSize(Get16(data + kSpecPageSize))) return kRmPageSizeError;
  if (key_count == 0 || key_count > kMaxSegments) return kRmInvalidKeyCount;

  spec->record_length = record_length;
  std::size_t offset = kSpecHeaderSize;
  bool any_collated_flag = false;
  for (uint16_t k = 0; k < key_count; ++k) {
    KeyDef key{{}, spec->segment_count, 0, false, false};
    uint16_t flags = kSegContinues;
    while (flags & kSegContinues) {
      if (spec->segment_count == kMaxSegments) return kRmInvalidKeyCount;
      if (length - offset < kSegmentSpecSize) return kRmCreateError;
      SegmentDef seg;
      const int16_t st = ParseSegment(data + offset, record_length, key.length, &seg, &flags);
      if (st != kRmOk) return st;
      if (key.segments.empty()) {
        key.duplicates = (flags & kSegDuplicates) != 0;
        key.modifiable = (flags & kSegModifiable) != 0;
      }
      if (static_cast<std::size_t>(key.length) + seg.length > kMaxKeyLength) return kRmInvalidKeyLength;
      key.length = static_cast<uint16_t>(key.length + seg.length);
      any_collated_flag = any_collated_flag || (flags & kSegCollated);
      key.segments.push_back(seg);
      ++spec->segment_count;
      offset += kSegmentSpecSize;
    }
    spec->keys.push_back(std::move(key));
  }

  for (int c = 0; c < 256; ++c) spec->collation[c] = static_cast<uint8_t>(c);
  std::size_t layout_size = offset;
  if (any_collated_flag) {
    if (length - offset < kCollationSize || data[offset] != kCollationMarker) return kRmInvalidCollation;
    std::memcpy(spec->collation.data(), data + offset + kCollationHeaderSize, 256);
    layout_size += kCollationSize;
  }
  spec->layout.assign(reinterpret_cast<const char*>(data), layout_size);
  Put32(0, spec->layout.data() + kSpecRecordCount);
  for (std::size_t s = 0; s < spec->segment_count; ++s) {
    Put32(0, spec->layout.data() + kSpecHeaderSize + s * kSegmentSpecSize + kSegUniqueCount);
  }
  return kRmOk;
}

void ExtractKeyValue(const KeyDef& key, const uint8_t* record, std::string* value) {
  value->resize(key.length);
  for (const SegmentDef& seg : key.segments) {
    std::memcpy(value->data() + seg.value_offset, record + seg.record_offset, seg.length);
  }
}

void BuildKeyImage(const RecordFileSpec& spec, const KeyDef& key, const uint8_t* value, std::string* image) {
  image->resize(key.length);
  auto* out = reinterpret_cast<uint8_t*>(image->data());
  for (const SegmentDef& seg : key.segments) {
    const uint8_t* in = value + seg.value_offset;
    uint8_t* o = out + seg.value_offset;
    switch (seg.kind) {
      case SegmentKind::kString:
        std::memcpy(o, in, seg.length);
        break;
      case SegmentKind::kCollated:
        for (uint16_t i = 0; i < seg.length; ++i) o[i] = spec.collation[in[i]];
        break;
      case SegmentKind::kUnsigned:
      case SegmentKind::kSigned:
        // Most significant byte first; a signed value's sign bit flipped so
        // that negatives sort below zero.
        for (uint16_t i = 0; i < seg.length; ++i) o[i] = in[seg.length - 1 - i];
        if (seg.kind == SegmentKind::kSigned) o[0] ^= 0x80;
        break;
    }
    if (seg.descending) {
      for (uint16_t i = 0; i < seg.length; ++i) o[i] = static_cast<uint8_t>(~o[i]);
    }
  }
}

std::string StatLayout(const RecordFileSpec& spec, uint64_t records, const std::vector<int64_t>& unique_counts) {
  std::string out = spec.layout;
  Put32(records, out.data() + kSpecRecordCount);
  for (std::size_t s = 0; s < spec.segment_count && s < unique_counts.size(); ++s) {
    const int64_t n = std::max<int64_t>(unique_counts[s], 0);
    Put32(static_cast<uint64_t>(n), out.data() + kSpecHeaderSize + s * kSegmentSpecSize + kSegUniqueCount);
  }
  return out;
}

}  // namespace zov::platform
