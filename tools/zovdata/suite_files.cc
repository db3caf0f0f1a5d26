#include "tools/zovdata/suite_files.h"

#include <initializer_list>
#include <utility>

namespace zov::tools {
namespace {

using datafiles::FileSpec;
using datafiles::KeySegment;

struct Segment {
  uint16_t position;  // 1-based
  uint16_t length;
};

// One key from its segments; `duplicates` marks every segment, as the
// record manager expects the flag to agree across a key.
std::vector<KeySegment> Key(std::initializer_list<Segment> segments, bool duplicates) {
  std::vector<KeySegment> key;
  for (const Segment& s : segments) {
    KeySegment k;
    k.position = s.position;
    k.length = s.length;
    k.flags = duplicates ? datafiles::kSegDuplicates : 0;
    key.push_back(k);
  }
  return key;
}

SuiteFile File(std::string_view name, uint16_t record_length, std::vector<std::vector<KeySegment>> keys) {
  FileSpec spec;
  spec.record_length = record_length;
  spec.page_size = 4096;
  spec.key_count = static_cast<uint16_t>(keys.size());
  spec.keys = std::move(keys);
  return SuiteFile{name, std::move(spec)};
}

std::vector<SuiteFile> Build() {
  const auto property_code = [] { return Key({{1, 6}}, false); };
  return {
      File("VPropiet", 828, {Key({{1, 2}}, false)}),  // owner code
      File("VGrups", 192, {Key({{1, 4}}, false)}),    // group code
      File("VDepBase", 396, {property_code()}),
      File("VDepPart", 168, {property_code()}),
      File("VDepCont", 44, {property_code()}),
      File("VDepBanc", 180, {property_code()}),
      File("VDepCada", 44, {property_code()}),
      // Receipts: key 0 property code, issue date and invoice number; key 1
      // property code and issue date; key 2 property code and collection
      // date (the zero date while unpaid). A property has many receipts.
      File("VCobros", 68,
           {Key({{1, 6}, {9, 4}, {29, 4}}, true), Key({{1, 6}, {9, 4}}, true),
            Key({{1, 6}, {25, 4}}, true)}),
      File("VDesCob", 116, {Key({{1, 12}}, true)}),   // receipt lines: property code, date, line
      File("VConcept", 112, {Key({{1, 3}}, false)}),  // concept code ("VAR", "COB", ...)
      File("Remeses", 224, {Key({{1, 4}}, true)}),    // remittance number
      File("USeccio", 56, {Key({{1, 1}}, false)}),    // section code
  };
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
