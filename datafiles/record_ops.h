// Reading records of an open data file: position by key value, step along
// the current key, and the current key value in byte-comparable form. Every
// read copies the record into the file's record variable (given at open);
// a read that finds nothing leaves the record variable as it was.
//
//   int16_t st = ReadByKey(env, files, 17, 1, from_key, +1);   // first >= from_key
//   while (st == 0 && KeyImage(env, files, 17) <= to_image) {
//     ...
//     st = ReadStep(env, files, 17, 1);
//   }
//
// Statuses: 0, kStatusNotOpen for a file number that is not open,
// kStatusNoSuchKey from ReadByKey, kStatusKeyMismatch for a record whose key
// fields disagree with the key value it was found under, else the record
// manager's own (4 key not found, 9 end of file, ...). The record manager's
// "data buffer too short" (22) counts as success: the record is delivered
// cut to the record length.
#ifndef ZOV_DATAFILES_RECORD_OPS_H_
#define ZOV_DATAFILES_RECORD_OPS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/data_file_table.h"
#include "platform/env.h"

namespace zov::datafiles {

// Makes key_number the file's current key and reads the record whose key
// equals key_value (mode 0), the first greater than or equal (mode > 0) or
// the last less than or equal (mode < 0). key_value is cut or padded with
// zero bytes to the key's length. kStatusNoSuchKey when the file has no such
// key; the entry is then unchanged.
int16_t ReadByKey(platform::Env& env, DataFileTable& table, int16_t file_number,
                  int16_t key_number, std::string_view key_value, int mode);

// Moves `count` records along the current key (backwards when negative) and
// delivers the record reached; the records passed over are not delivered. A
// failing intermediate move ends the walk with its status and leaves the
// record variable untouched. A count of 0 does nothing and answers 0.
int16_t ReadStep(platform::Env& env, DataFileTable& table, int16_t file_number, int count);

// The one read shared by ReadByKey and ReadStep: calls `operation` with the
// entry's current key and copies the record and the returned key back.
// Returns the record manager's status unchanged (22 included), or
// kStatusKeyMismatch when the record delivered does not carry the key value
// returned with it (the record manager's index entry): each segment of the
// current key, as far as the record came, must hold the key value's bytes
// (any record manager returns the key it found the record under; ours also
// checks the record against its index itself). The record variable is then
// left as it was. Without the file's statistics nothing is compared.
int16_t ReadRecord(platform::RecordManager& record_manager, DataFileEntry& entry,
                   uint16_t operation);

// The file's current key value converted segment by segment so that it
// compares bytewise in the file's own order, by the flags alone
// (platform::FlagOrder): binary segments reversed (low byte first becomes
// high byte first), segments with the alternate collating sequence
// translated through it. Extended types and descending segments stay as
// stored, unlike in the engine's own images. Empty when the file number is
// not open.
std::string KeyImage(platform::Env& env, DataFileTable& table, int16_t file_number);

}  // namespace zov::datafiles

#endif  // ZOV_DATAFILES_RECORD_OPS_H_
