#include "datafiles/file_spec.h"

namespace zov::datafiles {

int32_t FileSpec::KeyLength(int key_number) const {
  if (key_number < 0 || key_number >= key_count) return 0;
  if (static_cast<std::size_t>(key_number) >= keys.size()) return 0;
  int32_t length = 0;
  for (const KeySegment& s : keys[static_cast<std::size_t>(key_number)]) length += s.length;
  return length;
}

uint8_t FileSpec::Collate(uint8_t c) const {
  if (collating_sequence.size() < kCollatingHeaderSize + kCollatingTableSize) return c;
  return static_cast<uint8_t>(collating_sequence[kCollatingHeaderSize + c]);
}

FileSpec DecodeFileSpec(std::span<const uint8_t> bytes) {
  FileSpec spec;
  if (bytes.size() < kSpecSegmentsOffset) return spec;
  const uint8_t* b = bytes.data();
  spec.record_length = LoadU16(b + kSpecRecordLengthOffset);
  spec.page_size = LoadU16(b + kSpecPageSizeOffset);
  spec.key_count = LoadU16(b + kSpecKeyCountOffset);
  spec.record_count = LoadU32(b + kSpecRecordCountOffset);
  spec.file_flags = LoadU16(b + kSpecFileFlagsOffset);

  std::size_t pos = kSpecSegmentsOffset;
  bool collated = false;
  for (int k = 0; k < spec.key_count; ++k) {
    std::vector<KeySegment> key;
    bool complete = false;
    while (pos + kSegmentSpecSize <= bytes.size()) {
      KeySegment s;
      s.position = LoadU16(b + pos + kSegPositionOffset);
      s.length = LoadU16(b + pos + kSegLengthOffset);
      s.flags = LoadU16(b + pos + kSegFlagsOffset);
      s.extended_type = b[pos + kSegExtendedTypeOffset];
      pos += kSegmentSpecSize;
      if (s.flags & kSegAltCollating) collated = true;
      key.push_back(s);
      if (!(s.flags & kSegContinues)) {
        complete = true;
        break;
      }
    }
    if (!complete) break;
    spec.keys.push_back(std::move(key));
  }
  const std::size_t acs = kCollatingHeaderSize + kCollatingTableSize;
  if (collated && spec.keys.size() == spec.key_count && pos + acs <= bytes.size()) {
    spec.collating_sequence.assign(reinterpret_cast<const char*>(b + pos), acs);
  }
  return spec;
}

std::string EncodeFileSpec(const FileSpec& spec) {
  std::size_t segments = 0;
  for (const auto& key : spec.keys) segments += key.size();
  std::string out(kSpecSegmentsOffset + segments * kSegmentSpecSize, '\0');
  auto* b = reinterpret_cast<uint8_t*>(out.data());
  StoreU16(b + kSpecRecordLengthOffset, spec.record_length);
  StoreU16(b + kSpecPageSizeOffset, spec.page_size);
  StoreU16(b + kSpecKeyCountOffset, static_cast<uint16_t>(spec.keys.size()));
  StoreU32(b + kSpecRecordCountOffset, spec.record_count);
  StoreU16(b + kSpecFileFlagsOffset, spec.file_flags);
  std::size_t pos = kSpecSegmentsOffset;
  for (const auto& key : spec.keys) {
    for (std::size_t i = 0; i < key.size(); ++i) {
      uint16_t flags = static_cast<uint16_t>(key[i].flags & ~kSegContinues);
      if (i + 1 < key.size()) flags = static_cast<uint16_t>(flags | kSegContinues);
      StoreU16(b + pos + kSegPositionOffset, key[i].position);
      StoreU16(b + pos + kSegLengthOffset, key[i].length);
      StoreU16(b + pos + kSegFlagsOffset, flags);
      b[pos + kSegExtendedTypeOffset] = key[i].extended_type;
      pos += kSegmentSpecSize;
    }
  }
  out += spec.collating_sequence;
  return out;
}

std::string EncodeDescription(const FileSpec& spec) {
  std::string body = EncodeFileSpec(spec);
  std::string out(2, '\0');
  StoreU16(reinterpret_cast<uint8_t*>(out.data()), static_cast<uint16_t>(body.size()));
  return out + body;
}

std::optional<std::string> SpecificationOfDescription(std::string_view description) {
  if (description.size() < 2) return std::nullopt;
  const uint16_t count = LoadU16(reinterpret_cast<const uint8_t*>(description.data()));
  if (count == 0 || description.size() - 2 < count) return std::nullopt;
  return std::string(description.substr(2, count));
}

}  // namespace zov::datafiles
