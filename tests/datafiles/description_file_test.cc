#include "datafiles/description_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zov::datafiles {
namespace {

platform::FileSpec TwoKeys() {
  platform::FileSpec spec;
  spec.record_length = 68;
  spec.page_size = 4096;
  spec.keys = {{{1, 6, platform::kSegDuplicates}, {29, 4, platform::kSegDuplicates}}, {{9, 4, platform::kSegBinary}}};
  return spec;
}

TEST(DescriptionFileTest, DescriptionCountMustBeBackedByBytes) {
  const std::string spec = platform::EncodeFileSpec(TwoKeys());
  const std::string description = EncodeDescription(TwoKeys());
  EXPECT_EQ(description.substr(0, 2), std::string("\x40\x00", 2));
  struct Case {
    const char* what;
    std::string bytes;
    bool ok;
  };
  const Case cases[] = {
      {"whole", description, true},
      {"with trailing bytes", description + "junk", true},
      {"one byte short", description.substr(0, description.size() - 1), false},
      {"count only", description.substr(0, 2), false},
      {"half a count", description.substr(0, 1), false},
      {"empty", "", false},
      {"zero count", std::string(2, '\0') + spec, false},
  };
  for (const Case& c : cases) {
    std::optional<std::string> got = SpecificationOfDescription(c.bytes);
    EXPECT_EQ(got.has_value(), c.ok) << c.what;
    if (got) {
      EXPECT_EQ(*got, spec) << c.what;
    }
  }
}


}  // namespace
}  // namespace zov::datafiles
