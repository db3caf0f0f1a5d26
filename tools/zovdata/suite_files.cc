#include "tools/zovdata/suite_files.h"

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

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

const std::vector<SuiteFile>& SuiteDataFiles() {
  static const std::vector<SuiteFile> files = Build();
  return files;
}

const SuiteFile* FindSuiteFile(std::string_view name) {
  for (const SuiteFile& f : SuiteDataFiles()) {
    if (f.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) same = Upper(f.name[i]) == Upper(name[i]);
    if (same) return &f;
  }
  return nullptr;
}

}  // namespace zov::tools
