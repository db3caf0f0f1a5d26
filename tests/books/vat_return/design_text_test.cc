#include "books/vat_return/design_text.h"

#include "gtest/gtest.h"

namespace zov::books::vat {
namespace {

// Code page 850 in, ISO-8859-1 out: capitals, plain vowels, N-tilde and
// C-cedilla as the file's bytes, the rest blanked and counted.
TEST(DesignTextTest, TextAsTheDesignAdmitsIt) {
  struct Case {
    std::string in, out;
    int blanked;
  } cases[] = {
      {"Puig i Ferrer 12", "PUIG I FERRER 12", 0},
      {"MU\xA5OZ IB\xB5\xA5" "EZ", "MU\xD1OZ IBA\xD1" "EZ", 0},  // MUÑOZ IBÁÑEZ
      {"mu\xA4oz", "MU\xD1OZ", 0},                              // muñoz
      {"GAR\x80\x87" "A", "GAR\xC7\xC7" "A", 0},                // Ç and ç
      {"\x90\x82\xB7\x85\xD6\xA1\xE0\xA2\xE9\xA3\x9A\x81", "EEAAIIOOUUUU", 0},
      {"S.L.", "S L ", 2},
      {"PUIG, JOAN*", "PUIG  JOAN ", 2},
      {"L'HOSPITALET", "L HOSPITALET", 1},
      {"CAF\x90-BAR \xF8", "CAFE BAR  ", 2},  // a dash and a degree sign
      {std::string("A\0B", 3), "A B", 1},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    int blanked = 0;
    EXPECT_EQ(DesignText(c.in, &blanked), c.out) << c.in;
    EXPECT_EQ(blanked, c.blanked) << c.in;
  }
}

TEST(DesignTextTest, NumbersByFieldType) {
  const Field unsigned17{1, 17, FieldType::kUnsigned, "07", ""};
  const Field signed17{1, 17, FieldType::kSigned, "14", ""};
  const Field rate5{1, 5, FieldType::kUnsigned, "65", ""};
  struct Case {
    const Field* field;
    int64_t value;
    std::string out;  // empty: does not fit
  } cases[] = {
      {&unsigned17, 123456, "00000000000123456"},
      {&unsigned17, 0, "00000000000000000"},
      {&unsigned17, 99999999999999999, "99999999999999999"},
      {&unsigned17, 100000000000000000, ""},
      {&unsigned17, -1, ""},
      {&signed17, -1000, "N0000000000001000"},
      {&signed17, 1000, "00000000000001000"},
      {&signed17, -9999999999999999, "N9999999999999999"},
      {&signed17, -10000000000000000, ""},
      {&signed17, INT64_MIN, ""},
      {&rate5, 10000, "10000"},
      {&rate5, 100000, ""},
  };
  for (const Case& c : cases) {
    std::string out = "unchanged";
    const bool fits = FieldNumber(*c.field, c.value, &out);
    EXPECT_EQ(fits, !c.out.empty()) << c.value;
    EXPECT_EQ(out, c.out.empty() ? "unchanged" : c.out) << c.value;
  }
}

}  // namespace
}  // namespace zov::books::vat
