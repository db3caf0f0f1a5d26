// The descriptions of the suite's twelve data files that the register run
// opens: each file's name under DADES\, its record length and its keys, as
// `zovdata describe` writes them to ddf\<name>.xdf.
//
//   for (const SuiteFile& f : SuiteDataFiles())
//     fs.WriteFile(dir + std::string(f.name) + ".xdf", datafiles::EncodeDescription(f.spec));
#ifndef ZOV_TOOLS_ZOVDATA_SUITE_FILES_H_
#define ZOV_TOOLS_ZOVDATA_SUITE_FILES_H_

#include <string_view>
#include <vector>

#include "platform/recman/file_spec.h"

namespace zov::tools {

struct SuiteFile {
  std::string_view name;  // e.g. "VCobros"; the data file is <name>.dat
  platform::FileSpec spec;
};

// The twelve files in the order the register run opens them. Every key is
// made of plain string segments (packed codes and dates sort bytewise).
const std::vector<SuiteFile>& SuiteDataFiles();

// The file of that name (compared without regard to ASCII case), or null.
const SuiteFile* FindSuiteFile(std::string_view name);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_ZOVDATA_SUITE_FILES_H_
