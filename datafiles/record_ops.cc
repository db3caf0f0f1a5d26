#include "datafiles/record_ops.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "datafiles/data_files.h"
#include "platform/recman/status.h"

namespace zov::datafiles {
namespace {

// "Data buffer too short": the record has been delivered cut.
int16_t ShortBufferIsSuccess(int16_t status) {
  return status == platform::kRmDataBufferTooShort ? kStatusOk : status;
}

// How many bytes of a record can move between the record variable and the
// data buffer: never more than the record length, the record variable or
// the buffer holds.
std::size_t RecordBytes(const DataFileEntry& entry) {
  const std::size_t length = entry.record_length > 0 ? static_cast<std::size_t>(entry.record_length) : 0;
  return std::min({length, entry.record.size(), kDataBufferSize});
}

// Whether the record (its first `length` bytes) holds, in each segment of
// the entry's current key that it reaches, the bytes of the key value.
bool CarriesItsKey(const DataFileEntry& entry, const char* record, std::size_t length, const char* key,
                   std::size_t key_size) {
  if (!entry.statistics || entry.key_number < 0 ||
      static_cast<std::size_t>(entry.key_number) >= entry.statistics->keys.size()) {
    return true;
  }
  std::size_t at = 0;  // the segment's offset in the key value
  for (const platform::KeySegment& segment : entry.statistics->keys[static_cast<std::size_t>(entry.key_number)]) {
    const std::size_t start = segment.position - 1u;
    const std::size_t n = std::min<std::size_t>({segment.length, length > start ? length - start : 0,
                                                 key_size > at ? key_size - at : 0});
    if (segment.position > 0 && n > 0 && std::memcmp(record + start, key + at, n) != 0) return false;
    at += segment.length;
  }
  return true;
}

}  // namespace

int16_t ReadRecord(platform::RecordManager& record_manager, DataFileEntry& entry,
                   uint16_t operation) {
  std::array<char, kDataBufferSize> data;
  data.fill(' ');
  const std::size_t bytes = RecordBytes(entry);
  if (bytes > 0) std::memcpy(data.data(), entry.record.data(), bytes);

  std::array<char, kKeyBufferSize> key;
  const char fill = operation == platform::kOpGetGreaterOrEqual ? '\0'
                    : operation == platform::kOpGetLessOrEqual  ? '\xFF'
                                                                : ' ';
  key.fill(fill);
  const std::size_t key_size = std::min(entry.key_value.size(), kMaxKeyLength);
  std::memcpy(key.data(), entry.key_value.data(), key_size);

  uint32_t length = static_cast<uint32_t>(
      std::clamp<int32_t>(entry.record_length, 0, static_cast<int32_t>(kDataBufferSize)));
  const int16_t status =
      record_manager.Call(operation, entry.position_block.data(), data.data(), &length, key.data(),
                          static_cast<uint8_t>(key_size), static_cast<int8_t>(entry.key_number));

  const std::size_t returned = std::min<std::size_t>(length, bytes);
  if ((status == kStatusOk || status == platform::kRmDataBufferTooShort) &&
      !CarriesItsKey(entry, data.data(), std::min<std::size_t>(length, kDataBufferSize), key.data(), key_size)) {
    return kStatusKeyMismatch;
  }
  if (returned > 0) std::memcpy(entry.record.data(), data.data(), returned);
  entry.key_value.assign(key.data(), key_size);
  return status;
}

int16_t ReadByKey(platform::Env& env, DataFileTable& table, int16_t file_number,
                  int16_t key_number, std::string_view key_value, int mode) {
  DataFileEntry* entry = OpenEntry(table, file_number);
  if (entry == nullptr) return kStatusNotOpen;
  const KeyLength shape = GetKeyLength(env, table, file_number, key_number);
  if (shape.key_length <= 0) return kStatusNoSuchKey;
  const std::size_t length = std::min(static_cast<std::size_t>(shape.key_length), kMaxKeyLength);
  entry->key_number = key_number;
  entry->key_value.assign(key_value.substr(0, length));
  entry->key_value.resize(length, '\0');
  const uint16_t operation = mode == 0  ? platform::kOpGetEqual
                             : mode > 0 ? platform::kOpGetGreaterOrEqual
                                        : platform::kOpGetLessOrEqual;
  return ShortBufferIsSuccess(ReadRecord(*env.record_manager, *entry, operation));
}

int16_t ReadStep(platform::Env& env, DataFileTable& table, int16_t file_number, int count) {
  DataFileEntry* entry = OpenEntry(table, file_number);
  if (entry == nullptr) return kStatusNotOpen;
  const uint16_t operation = count >= 0 ? platform::kOpGetNext : platform::kOpGetPrevious;
  int64_t n = count >= 0 ? static_cast<int64_t>(count) : -static_cast<int64_t>(count);
  int16_t status = kStatusOk;
  while (n > 1 && status == kStatusOk) {
    // The record passed over is read into scratch buffers and dropped; only
    // its key moves the current key value on. The key buffer starts as the
    // current value, so a move that returns no key leaves it as it was.
    std::array<char, kDataBufferSize> data;
    data.fill(' ');
    std::array<char, kPathBufferSize> key;
    key.fill(' ');
    const std::size_t key_size = std::min(entry->key_value.size(), kPathBufferSize);
    std::memcpy(key.data(), entry->key_value.data(), key_size);
    uint32_t length = kDataBufferSize;
    status = env.record_manager->Call(operation, entry->position_block.data(), data.data(), &length,
                                      key.data(), static_cast<uint8_t>(kPathBufferSize),
                                      static_cast<int8_t>(entry->key_number));
    entry->key_value.assign(key.data(), key_size);
    status = ShortBufferIsSuccess(status);
    --n;
  }
  if (n == 1 && status == kStatusOk) {
    status = ShortBufferIsSuccess(ReadRecord(*env.record_manager, *entry, operation));
  }
  return status;
}

std::string KeyImage(platform::Env& env, DataFileTable& table, int16_t file_number) {
  DataFileEntry* entry = OpenEntry(table, file_number);
  if (entry == nullptr) return std::string();
  std::string value = entry->key_value;

  const platform::FileSpec* spec = FileStatistics(env, *entry);
  if (spec == nullptr) return value;
  if (entry->key_number < 0 || static_cast<std::size_t>(entry->key_number) >= spec->keys.size()) {
    return value;
  }

  std::size_t start = 0;  // the segment's offset within the key value
  for (const platform::KeySegment& segment : spec->keys[static_cast<std::size_t>(entry->key_number)]) {
    const std::size_t end = start + segment.length;
    const platform::SegmentOrder order = platform::FlagOrder(segment);
    // A binary segment is always whole: a short value is padded with zero
    // bytes first. Any other is converted only as far as the value goes.
    if (order.kind == platform::SegmentKind::kUnsigned && value.size() < end) value.resize(end, '\0');
    if (start < value.size()) {
      platform::ImageSegment(order, spec->CollationTable(), reinterpret_cast<uint8_t*>(value.data()) + start,
                             std::min(end, value.size()) - start);
    }
    start = end;
  }
  return value;
}

}  // namespace zov::datafiles
