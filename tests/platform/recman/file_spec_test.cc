#include "platform/recman/file_spec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zov::platform {
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

TEST(FileSpecTest, EncodesTheLayoutByteForByte) {
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
TEST(FileSpecTest, DecodingStaysInsideTheBuffer) {
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

TEST(FileSpecTest, CollatingSequenceOnlyWhenUsedAndWhole) {
  FileSpec spec = TwoKeys();
  spec.keys[1][0].flags = kSegCollated;
  std::string acs = "\xAC" "UPPER   ";
  for (int c = 0; c < 256; ++c) acs += static_cast<char>(255 - c);
  spec.collating_sequence = acs;
  const std::string bytes = EncodeFileSpec(spec);
  FileSpec back = DecodeFileSpec(Bytes(bytes));
  ASSERT_NE(back.CollationTable(), nullptr);
  EXPECT_EQ(back.CollationTable()[0], 255);
  EXPECT_EQ(back.CollationTable()['A'], 255 - 'A');

  FileSpec cut = DecodeFileSpec(Bytes(bytes.substr(0, bytes.size() - 1)));
  EXPECT_EQ(cut.CollationTable(), nullptr) << "a sequence cut short is not used";

  FileSpec unused = TwoKeys();
  unused.collating_sequence = acs;
  EXPECT_EQ(DecodeFileSpec(Bytes(EncodeFileSpec(unused))).CollationTable(), nullptr);
}

// The engine keeps a segment in the order of its extended type and
// direction; the data-file layer's KeyImage goes by the binary and collating
// flags alone. They agree on plain, binary and collated segments (all the
// suite's files use) and differ on the others.
TEST(FileSpecTest, StoredAndFlagOrdersDifferOnlyOnExtendedAndDescendingSegments) {
  using K = SegmentKind;
  struct Case {
    const char* what;
    uint16_t flags;
    uint8_t type;
    K stored;
    bool stored_descending;
    K by_flags;
  };
  const Case cases[] = {
      {"string", 0, 0, K::kString, false, K::kString},
      {"binary", kSegBinary, 0, K::kUnsigned, false, K::kUnsigned},
      {"collated", kSegCollated, 0, K::kCollated, false, K::kCollated},
      {"binary and collated", kSegBinary | kSegCollated, 0, K::kUnsigned, false, K::kUnsigned},
      {"descending string", kSegDescending, 0, K::kString, true, K::kString},
      {"descending binary", kSegDescending | kSegBinary, 0, K::kUnsigned, true, K::kUnsigned},
      {"extended signed", kSegExtended, kTypeSignedInteger, K::kSigned, false, K::kString},
      {"extended unsigned", kSegExtended, kTypeUnsignedBinary, K::kUnsigned, false, K::kString},
      {"extended string with the binary flag", kSegExtended | kSegBinary, kTypeString, K::kString, false,
       K::kUnsigned},
  };
  for (const Case& c : cases) {
    const KeySegment segment{1, 2, c.flags, c.type};
    const std::optional<SegmentOrder> stored = StoredOrder(segment);
    ASSERT_TRUE(stored.has_value()) << c.what;
    EXPECT_EQ(stored->kind, c.stored) << c.what;
    EXPECT_EQ(stored->descending, c.stored_descending) << c.what;
    EXPECT_EQ(FlagOrder(segment).kind, c.by_flags) << c.what;
    EXPECT_FALSE(FlagOrder(segment).descending) << c.what;
  }
  EXPECT_FALSE(StoredOrder(KeySegment{1, 2, kSegExtended, 7}).has_value()) << "an unknown extended type";
}

}  // namespace
}  // namespace zov::platform
