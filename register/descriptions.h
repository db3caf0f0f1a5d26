// The record manager's description of each data file of the register run
// (record length and keys), as a missing file is created from it. Tools and
// tests that build installations write these as ddf\<name>.xdf.
//
//   std::string xdf = datafiles::EncodeDescription(reg::DescribeDataFile(reg::kDataFiles[0]));
#ifndef ZOV_REGISTER_DESCRIPTIONS_H_
#define ZOV_REGISTER_DESCRIPTIONS_H_

#include "datafiles/description_file.h"
#include "platform/recman/file_spec.h"
#include "register/records.h"

namespace zov::reg {

// Record length = the record variable's size; one key per KeySpec, string
// segments, duplicates where the key allows them.
platform::FileSpec DescribeDataFile(const DataFileSpec& file);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_DESCRIPTIONS_H_
