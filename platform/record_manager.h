// The record manager's single call: every keyed data file of the suite is
// reached through it. The data-file layer (datafiles/) makes the call itself,
// with the buffers the register program has always handed over; zovdata, the
// benchmark and the tests make it through the typed handle
// recman/record_file.h. The backends are in recman/record_managers.h.
//
//   uint8_t pos[kPositionBlockSize] = {};
//   uint32_t len = sizeof(rec);
//   int16_t st = rm.Call(kOpGetEqual, pos, rec, &len, key, key_len, 0);
//
// The position block is owned by the caller and passed unchanged between
// calls on the same open file; the engine keeps its cursor state in it.
// The data length is in/out: room in the data buffer on the way in, bytes
// written on the way out. Statuses are the record manager's usual numbers
// (recman/status.h).
#ifndef ZOV_PLATFORM_RECORD_MANAGER_H_
#define ZOV_PLATFORM_RECORD_MANAGER_H_

#include <cstddef>
#include <cstdint>

namespace zov::platform {

inline constexpr std::size_t kPositionBlockSize = 128;

// Operation codes.
enum : uint16_t {
  kOpOpen = 0,
  kOpClose = 1,
  kOpInsert = 2,
  kOpUpdate = 3,
  kOpDelete = 4,
  kOpGetEqual = 5,
  kOpGetNext = 6,
  kOpGetPrevious = 7,
  kOpGetGreater = 8,
  kOpGetGreaterOrEqual = 9,
  kOpGetLess = 10,
  kOpGetLessOrEqual = 11,
  kOpGetFirst = 12,
  kOpGetLast = 13,
  kOpCreate = 14,
  kOpStat = 15,
  kOpBeginTransaction = 19,
  kOpEndTransaction = 20,
  kOpAbortTransaction = 21,
  kOpReset = 28,
};

class RecordManager {
 public:
  virtual ~RecordManager() = default;

  // One call of the record manager. `key_number` is signed: create takes -1.
  virtual int16_t Call(uint16_t operation, uint8_t* position_block,
                       void* data, uint32_t* data_length, void* key,
                       uint8_t key_length, int8_t key_number) = 0;
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECORD_MANAGER_H_
