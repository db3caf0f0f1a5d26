#include "register/descriptions.h"

namespace zov::reg {

platform::FileSpec DescribeDataFile(const DataFileSpec& file) {
  platform::FileSpec spec;
  spec.record_length = file.record_size;
  spec.page_size = 4096;
  spec.key_count = static_cast<uint16_t>(file.keys.size());
  for (const KeySpec& key : file.keys) {
    std::vector<platform::KeySegment> segments;
    for (uint8_t i = 0; i < key.segment_count; ++i) {
      platform::KeySegment s;
      s.position = static_cast<uint16_t>(key.segments[i].offset + 1);
      s.length = key.segments[i].length;
      s.flags = key.duplicates ? platform::kSegDuplicates : 0;
      segments.push_back(s);
    }
    spec.keys.push_back(std::move(segments));
  }
  return spec;
}

}  // namespace zov::reg
