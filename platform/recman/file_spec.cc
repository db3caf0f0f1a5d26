#include "platform/recman/file_spec.h"

#include <algorithm>

#include "platform/coding.h"

namespace zov::platform {

int32_t FileSpec::KeyLength(int key_number) const {
  if (key_number < 0 || key_number >= key_count) return 0;
  if (static_cast<std::size_t>(key_number) >= keys.size()) return 0;
  int32_t length = 0;
  for (const KeySegment& s : keys[static_cast<std::size_t>(key_number)]) length += s.length;
  return length;
}

const uint8_t* FileSpec::CollationTable() const {
  if (collating_sequence.size() < kCollationSize) return nullptr;
  return reinterpret_cast<const uint8_t*>(collating_sequence.data()) + kCollationHeaderSize;
}

FileSpec DecodeFileSpec(std::span<const uint8_t> bytes) {
  FileSpec spec;
  if (bytes.size() < kSpecHeaderSize) return spec;
  const uint8_t* b = bytes.data();
  spec.record_length = DecodeFixed16(b + kSpecRecordLengthOffset);
  spec.page_size = DecodeFixed16(b + kSpecPageSizeOffset);
  spec.key_count = DecodeFixed16(b + kSpecKeyCountOffset);
  spec.record_count = DecodeFixed32(b + kSpecRecordCountOffset);
  spec.file_flags = DecodeFixed16(b + kSpecFileFlagsOffset);

  std::size_t pos = kSpecHeaderSize;
  bool collated = false;
  for (int k = 0; k < spec.key_count; ++k) {
    std::vector<KeySegment> key;
    bool complete = false;
    while (pos + kSegmentSpecSize <= bytes.size()) {
      KeySegment s;
      s.position = DecodeFixed16(b + pos + kSegPositionOffset);
      s.length = DecodeFixed16(b + pos + kSegLengthOffset);
      s.flags = DecodeFixed16(b + pos + kSegFlagsOffset);
      s.unique_count = DecodeFixed32(b + pos + kSegUniqueCountOffset);
      s.extended_type = b[pos + kSegTypeOffset];
      pos += kSegmentSpecSize;
      if (s.flags & kSegCollated) collated = true;
      key.push_back(s);
      if (!(s.flags & kSegContinues)) {
        complete = true;
        break;
      }
    }
    if (!complete) break;
    spec.keys.push_back(std::move(key));
  }
  if (collated && spec.keys.size() == spec.key_count && pos + kCollationSize <= bytes.size()) {
    spec.collating_sequence.assign(reinterpret_cast<const char*>(b + pos), kCollationSize);
  }
  return spec;
}

std::string EncodeFileSpec(const FileSpec& spec) {
  std::size_t segments = 0;
  for (const auto& key : spec.keys) segments += key.size();
  std::string out(kSpecHeaderSize + segments * kSegmentSpecSize, '\0');
  char* b = out.data();
  EncodeFixed16(b + kSpecRecordLengthOffset, spec.record_length);
  EncodeFixed16(b + kSpecPageSizeOffset, spec.page_size);
  EncodeFixed16(b + kSpecKeyCountOffset, static_cast<uint16_t>(spec.keys.size()));
  EncodeFixed32(b + kSpecRecordCountOffset, spec.record_count);
  EncodeFixed16(b + kSpecFileFlagsOffset, spec.file_flags);
  std::size_t pos = kSpecHeaderSize;
  for (const auto& key : spec.keys) {
    for (std::size_t i = 0; i < key.size(); ++i) {
      uint16_t flags = static_cast<uint16_t>(key[i].flags & ~kSegContinues);
      if (i + 1 < key.size()) flags = static_cast<uint16_t>(flags | kSegContinues);
      EncodeFixed16(b + pos + kSegPositionOffset, key[i].position);
      EncodeFixed16(b + pos + kSegLengthOffset, key[i].length);
      EncodeFixed16(b + pos + kSegFlagsOffset, flags);
      EncodeFixed32(b + pos + kSegUniqueCountOffset, key[i].unique_count);
      b[pos + kSegTypeOffset] = static_cast<char>(key[i].extended_type);
      pos += kSegmentSpecSize;
    }
  }
  out += spec.collating_sequence;
  return out;
}

std::optional<SegmentOrder> StoredOrder(const KeySegment& segment) {
  SegmentOrder order;
  order.descending = (segment.flags & kSegDescending) != 0;
  if (segment.flags & kSegExtended) {
    switch (segment.extended_type) {
      case kTypeString: order.kind = SegmentKind::kString; break;
      case kTypeSignedInteger: order.kind = SegmentKind::kSigned; break;
      case kTypeUnsignedBinary: order.kind = SegmentKind::kUnsigned; break;
      default: return std::nullopt;
    }
  } else if (segment.flags & kSegBinary) {
    order.kind = SegmentKind::kUnsigned;
  }
  if (order.kind == SegmentKind::kString && (segment.flags & kSegCollated)) order.kind = SegmentKind::kCollated;
  return order;
}

SegmentOrder FlagOrder(const KeySegment& segment) {
  SegmentOrder order;
  if (segment.flags & kSegBinary) {
    order.kind = SegmentKind::kUnsigned;
  } else if (segment.flags & kSegCollated) {
    order.kind = SegmentKind::kCollated;
  }
  return order;
}

void ImageSegment(SegmentOrder order, const uint8_t* collation, uint8_t* bytes, std::size_t length) {
  if (length == 0) return;
  switch (order.kind) {
    case SegmentKind::kString:
      break;
    case SegmentKind::kCollated:
      if (collation != nullptr) {
        for (std::size_t i = 0; i < length; ++i) bytes[i] = collation[bytes[i]];
      }
      break;
    case SegmentKind::kUnsigned:
    case SegmentKind::kSigned:
      std::reverse(bytes, bytes + length);
      if (order.kind == SegmentKind::kSigned) bytes[0] ^= 0x80;
      break;
  }
  if (order.descending) {
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
  }
}

}  // namespace zov::platform
