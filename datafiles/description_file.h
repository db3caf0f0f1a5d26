// A description file (ddf\<name>.xdf): how a missing data file is created.
// It holds a 2-byte little-endian count N followed by N bytes that are passed
// unchanged to the record manager's create as the file specification
// (platform/recman/file_spec.h).
//
//   std::string xdf = EncodeDescription(spec);
//   std::optional<std::string> create_buffer = SpecificationOfDescription(xdf);
#ifndef ZOV_DATAFILES_DESCRIPTION_FILE_H_
#define ZOV_DATAFILES_DESCRIPTION_FILE_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/recman/file_spec.h"

namespace zov::datafiles {

// A description file's bytes: the count and EncodeFileSpec(spec).
std::string EncodeDescription(const platform::FileSpec& spec);

// The specification inside a description file's bytes, or nullopt when the
// file is shorter than its count says or has no specification at all.
std::optional<std::string> SpecificationOfDescription(std::string_view description);

}  // namespace zov::datafiles

#endif  // ZOV_DATAFILES_DESCRIPTION_FILE_H_
