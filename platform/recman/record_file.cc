#include "platform/recman/record_file.h"

#include <algorithm>
#include <cstring>

#include "platform/recman/status.h"

namespace zov::platform {
namespace {

// A call that takes no file and no buffers.
int16_t CallWithoutFile(RecordManager& rm, uint16_t operation) {
  std::array<uint8_t, kPositionBlockSize> position_block{};
  char data = 0, key = 0;
  uint32_t length = 0;
  return rm.Call(operation, position_block.data(), &data, &length, &key, 0, 0);
}

}  // namespace

RecordFile::~RecordFile() {
  if (open_) (void)Close();  // the status has nobody left to go to
}

bool RecordFile::SetPathKey(std::string_view path) {
  if (path.size() + 1 > kPathKeyLength || path.find('\0') != std::string_view::npos) return false;
  key_.fill(' ');
  std::memcpy(key_.data(), path.data(), path.size());
  key_[path.size()] = '\0';
  return true;
}

int16_t RecordFile::Call(uint16_t operation, void* data, uint32_t* length, int8_t key_number) {
  return rm_.Call(operation, position_block_.data(), data, length, key_.data(), static_cast<uint8_t>(key_.size()),
                  key_number);
}

int16_t RecordFile::Create(std::string_view path, std::string_view spec, int8_t key_number) {
  if (!SetPathKey(path)) return kRmInvalidFileName;
  data_.assign(spec);
  auto length = static_cast<uint32_t>(data_.size());
  return Call(kOpCreate, data_.data(), &length, key_number);
}

int16_t RecordFile::Open(std::string_view path, int8_t mode) {
  if (!SetPathKey(path)) return kRmInvalidFileName;
  data_.assign(1, '\0');
  uint32_t length = 0;
  const int16_t status = Call(kOpOpen, data_.data(), &length, mode);
  if (status == kRmOk) open_ = true;
  return status;
}

int16_t RecordFile::Close() {
  open_ = false;
  uint32_t length = 0;
  data_.assign(1, '\0');
  return Call(kOpClose, data_.data(), &length, 0);
}

int16_t RecordFile::Insert(std::string_view record, int8_t key_number) {
  data_.assign(record);
  auto length = static_cast<uint32_t>(data_.size());
  key_.fill('\0');
  return Call(kOpInsert, data_.data(), &length, key_number);
}

int16_t RecordFile::Update(std::string_view record) {
  data_.assign(record);
  auto length = static_cast<uint32_t>(data_.size());
  key_.fill('\0');
  return Call(kOpUpdate, data_.data(), &length, key_number_);
}

int16_t RecordFile::Delete() {
  uint32_t length = 0;
  data_.assign(1, '\0');
  return Call(kOpDelete, data_.data(), &length, key_number_);
}

int16_t RecordFile::Get(uint16_t operation, int8_t key_number, std::string* key, std::string* record, uint32_t room) {
  key_number_ = key_number;
  const std::size_t key_length = std::min(key->size(), key_.size());
  key_.fill('\0');
  std::memcpy(key_.data(), key->data(), key_length);
  data_.resize(std::max<std::size_t>(room, 1));
  uint32_t length = room;
  const int16_t status = Call(operation, data_.data(), &length, key_number);
  record->assign(data_, 0, std::min(length, room));
  if (status == kRmOk || status == kRmDataBufferTooShort) key->assign(key_.data(), key_length);
  return status;
}

int16_t RecordFile::Stat(std::string* layout, uint32_t room) {
  key_.fill(' ');
  data_.resize(std::max<std::size_t>(room, 1));
  uint32_t length = room;
  const int16_t status = Call(kOpStat, data_.data(), &length, 0);
  layout->assign(data_, 0, std::min(length, room));
  return status;
}

int16_t RecordFile::Stat(FileSpec* spec) {
  std::string layout;
  const int16_t status = Stat(&layout);
  if (status == kRmOk) {
    *spec = DecodeFileSpec(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(layout.data()), layout.size()));
  }
  return status;
}

int16_t BeginTransaction(RecordManager& record_manager) { return CallWithoutFile(record_manager, kOpBeginTransaction); }
int16_t EndTransaction(RecordManager& record_manager) { return CallWithoutFile(record_manager, kOpEndTransaction); }
int16_t AbortTransaction(RecordManager& record_manager) { return CallWithoutFile(record_manager, kOpAbortTransaction); }
int16_t ResetRecordManager(RecordManager& record_manager) { return CallWithoutFile(record_manager, kOpReset); }

}  // namespace zov::platform
