#include "platform/recman/key_defs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/recman/status.h"
#include "tests/platform/recman/recman_test_util.h"

namespace zov::platform {
namespace {

using test::Le;
using test::MakeSpec;

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 0xF];
    out += ' ';
  }
  return out;
}

RecordFileSpec Parse(const std::string& bytes) {
  RecordFileSpec spec;
  EXPECT_EQ(ParseFileSpec(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &spec), kRmOk);
  return spec;
}

std::string ImageOf(const RecordFileSpec& spec, const std::string& value) {
  std::string image;
  BuildKeyImage(spec, spec.keys[0], reinterpret_cast<const uint8_t*>(value.data()), &image);
  return image;
}

// Each case lists key values in groups, in the key's ascending order; values
// of one group are equal under the key. Images must compare (memcmp) the same
// way: equal inside a group, strictly increasing from group to group.
struct OrderCase {
  const char* name;
  std::vector<KeySegment> key;
  std::vector<std::vector<std::string>> groups;
};

TEST(RecmanKeyImageTest, ImagesCompareInKeyOrder) {
  const int16_t min16 = -32768;
  const std::vector<OrderCase> cases = {
      {"string, bytes above 127 after ASCII", {{1, 2}}, {{"AB"}, {"AC"}, {"B\x01"}, {"Ba"}, {"B\x80"}, {"\xC7" "A"}}},
      {"collated folds case", {{1, 3, kSegCollated}}, {{"ABC", "abc", "aBc"}, {"ABD", "abd"}, {"B  "}, {"[  "}}},
      {"binary flag: little-endian unsigned",
       {{1, 2, kSegBinary}},
       {{Le(0, 2)}, {Le(1, 2)}, {Le(255, 2)}, {Le(256, 2)}, {Le(0x8000, 2)}, {Le(65535, 2)}}},
      {"extended unsigned binary, 3 bytes",
       {{1, 3, kSegExtended, kTypeUnsignedBinary}},
       {{Le(0, 3)}, {Le(0xFF, 3)}, {Le(0x100, 3)}, {Le(0xFFFF, 3)}, {Le(0x10000, 3)}, {Le(0xFFFFFF, 3)}}},
      {"signed 2 bytes",
       {{1, 2, kSegExtended, kTypeSignedInteger}},
       {{Le(static_cast<uint16_t>(min16), 2)},
        {Le(static_cast<uint16_t>(-256), 2)},
        {Le(0xFFFF, 2)},
        {Le(0, 2)},
        {Le(1, 2)},
        {Le(256, 2)},
        {Le(32767, 2)}}},
      {"signed 1 byte", {{1, 1, kSegExtended, kTypeSignedInteger}}, {{"\x80"}, {"\xFF"}, {std::string(1, '\0')}, {"\x7F"}}},
      {"signed 4 bytes",
       {{1, 4, kSegExtended, kTypeSignedInteger}},
       {{Le(0x80000000u, 4)}, {Le(0xFFFFFF00u, 4)}, {Le(0xFFFFFFFFu, 4)}, {Le(0, 4)}, {Le(1, 4)}, {Le(0x7FFFFFFF, 4)}}},
      {"signed 8 bytes",
       {{1, 8, kSegExtended, kTypeSignedInteger}},
       {{Le(0x8000000000000000ull, 8)}, {Le(~0ull, 8)}, {Le(0, 8)}, {Le(0x100000000ull, 8)}}},
      {"descending string", {{1, 2, kSegDescending}}, {{"\xFF\xFF"}, {"B "}, {"AB"}, {"AA"}, {std::string(2, '\0')}}},
      {"descending signed",
       {{1, 2, kSegDescending | kSegExtended, kTypeSignedInteger}},
       {{Le(300, 2)}, {Le(1, 2)}, {Le(0, 2)}, {Le(0xFFFF, 2)}, {Le(0x8000, 2)}}},
      {"descending collated", {{1, 1, kSegDescending | kSegCollated}}, {{"z", "Z"}, {"b", "B"}, {"A", "a"}}},
      {"string then descending binary",
       {{1, 1}, {2, 2, kSegBinary | kSegDescending}},
       {{"A" + Le(300, 2)}, {"A" + Le(2, 2)}, {"A" + Le(0, 2)}, {"B" + Le(65535, 2)}, {"B" + Le(1, 2)}}},
      {"signed then collated then unsigned",
       {{1, 2, kSegExtended, kTypeSignedInteger}, {3, 1, kSegCollated}, {4, 1, kSegBinary}},
       {{Le(0xFFFF, 2) + "z" + "\x05"},
        {Le(0, 2) + "a" + "\x01", Le(0, 2) + "A" + "\x01"},
        {Le(0, 2) + "a" + "\x02"},
        {Le(0, 2) + "b" + std::string(1, '\0')},
        {Le(1, 2) + "A" + std::string(1, '\0')}}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<KeySegment> key = c.key;
    uint16_t length = 0;
    for (const KeySegment& s : key) length = static_cast<uint16_t>(std::max<int>(length, s.position + s.length - 1));
    const bool collated =
        std::any_of(key.begin(), key.end(), [](const KeySegment& s) { return s.flags & kSegCollated; });
    const RecordFileSpec spec = Parse(MakeSpec(length, {key}, collated ? test::UpperCaseCollation() : ""));
    std::string previous;
    for (std::size_t g = 0; g < c.groups.size(); ++g) {
      const std::string first = ImageOf(spec, c.groups[g][0]);
      EXPECT_EQ(first.size(), c.groups[g][0].size());
      for (const std::string& value : c.groups[g]) {
        EXPECT_EQ(ImageOf(spec, value), first) << "value " << Hex(value) << " in group " << g;
      }
      if (g > 0) {
        EXPECT_LT(previous, first) << "group " << g - 1 << " (" << Hex(c.groups[g - 1][0]) << ") should sort before "
                                   << Hex(c.groups[g][0]);
      }
      previous = first;
    }
  }
}

TEST(RecmanKeyImageTest, KeyValueIsTakenFromTheSegmentsInKeyOrder) {
  // Key 0 takes bytes 5-6 and then bytes 1-2 of the record.
  const RecordFileSpec spec = Parse(MakeSpec(8, {{{5, 2}, {1, 2}}}));
  std::string value;
  ExtractKeyValue(spec.keys[0], reinterpret_cast<const uint8_t*>("abcdefgh"), &value);
  EXPECT_EQ(value, "efab");
}

struct InvalidCase {
  const char* name;
  std::string spec;
  int16_t status;
};

TEST(RecmanFileSpecTest, InvalidSpecificationsAnswerTheirStatus) {
  const std::string valid = MakeSpec(100, {{{1, 4}}});
  auto with = [&](std::size_t at, uint16_t v) {
    std::string s = valid;
    EncodeFixed16(s.data() + at, v);
    return s;
  };
  const std::size_t seg0 = kSpecHeaderSize;
  std::vector<KeySegment> long_key;
  for (uint16_t i = 0; i < 79; ++i) long_key.push_back(KeySegment{static_cast<uint16_t>(i + 1), 1});
  std::vector<std::vector<KeySegment>> many_keys(79, std::vector<KeySegment>{{1, 1, kSegDuplicates}});
  std::string bad_marker = test::UpperCaseCollation();
  bad_marker[0] = 'X';
  std::string continues_into_blanks = valid;
  EncodeFixed16(continues_into_blanks.data() + seg0 + kSegFlagsOffset, kSegContinues);
  continues_into_blanks.resize(1536, ' ');

  const std::vector<InvalidCase> cases = {
      {"record length 0", with(kSpecRecordLengthOffset, 0), kRmInvalidRecordLength},
      {"record length 4097", with(kSpecRecordLengthOffset, 4097), kRmInvalidRecordLength},
      {"page size 0", with(kSpecPageSizeOffset, 0), kRmPageSizeError},
      {"page size not a multiple of 512", with(kSpecPageSizeOffset, 1000), kRmPageSizeError},
      {"page size above 16384", with(kSpecPageSizeOffset, 16896), kRmPageSizeError},
      {"no keys", with(kSpecKeyCountOffset, 0), kRmInvalidKeyCount},
      {"too many keys", MakeSpec(100, many_keys), kRmInvalidKeyCount},
      {"too many segments", MakeSpec(100, {long_key}), kRmInvalidKeyCount},
      {"segment of length 0", with(seg0 + kSegLengthOffset, 0), kRmInvalidKeyLength},
      {"segment position 0", with(seg0 + kSegPositionOffset, 0), kRmInvalidKeyPosition},
      {"segment past the record end", with(seg0 + kSegPositionOffset, 98), kRmInvalidKeyPosition},
      {"key longer than 255", MakeSpec(400, {{{1, 200}, {201, 100}}}), kRmInvalidKeyLength},
      {"unknown extended type", MakeSpec(100, {{{1, 4, kSegExtended, 7}}}), kRmInvalidKeyType},
      {"signed integer of 3 bytes", MakeSpec(100, {{{1, 3, kSegExtended, kTypeSignedInteger}}}), kRmInvalidKeyLength},
      {"shorter than the header", valid.substr(0, 10), kRmCreateError},
      {"key count beyond the data", with(kSpecKeyCountOffset, 2), kRmCreateError},
      {"cut inside a segment", valid.substr(0, valid.size() - 1), kRmCreateError},
      {"continuation into blank padding", continues_into_blanks, kRmInvalidKeyPosition},
      {"collated without a sequence", MakeSpec(100, {{{1, 4, kSegCollated}}}), kRmInvalidCollation},
      {"collating sequence cut", MakeSpec(100, {{{1, 4, kSegCollated}}}, test::UpperCaseCollation().substr(0, 200)),
       kRmInvalidCollation},
      {"collating sequence without its marker", MakeSpec(100, {{{1, 4, kSegCollated}}}, bad_marker),
       kRmInvalidCollation},
  };
  for (const InvalidCase& c : cases) {
    RecordFileSpec spec;
    EXPECT_EQ(ParseFileSpec(reinterpret_cast<const uint8_t*>(c.spec.data()), c.spec.size(), &spec), c.status)
        << c.name << ": " << Hex(c.spec.substr(0, 48));
  }
  RecordFileSpec spec;
  EXPECT_EQ(ParseFileSpec(nullptr, 0, &spec), kRmCreateError);
}

TEST(RecmanFileSpecTest, LayoutIsTheSpecificationWithoutPaddingAndCounts) {
  struct Case {
    const char* name;
    std::string spec;
    std::size_t layout_size;
  };
  const std::string acs = test::UpperCaseCollation();
  const std::vector<Case> cases = {
      {"one key", MakeSpec(20, {{{1, 4, kSegBinary}}}), 32},
      {"two keys, three segments", MakeSpec(20, {{{1, 4}}, {{5, 2, kSegDuplicates}, {9, 3}}}), 64},
      {"collated key keeps its sequence", MakeSpec(20, {{{1, 4}}, {{5, 2, kSegCollated}}}, acs), 48 + kCollationSize},
  };
  for (const Case& c : cases) {
    std::string padded = c.spec;
    // Counts left by an earlier stat, then the blank padding of the caller.
    padded[kSpecRecordCountOffset] = '\x07';
    padded[kSpecHeaderSize + kSegUniqueCountOffset] = '\x05';
    padded.resize(1536, ' ');
    const RecordFileSpec spec = Parse(padded);
    EXPECT_EQ(spec.layout.size(), c.layout_size) << c.name;
    EXPECT_EQ(Hex(spec.layout), Hex(c.spec.substr(0, c.layout_size))) << c.name;
  }
}

}  // namespace
}  // namespace zov::platform
