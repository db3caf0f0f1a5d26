#include "datafiles/file_spec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zov::datafiles {
namespace {

std::span<const uint8_t> Bytes(const std::string& s) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

FileSpec TwoKeys() {
  FileSpec spec;
  spec.record_length = 68;
  spec.page_size = 4096;
  spec.key_count = 2;
  spec.keys = {{{1, 6, kSegDuplicates, 0}, {29, 4, kSegDuplicates, 0}}, {{9, 4, kSegBinary, 0}}};
  return spec;
}

TEST(FileSpec, EncodesTheLayoutByteForByte) {
  const std::string bytes = EncodeFileSpec(TwoKeys());
  const std::string expected = std::string(
      "\x44\x00" "\x00\x10" "\x02\x00" "\x00\x00\x00\x00" "\x00\x00" "\x00\x00\x00\x00"  // header
      "\x01\x00" "\x06\x00" "\x11\x00" "\x00\x00\x00\x00" "\x00" "\x00\x00\x00\x00\x00"  // 1-6, continues
      "\x1D\x00" "\x04\x00" "\x01\x00" "\x00\x00\x00\x00" "\x00" "\x00\x00\x00\x00\x00"  // 29-32
      "\x09\x00" "\x04\x00" "\x04\x00" "\x00\x00\x00\x00" "\x00" "\x00\x00\x00\x00\x00",  // 9-12 binary
      64);
  EXPECT_EQ(bytes, expected);
  FileSpec back = DecodeFileSpec(Bytes(bytes));
  EXPECT_EQ(back.record_length, 68);
  EXPECT_EQ(back.KeyLength(0), 10);
  EXPECT_EQ(back.KeyLength(1), 4);
  EXPECT_EQ(back.KeyLength(2), 0);
  EXPECT_EQ(back.keys[1][0].flags, kSegBinary);
}

// Statistics from a damaged or hostile record manager: nothing is read past
// the buffer, and a key cut off by its end is not offered.
TEST(FileSpec, DecodingStaysInsideTheBuffer) {
  const std::string whole = EncodeFileSpec(TwoKeys());
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t keys;
    int32_t key0_length;
  };
  std::string many_keys = whole;
  many_keys[4] = '\xFF';
  many_keys[5] = '\xFF';
  std::string endless = std::string(16, '\0');
  endless[4] = 1;
  for (int i = 0; i < 5; ++i) {
    std::string seg(16, '\0');
    seg[2] = 1;
    seg[4] = 0x10;  // every segment says another follows
    endless += seg;
  }
  const Case cases[] = {
      {"empty", "", 0, 0},
      {"header only", whole.substr(0, 16), 0, 0},
      {"second segment of key 0 cut", whole.substr(0, 40), 0, 0},
      {"second key cut", whole.substr(0, 48), 1, 10},
      {"key count larger than the segments", many_keys, 2, 10},
      {"segments that never end", endless, 0, 0},
  };
  for (const Case& c : cases) {
    FileSpec spec = DecodeFileSpec(Bytes(c.bytes));
    EXPECT_EQ(spec.keys.size(), c.keys) << c.what;
    EXPECT_EQ(spec.KeyLength(0), c.key0_length) << c.what;
    EXPECT_TRUE(spec.collating_sequence.empty()) << c.what;
  }
}

TEST(FileSpec, CollatingSequenceOnlyWhenUsedAndWhole) {
  FileSpec spec = TwoKeys();
  spec.keys[1][0].flags = kSegAltCollating;
  std::string acs = "\xAC" "UPPER   ";
  for (int c = 0; c < 256; ++c) acs += static_cast<char>(255 - c);
  spec.collating_sequence = acs;
  const std::string bytes = EncodeFileSpec(spec);
  FileSpec back = DecodeFileSpec(Bytes(bytes));
  EXPECT_EQ(back.Collate(0), 255);
  EXPECT_EQ(back.Collate('A'), 255 - 'A');

  FileSpec cut = DecodeFileSpec(Bytes(bytes.substr(0, bytes.size() - 1)));
  EXPECT_EQ(cut.Collate('A'), 'A') << "a sequence cut short is not used";

  FileSpec unused = TwoKeys();
  unused.collating_sequence = acs;
  EXPECT_EQ(DecodeFileSpec(Bytes(EncodeFileSpec(unused))).Collate('A'), 'A');
}

TEST(FileSpec, DescriptionCountMustBeBackedByBytes) {
  const std::string spec = EncodeFileSpec(TwoKeys());
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
