#include "platform/recman/status.h"

namespace zov::platform {

std::string_view RecordStatusMeaning(int16_t status) {
  switch (status) {
    case kRmOk: return "success";
    case kRmInvalidOperation: return "invalid operation";
    case kRmIoError: return "I/O error or damaged file";
    case kRmFileNotOpen: return "file not open";
    case kRmKeyNotFound: return "key not found";
    case kRmDuplicateKey: return "duplicate key";
    case kRmInvalidKeyNumber: return "invalid key number";
    case kRmDifferentKeyNumber: return "different key number";
    case kRmInvalidPositioning: return "invalid positioning";
    case kRmEndOfFile: return "end of file";
    case kRmKeyNotModifiable: return "key not modifiable";
    case kRmInvalidFileName: return "invalid file name";
    case kRmFileNotFound: return "file not found";
    case kRmDiskFull: return "disk full";
    case kRmKeyBufferTooShort: return "key buffer too short";
    case kRmDataBufferTooShort: return "data buffer too short";
    case kRmInvalidPositionBlock: return "invalid position block";
    case kRmPageSizeError: return "invalid page size";
    case kRmCreateError: return "create error";
    case kRmInvalidKeyCount: return "invalid number of keys or segments";
    case kRmInvalidKeyPosition: return "invalid key position";
    case kRmInvalidRecordLength: return "invalid record length";
    case kRmInvalidKeyLength: return "invalid key length";
    case kRmNotADataFile: return "not a data file";
    case kRmTransactionActive: return "transaction already active";
    case kRmNoTransaction: return "no transaction active";
    case kRmAccessDenied: return "access denied";
    case kRmInvalidCollation: return "invalid collating sequence";
    case kRmInvalidKeyType: return "invalid key type";
    case kRmFileExists: return "file already exists";
    case kRmConflict: return "record changed by another user";
    case kRmRecordLocked: return "record locked";
    case kRmFileLocked: return "file locked";
    default: return "unknown status";
  }
}

}  // namespace zov::platform
