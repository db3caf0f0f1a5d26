// One data file reached through a RecordManager: the position block and the
// buffers of the record manager's call behind typed methods, for the callers
// that are not the data-file layer (zovdata, the benchmark, the tests).
// Every method answers the record manager's status (status.h) unchanged.
//
//   RecordFile f(*env.record_manager);
//   if (f.Open(path, RecordFile::kReadOnly) != kRmOk) ...;
//   std::string key(f_key_length, '\0'), record;
//   for (int16_t st = f.Get(kOpGetFirst, 0, &key, &record); st == kRmOk;
//        st = f.Get(kOpGetNext, 0, &key, &record)) { ... }
//
// A file still open when its RecordFile goes is closed then. Transactions
// belong to the whole RecordManager, not to one file: see the functions at
// the end.
#ifndef ZOV_PLATFORM_RECMAN_RECORD_FILE_H_
#define ZOV_PLATFORM_RECMAN_RECORD_FILE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/record_manager.h"
#include "platform/recman/file_spec.h"

namespace zov::platform {

// The key buffer that carries a path (open, create): the path, a zero byte,
// blanks up to this length.
inline constexpr std::size_t kPathKeyLength = 255;
// The data buffer of a get or stat unless the caller gives another size.
inline constexpr uint32_t kDataBufferLength = 1536;

class RecordFile {
 public:
  // Open modes.
  static constexpr int8_t kNormal = 0;
  static constexpr int8_t kReadOnly = -2;
  static constexpr int8_t kExclusive = -4;

  explicit RecordFile(RecordManager& record_manager) : rm_(record_manager) {}
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Creates the data file `path` from specification bytes, passed as they
  // are. key_number -1 keeps an existing file (59); any other replaces it.
  // Does not open the file. A path that does not fit the key buffer or holds
  // a zero byte answers kRmInvalidFileName without a call.
  [[nodiscard]] int16_t Create(std::string_view path, std::string_view spec, int8_t key_number = -1);
  // Opens `path` in `mode`; paths as for Create. Passes no owner name.
  [[nodiscard]] int16_t Open(std::string_view path, int8_t mode = kNormal);
  [[nodiscard]] int16_t Close();

  // Inserts `record`; key_number 0..n-1 makes it the current record on that
  // key, a negative one leaves the position alone.
  [[nodiscard]] int16_t Insert(std::string_view record, int8_t key_number = 0);
  // Update and delete act on the current record.
  [[nodiscard]] int16_t Update(std::string_view record);
  [[nodiscard]] int16_t Delete();

  // A get (kOpGetEqual .. kOpGetLast) on key_number. *key, as long as the
  // key, is the value looked for on the way in (keyed gets) and the found
  // record's key value on the way out (when the status is 0 or 22).
  // *record receives what the record manager delivered, at most `room`
  // bytes (22 when the record was cut).
  [[nodiscard]] int16_t Get(uint16_t operation, int8_t key_number, std::string* key, std::string* record,
                            uint32_t room = kDataBufferLength);
  // The stat layout as delivered, at most `room` bytes.
  [[nodiscard]] int16_t Stat(std::string* layout, uint32_t room = kDataBufferLength);
  // The stat layout decoded.
  [[nodiscard]] int16_t Stat(FileSpec* spec);

  // The position block, for calls this class does not make.
  uint8_t* position_block() { return position_block_.data(); }

 private:
  // One call with this file's position block and key buffer.
  int16_t Call(uint16_t operation, void* data, uint32_t* length, int8_t key_number);
  bool SetPathKey(std::string_view path);

  RecordManager& rm_;
  std::array<uint8_t, kPositionBlockSize> position_block_{};
  std::array<char, kPathKeyLength> key_{};
  std::string data_;      // the data buffer, reused from call to call
  int8_t key_number_ = 0;  // the key of the last get, handed to update
  bool open_ = false;
};

// The transaction of every file open in the record manager: begin, end
// (commit), abort. And reset: every file closed, a transaction rolled back.
[[nodiscard]] int16_t BeginTransaction(RecordManager& record_manager);
[[nodiscard]] int16_t EndTransaction(RecordManager& record_manager);
[[nodiscard]] int16_t AbortTransaction(RecordManager& record_manager);
[[nodiscard]] int16_t ResetRecordManager(RecordManager& record_manager);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_RECORD_FILE_H_
