#include "platform/recman/key_defs.h"

#include <algorithm>
#include <cstring>

#include "platform/coding.h"
#include "platform/recman/status.h"

namespace zov::platform {
namespace {

bool ValidPageSize(uint16_t size) { return size >= 512 && size <= 16384 && size % 512 == 0; }

uint32_t Saturated32(uint64_t value) { return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value); }

// Checks one segment of a key whose earlier segments take `value_offset`
// bytes; returns kRmOk or the fault's status.
int16_t CheckSegment(const KeySegment& s, uint16_t record_length, uint16_t value_offset, SegmentDef* def) {
  if (s.length == 0) return kRmInvalidKeyLength;
  if (s.position == 0 || s.position + s.length - 1 > record_length) return kRmInvalidKeyPosition;
  const std::optional<SegmentOrder> order = StoredOrder(s);
  if (!order) return kRmInvalidKeyType;
  if (order->kind == SegmentKind::kSigned && s.length != 1 && s.length != 2 && s.length != 4 && s.length != 8) {
    return kRmInvalidKeyLength;
  }
  *def = SegmentDef{static_cast<uint16_t>(s.position - 1), value_offset, s.length, *order};
  return kRmOk;
}

}  // namespace

int16_t ParseFileSpec(const uint8_t* data, std::size_t length, RecordFileSpec* spec) {
  *spec = RecordFileSpec();
  if (data == nullptr || length < kSpecHeaderSize) return kRmCreateError;
  const FileSpec decoded = DecodeFileSpec(std::span<const uint8_t>(data, length));
  if (decoded.record_length == 0 || decoded.record_length > kMaxRecordLength) return kRmInvalidRecordLength;
  if (!ValidPageSize(decoded.page_size)) return kRmPageSizeError;
  if (decoded.key_count == 0 || decoded.key_count > kMaxSegments) return kRmInvalidKeyCount;

  spec->record_length = decoded.record_length;
  bool any_collated_flag = false;
  for (const std::vector<KeySegment>& segments : decoded.keys) {
    KeyDef key{{}, spec->segment_count, 0, (segments.front().flags & kSegDuplicates) != 0,
               (segments.front().flags & kSegModifiable) != 0};
    for (const KeySegment& s : segments) {
      if (spec->segment_count == kMaxSegments) return kRmInvalidKeyCount;
      SegmentDef def;
      const int16_t status = CheckSegment(s, decoded.record_length, key.length, &def);
      if (status != kRmOk) return status;
      if (static_cast<std::size_t>(key.length) + s.length > kMaxKeyLength) return kRmInvalidKeyLength;
      key.length = static_cast<uint16_t>(key.length + s.length);
      any_collated_flag = any_collated_flag || (s.flags & kSegCollated);
      key.image_is_value = key.image_is_value && def.order.kind == SegmentKind::kString && !def.order.descending;
      key.segments.push_back(def);
      ++spec->segment_count;
    }
    spec->keys.push_back(std::move(key));
  }
  // The buffer ended inside a key's segments.
  if (decoded.keys.size() < decoded.key_count) return kRmCreateError;

  for (int c = 0; c < 256; ++c) spec->collation[c] = static_cast<uint8_t>(c);
  std::size_t layout_size = kSpecHeaderSize + spec->segment_count * kSegmentSpecSize;
  if (any_collated_flag) {
    const uint8_t* table = decoded.CollationTable();
    if (table == nullptr || static_cast<uint8_t>(decoded.collating_sequence[0]) != kCollationMarker) {
      return kRmInvalidCollation;
    }
    std::memcpy(spec->collation.data(), table, 256);
    layout_size += kCollationSize;
  }
  spec->layout.assign(reinterpret_cast<const char*>(data), layout_size);
  EncodeFixed32(spec->layout.data() + kSpecRecordCountOffset, 0);
  for (std::size_t s = 0; s < spec->segment_count; ++s) {
    EncodeFixed32(spec->layout.data() + kSpecHeaderSize + s * kSegmentSpecSize + kSegUniqueCountOffset, 0);
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
  image->assign(reinterpret_cast<const char*>(value), key.length);
  auto* out = reinterpret_cast<uint8_t*>(image->data());
  for (const SegmentDef& seg : key.segments) {
    ImageSegment(seg.order, spec.collation.data(), out + seg.value_offset, seg.length);
  }
}

std::string StatLayout(const RecordFileSpec& spec, uint64_t records, const std::vector<int64_t>& unique_counts) {
  std::string out = spec.layout;
  EncodeFixed32(out.data() + kSpecRecordCountOffset, Saturated32(records));
  for (std::size_t s = 0; s < spec.segment_count && s < unique_counts.size(); ++s) {
    const int64_t n = std::max<int64_t>(unique_counts[s], 0);
    EncodeFixed32(out.data() + kSpecHeaderSize + s * kSegmentSpecSize + kSegUniqueCountOffset,
                  Saturated32(static_cast<uint64_t>(n)));
  }
  return out;
}

}  // namespace zov::platform
