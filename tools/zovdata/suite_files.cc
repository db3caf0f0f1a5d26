#include "tools/zovdata/suite_files.h"

#include "platform/ascii.h"
#include "register/descriptions.h"
#include "register/records.h"

namespace zov::tools {
namespace {

// The descriptions come from the record layouts the register reads, so the
// files we create always have the keys the register walks.
std::vector<SuiteFile> Build() {
  std::vector<SuiteFile> files;
  for (const reg::DataFileSpec& f : reg::kDataFiles) files.push_back(SuiteFile{f.name, reg::DescribeDataFile(f)});
  return files;
}

}  // namespace

const std::vector<SuiteFile>& SuiteDataFiles() {
  static const std::vector<SuiteFile> files = Build();
  return files;
}

const SuiteFile* FindSuiteFile(std::string_view name) {
  for (const SuiteFile& f : SuiteDataFiles()) {
    if (platform::EqualsIgnoringAsciiCase(f.name, name)) return &f;
  }
  return nullptr;
}

}  // namespace zov::tools
