// The record manager's statuses, as every backend answers them, and a short
// English meaning of each for tools that print one.
//
//   if (st == kRmFileLocked) ...;
//   std::printf("%d %s\n", st, std::string(RecordStatusMeaning(st)).c_str());
#ifndef ZOV_PLATFORM_RECMAN_STATUS_H_
#define ZOV_PLATFORM_RECMAN_STATUS_H_

#include <cstdint>
#include <string_view>

namespace zov::platform {

inline constexpr int16_t kRmOk = 0;
inline constexpr int16_t kRmInvalidOperation = 1;     // unknown operation code
inline constexpr int16_t kRmIoError = 2;              // unexpected storage error, or a damaged file
inline constexpr int16_t kRmFileNotOpen = 3;          // position block holds no open file
inline constexpr int16_t kRmKeyNotFound = 4;
inline constexpr int16_t kRmDuplicateKey = 5;         // a unique key's value is taken
inline constexpr int16_t kRmInvalidKeyNumber = 6;     // no such key, or bad open mode
inline constexpr int16_t kRmDifferentKeyNumber = 7;   // next/previous on another key
inline constexpr int16_t kRmInvalidPositioning = 8;   // no current record
inline constexpr int16_t kRmEndOfFile = 9;
inline constexpr int16_t kRmKeyNotModifiable = 10;    // update changes a fixed key
inline constexpr int16_t kRmInvalidFileName = 11;
inline constexpr int16_t kRmFileNotFound = 12;
inline constexpr int16_t kRmDiskFull = 18;
inline constexpr int16_t kRmKeyBufferTooShort = 21;   // key length below the key's
inline constexpr int16_t kRmDataBufferTooShort = 22;  // record cut, or wrong length to write
inline constexpr int16_t kRmInvalidPositionBlock = 23;
inline constexpr int16_t kRmPageSizeError = 24;
inline constexpr int16_t kRmCreateError = 25;         // short specification, or cannot write
inline constexpr int16_t kRmInvalidKeyCount = 26;     // no keys, too many keys or segments
inline constexpr int16_t kRmInvalidKeyPosition = 27;
inline constexpr int16_t kRmInvalidRecordLength = 28;
inline constexpr int16_t kRmInvalidKeyLength = 29;
inline constexpr int16_t kRmNotADataFile = 30;
inline constexpr int16_t kRmTransactionActive = 37;   // begin inside a transaction
inline constexpr int16_t kRmNoTransaction = 39;       // end/abort without one
inline constexpr int16_t kRmAccessDenied = 46;        // write on a read-only open
inline constexpr int16_t kRmInvalidCollation = 48;    // missing or malformed sequence
inline constexpr int16_t kRmInvalidKeyType = 49;      // unknown extended type
inline constexpr int16_t kRmFileExists = 59;
inline constexpr int16_t kRmConflict = 80;            // record changed or deleted since read
inline constexpr int16_t kRmRecordLocked = 84;
inline constexpr int16_t kRmFileLocked = 85;

// A short English meaning, "unknown status" for a number not listed here.
std::string_view RecordStatusMeaning(int16_t status);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_STATUS_H_
